#include "ProbeOutput.h"

#include <cinttypes>

#include "platform/base/Strings.h"

namespace {

// JSON string: quotes, backslashes and control bytes escaped; bytes above 127
// (information values may be binary) escaped as \u00XX so the output stays
// valid UTF-8.
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c > 0x7E) {
      out += str::Format("\\u%04x", c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Text form: bytes outside printable ASCII shown as \xHH.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E || c == '\\') out += str::Format("\\x%02X", c);
    else out += static_cast<char>(c);
  }
  return out;
}

const char* CodecName(WORD codec) { return codec == 1 ? "GSM" : codec == 0 ? "PCM" : "unknown"; }

// What the data section tells about a stream beyond its description.
std::string StreamDetail(const ProbeStream& s, const ProbeMedia& m) {
  if (s.stream == 104 && m.camera) {
    return str::Format(" pictures %ux%u %s", m.cameraWidth, m.cameraHeight, m.cameraEncoding == 2 ? "JPEG" : "stored");
  }
  if (s.stream == 105 && m.audio) {
    const std::uint64_t perSecond = static_cast<std::uint64_t>(m.samplesPerSecond) * m.channels * (m.bitsPerSample / 8);
    return str::Format(" %s %u Hz %u-bit %s, %.1f s", CodecName(m.audioCodec), m.samplesPerSecond, m.bitsPerSample,
                       m.channels == 1 ? "mono" : "stereo", perSecond ? static_cast<double>(m.audioBytes) / perSecond : 0.0);
  }
  return {};
}

std::string StreamJson(const ProbeStream& x, const ProbeMedia& m) {
  std::string s = str::Format("{\"stream\": %u, \"name\": \"%s\", \"width\": %u, \"height\": %u", x.stream,
                              StreamName(x.stream), x.width, x.height);
  if (x.stream == 104 && m.camera) {
    s += str::Format(", \"pictures\": {\"width\": %u, \"height\": %u, \"encoding\": \"%s\"}", m.cameraWidth,
                     m.cameraHeight, m.cameraEncoding == 2 ? "jpeg" : "stored");
  }
  if (x.stream == 105 && m.audio) {
    s += str::Format(", \"sound\": {\"codec\": \"%s\", \"rate\": %u, \"bits\": %u, \"channels\": %u, "
                     "\"bytes\": %llu}",
                     CodecName(m.audioCodec), m.samplesPerSecond, m.bitsPerSample, m.channels,
                     static_cast<unsigned long long>(m.audioBytes));
  }
  return s + "}";
}

std::string Area(const CRect& r) { return str::Format("%d,%d-%d,%d", r.left, r.top, r.right, r.bottom); }

std::string RecordLine(const ProbeRecord& r) {
  std::string line = str::Format("  %10" PRId64 "  %8u ms  %-7s %-18s %8u bytes", r.offset, r.time, StreamName(r.stream),
                                 RecordTypeName(r.type), r.length);
  if (r.screen) {
    line += str::Format("  %ux%ux%u %s%s area %s", r.width, r.height, r.bits, ScreenEncodingName(r.encoding),
                        r.compression == 3 ? "+zlib" : "", Area(r.area).c_str());
  }
  return line + "\n";
}

std::string RecordJson(const ProbeRecord& r) {
  std::string s = str::Format("{\"offset\": %" PRId64 ", \"time\": %u, \"stream\": %u, \"streamName\": \"%s\", "
                              "\"type\": %u, \"typeName\": \"%s\", \"length\": %u",
                              r.offset, r.time, r.stream, StreamName(r.stream), r.type, RecordTypeName(r.type), r.length);
  if (r.screen) {
    s += str::Format(", \"screen\": {\"width\": %u, \"height\": %u, \"bits\": %u, \"encoding\": \"%s\", \"zlib\": %s, "
                     "\"area\": [%d, %d, %d, %d]}",
                     r.width, r.height, r.bits, ScreenEncodingName(r.encoding), r.compression == 3 ? "true" : "false",
                     r.area.left, r.area.top, r.area.right, r.area.bottom);
  }
  return s + "}";
}

template <typename T, typename F>
std::string JsonArray(const std::vector<T>& items, F each) {
  std::string s = "[";
  for (std::size_t i = 0; i < items.size(); ++i) s += (i ? ",\n    " : "\n    ") + each(items[i]);
  return s + (items.empty() ? "]" : "\n  ]");
}

std::string AnnotationText(const ProbeResult& result) {
  if (result.annotationArchive == "none") return "\nAnnotations: none\n";
  if (result.annotationArchive != "ok") return "\nAnnotations: archive refused\n";
  std::string out = str::Format("\nAnnotations (%zu lists):\n", result.annotations.size());
  for (const ProbeAnnotationList& list : result.annotations) {
    out += str::Format("  %8u ms  hold %u ms  pause mode %d  %s  (%zu objects)\n", list.start, list.hold, list.pauseMode,
                       Quote(list.comment).c_str(), list.objects.size());
    for (const ProbeAnnotationObject& o : list.objects)
      out += str::Format("    %-8s %-20s %s\n", o.kind.c_str(), Area(o.rect).c_str(), Quote(o.comment).c_str());
  }
  return out;
}

std::string AnnotationJson(const ProbeAnnotationList& list) {
  std::string s = str::Format("{\"start\": %u, \"hold\": %u, \"pauseMode\": %d, \"comment\": ", list.start, list.hold,
                              list.pauseMode) +
                  Quote(list.comment) + ", \"objects\": [";
  for (std::size_t i = 0; i < list.objects.size(); ++i) {
    const ProbeAnnotationObject& o = list.objects[i];
    s += (i ? ", " : "") + std::string("{\"kind\": ") + Quote(o.kind) + ", \"comment\": " + Quote(o.comment) +
         str::Format(", \"rect\": [%d, %d, %d, %d]}", o.rect.left, o.rect.top, o.rect.right, o.rect.bottom);
  }
  return s + "]}";
}

}  // namespace

std::string FormatProbeText(const ProbeResult& result, bool listRecords) {
  std::string out = str::Format("File: %s (%" PRId64 " bytes)\n", Printable(result.file).c_str(), result.fileSize);
  out += str::Format("Duration: %u ms\nData start: %" PRId64 "\n\nStreams:\n", result.duration, result.dataStart);
  for (const ProbeStream& s : result.streams) {
    out += str::Format("  %u %s", s.stream, StreamName(s.stream));
    if (s.width || s.height) out += str::Format(" %ux%u", s.width, s.height);
    out += StreamDetail(s, result.media);
    out += "\n";
  }
  out += "\nData records:\n";
  for (const auto& [key, count] : result.counts) {
    out += str::Format("  %-7s %-18s %8" PRIu64 "\n", StreamName(key.first), RecordTypeName(key.second), count);
  }
  out += str::Format("\nInformation (%zu):\n", result.info.size());
  for (const auto& [key, value] : result.info) out += "  " + Printable(key) + " = " + Printable(value) + "\n";
  out += str::Format("\nIndex (%zu entries):\n", result.index.size());
  for (const ProbeIndexEntry& e : result.index) out += str::Format("  %8u ms  kind %u  at %" PRIu64 "\n", e.time, e.kind, e.position);
  out += "\nTrailer:\n";
  for (const ProbeRecord& r : result.trailer) out += RecordLine(r);
  out += AnnotationText(result);
  if (listRecords) {
    out += str::Format("\nRecords (%zu):\n", result.records.size());
    for (const ProbeRecord& r : result.records) out += RecordLine(r);
  }
  if (result.verified) {
    out += result.problems.empty() ? "\nVerify: ok, every record read and every screen picture decoded\n"
                                   : str::Format("\nVerify: %zu problem(s)\n", result.problems.size());
    for (const ProbeProblem& p : result.problems) {
      out += str::Format("  at %" PRId64 " (%u ms): %s\n", p.offset, p.time, p.what.c_str());
    }
  }
  return out;
}

std::string FormatProbeJson(const ProbeResult& result, bool listRecords) {
  std::string s = "{\n  \"file\": " + Quote(result.file) + str::Format(",\n  \"size\": %" PRId64, result.fileSize);
  s += str::Format(",\n  \"duration\": %u,\n  \"dataStart\": %" PRId64, result.duration, result.dataStart);
  s += ",\n  \"streams\": " +
       JsonArray(result.streams, [&result](const ProbeStream& x) { return StreamJson(x, result.media); });
  std::vector<std::pair<std::pair<WORD, DWORD>, std::uint64_t>> counts(result.counts.begin(), result.counts.end());
  s += ",\n  \"counts\": " + JsonArray(counts, [](const auto& c) {
         return str::Format("{\"stream\": %u, \"type\": %u, \"count\": %" PRIu64 "}", c.first.first, c.first.second, c.second);
       });
  s += ",\n  \"info\": " + JsonArray(result.info, [](const auto& kv) {
         return "{\"key\": " + Quote(kv.first) + ", \"value\": " + Quote(kv.second) + "}";
       });
  s += ",\n  \"index\": " + JsonArray(result.index, [](const ProbeIndexEntry& e) {
         return str::Format("{\"time\": %u, \"kind\": %u, \"position\": %" PRIu64 "}", e.time, e.kind, e.position);
       });
  s += ",\n  \"trailer\": " + JsonArray(result.trailer, RecordJson);
  s += ",\n  \"annotationArchive\": " + Quote(result.annotationArchive);
  s += ",\n  \"annotations\": " + JsonArray(result.annotations, AnnotationJson);
  if (listRecords) s += ",\n  \"records\": " + JsonArray(result.records, RecordJson);
  if (result.verified) {
    s += str::Format(",\n  \"verify\": {\"ok\": %s, \"problems\": ", result.problems.empty() ? "true" : "false");
    s += JsonArray(result.problems, [](const ProbeProblem& p) {
           return str::Format("{\"offset\": %" PRId64 ", \"time\": %u, \"problem\": ", p.offset, p.time) + Quote(p.what) + "}";
         });
    s += "}";
  }
  return s + "\n}\n";
}
