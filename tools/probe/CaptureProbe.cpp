#include "CaptureProbe.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "platform/base/File.h"
#include "platform/base/Strings.h"
#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureIndex.h"
#include "glimra/AnnotateData.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureStreamInfo.h"
#include "pravex/capture/CaptureVideo.h"
#include "pravex/capture/ScreenCodec.h"

using namespace capture;

const char* StreamName(WORD stream) {
  switch (stream) {
    case kStreamHeader: return "header";
    case kStreamTrailer: return "trailer";
    case kStreamScreen: return "screen";
    case kStreamCursor: return "cursor";
    case kStreamVideo: return "camera";
    case kStreamAudio: return "audio";
    default: return "unknown";
  }
}

const char* RecordTypeName(DWORD type) {
  switch (type) {
    case kRecordSkipped: return "skipped";
    case kRecordEndOfStream: return "read failure";
    case kRecordEndOfHeaders: return "end of headers";
    case kRecordStreamInfo: return "stream description";
    case kRecordIndex: return "index";
    case kRecordInfo: return "information";
    case kRecordAudio: return "audio block";
    case kRecordVideo: return "camera picture";
    case kRecordScreen: return "screen picture";
    case kRecordCursor: return "cursor";
    case kRecordBlock: return "data block";
    case kRecordBlock2: return "data block";
    case kRecordChunk: return "chunk";
    default: return "unknown";
  }
}

const char* ScreenEncodingName(WORD encoding) {
  switch (encoding) {
    case kScreenRaw: return "raw";
    case kScreenDelta: return "delta";
    case kScreenRunLength: return "run-length";
    case kScreenUnchanged: return "unchanged";
    case kScreenDecoded: return "decoded";
    default: return "unknown";
  }
}

const char* AnnotationKindName(DWORD type, DWORD style) {
  switch (type) {
    case ANNOTATE_TEXT: return "text";
    case ANNOTATE_BRUSH: return "brush";
    case ANNOTATE_BOX: return style ? "zoom box" : "box";
    case ANNOTATE_LINE: return (style & 3) ? "arrow" : "line";
    default: return "unknown";
  }
}

namespace {

ProbeRecord Describe(const CCaptureData& record, std::int64_t offset, std::int64_t end) {
  ProbeRecord row;
  row.offset = offset;
  row.time = record.GetTime();
  row.stream = record.GetStreamType();
  row.type = record.GetRecordType();
  row.length = static_cast<DWORD>(end - offset);
  if (row.type == kRecordScreen) {
    const auto& screen = static_cast<const CCaptureScreen&>(record);
    row.screen = true;
    row.encoding = screen.GetEncoding();
    row.compression = screen.GetCompression();
    row.width = screen.GetWidth();
    row.height = screen.GetHeight();
    row.bits = screen.GetBitsPerPixel();
    row.area = screen.GetChangedRect();
  }
  return row;
}

void AddProblem(ProbeResult& result, std::int64_t offset, DWORD time, std::string what) {
  result.problems.push_back({offset, time, std::move(what)});
}

// Loads the trailer's annotation archive with the annotation library and
// lists what it holds.
void CollectAnnotations(const CCaptureFileReader& reader, ProbeResult& result) {
  const CCaptureData* record = reader.GetAnnotationRecord();
  if (!record) return;
  const BYTE* bytes = record->GetDataBytes();
  const DWORD length = bytes ? record->GetDataLength() : 0;
  CMemoryArchive archive(length, TRUE);
  CAnnotateData set;
  if (archive.GetCapacity() != length || !archive.SetData(bytes, length)) {
    result.annotationArchive = "refused";
    return;
  }
  archive.Reset();
  if (!set.Load(archive, TRUE)) {
    result.annotationArchive = "refused";
    return;
  }
  result.annotationArchive = "ok";
  for (int i = 0; i < set.GetListCount(); ++i) {
    const CAnnotateList* list = set.GetListAt(i);
    ProbeAnnotationList out;
    out.start = list->GetTime();
    out.hold = list->GetDelay();
    out.pauseMode = list->GetPauseMode();
    out.comment = list->GetComment();
    for (int k = 0; k < list->GetSize(); ++k) {
      const CAnnotateObject* object = list->GetAt(k);
      out.objects.push_back({AnnotationKindName(object->GetType(), object->GetStyle()), object->GetComment(),
                             object->GetRect()});
    }
    result.annotations.push_back(std::move(out));
  }
}

void CollectFileFacts(CCaptureFileReader& reader, ProbeResult& result) {
  result.fileSize = reader.GetSource().GetFileLength();
  result.duration = reader.GetDuration();
  result.dataStart = reader.GetDataStart();
  for (std::size_t i = 0; i < reader.GetHeaderCount(); ++i) {
    const auto* info = static_cast<const CCaptureStreamInfo*>(reader.GetHeader(i));
    result.streams.push_back({info->GetDescribedStream(), info->GetWidth(), info->GetHeight()});
  }
  CCaptureInfo info;
  reader.BuildInfo(info);
  for (std::size_t i = 0; i < info.GetCount(); ++i) result.info.emplace_back(info.GetKey(i), info.GetValue(i));
  if (const CCaptureIndex* index = reader.GetIndex()) {
    for (DWORD i = 0; i < index->GetEntryCount(); ++i) {
      const CaptureIndexEntry entry = index->GetEntry(i);
      result.index.push_back({entry.time, entry.kind, entry.position});
    }
  }
  // The trailer list runs from the end of the file; report it in file order.
  const std::int64_t end = result.fileSize;
  std::int64_t next = end;
  for (std::size_t i = 0; i < reader.GetTrailerCount(); ++i) {
    const CCaptureData* record = reader.GetTrailer(i);
    const std::int64_t start = next - record->GetTotalLength();
    result.trailer.insert(result.trailer.begin(), Describe(*record, start, next));
    next = start;
  }
  CollectAnnotations(reader, result);
}

// True unless the record is zlib-compressed and its data does not inflate to
// exactly its uncompressed length (within the bound every reader applies).
bool Inflates(const CCaptureScreen& screen) {
  if (screen.GetCompression() != kCompressionZlib) return true;
  const DWORD expected = screen.GetUncompressedLength();
  if (expected == 0 || expected > kMaxBlockSize || screen.GetDataLength() == 0) return false;
  std::vector<BYTE> out(expected);
  uLongf length = expected;
  return uncompress(out.data(), &length, screen.GetDataBytes(), screen.GetDataLength()) == Z_OK && length == expected;
}

// Sound blocks must say what their data decodes to, and follow each other
// without gaps or overlaps in the sound stream.
std::string CheckAudio(const CCaptureAudio& block, std::uint64_t expectedPosition) {
  const CaptureAudioFormat& format = block.GetFormat();
  const DWORD length = block.GetDataLength();
  if (format.codec != CCaptureAudio::kCodecPcm && format.codec != CCaptureAudio::kCodecGsm) {
    return str::Format("sound block: unknown codec %u", format.codec);
  }
  if (!CCaptureAudio::IsPlayableFormat(format)) {
    return str::Format("sound block: format that cannot be played (dropped): %s %u Hz, %u bits, %u channels",
                       format.codec == CCaptureAudio::kCodecGsm ? "GSM" : "PCM", format.samplesPerSecond,
                       format.bitsPerSample, format.channels);
  }
  if (format.codec == CCaptureAudio::kCodecGsm) {
    if (length % CCaptureAudio::kGsmFrameBytes != 0) return "sound block: GSM data is not whole 33-byte frames";
    if (static_cast<std::uint64_t>(length) / CCaptureAudio::kGsmFrameBytes * 320 != block.GetDecodedLength()) {
      return "sound block: decoded length does not match its GSM frames";
    }
  } else {
    if (block.GetDecodedLength() != length) return "sound block: decoded length differs from the PCM data";
    if (length % block.GetBlockSize() != 0) return "sound block: PCM data is not whole sample frames";
  }
  if (block.GetStreamPosition() != expectedPosition) {
    return str::Format("sound block: starts at stream byte %u, the blocks before end at %llu", block.GetStreamPosition(),
                       static_cast<unsigned long long>(expectedPosition));
  }
  return {};
}

// Camera pictures: JPEG data must start like one; stored pictures must hold
// every byte of their picture.
std::string CheckVideo(const CCaptureVideo& video) {
  const BYTE* data = video.GetDataBytes();
  const DWORD length = video.GetDataLength();
  if (video.GetWidth() == 0 || video.GetHeight() == 0) return "camera picture: no size";
  if (video.GetEncoding() == CCaptureVideo::kEncodingJpeg) {
    if (length < 4 || data[0] != 0xFF || data[1] != 0xD8) return "camera picture: JPEG data without a start marker";
  } else if (length < video.GetPictureSize()) {
    return "camera picture: data shorter than the picture";
  }
  return {};
}

void NoteMedia(const CCaptureData& record, ProbeMedia& media) {
  if (record.GetRecordType() == kRecordVideo && !media.camera) {
    const auto& video = static_cast<const CCaptureVideo&>(record);
    media.camera = true;
    media.cameraWidth = video.GetWidth();
    media.cameraHeight = video.GetHeight();
    media.cameraEncoding = video.GetEncoding();
  } else if (record.GetRecordType() == kRecordAudio) {
    const auto& block = static_cast<const CCaptureAudio&>(record);
    if (!media.audio) {
      media.audio = true;
      media.audioCodec = block.GetFormat().codec;
      media.samplesPerSecond = block.GetFormat().samplesPerSecond;
      media.bitsPerSample = block.GetFormat().bitsPerSample;
      media.channels = block.GetFormat().channels;
    }
    media.audioBytes += block.GetDecodedLength();
  }
}

// Reads the data section forward; with verify, decodes every screen record.
void WalkData(CCaptureFileReader& reader, bool listRecords, bool verify, ProbeResult& result) {
  CScreenCodec codec(false, true);
  reader.SeekToTime(0);
  DWORD lastTime = 0;
  bool any = false;
  for (;;) {
    const std::int64_t offset = reader.GetSource().Tell();
    CCaptureData* record = reader.ReadRecord(true);
    const DWORD type = record->GetRecordType();
    if (type == kRecordEndOfStream || record->GetStreamType() == kStreamTrailer) {
      if (type == kRecordEndOfStream && verify) {
        AddProblem(result, offset, 0, std::string("record cannot be read (") + reader.GetSource().GetLastFailure() +
                                          "); the data ends here");
      }
      record->Release();
      break;
    }
    const ProbeRecord row = Describe(*record, offset, reader.GetSource().Tell());
    ++result.counts[{row.stream, row.type}];
    if (listRecords) result.records.push_back(row);
    if (verify && any && row.time < lastTime) AddProblem(result, offset, row.time, "time goes back");
    if (verify && type == kRecordSkipped) AddProblem(result, offset, row.time, "record skipped: unknown version or unusable payload");
    const std::uint64_t soundBefore = result.media.audioBytes;
    NoteMedia(*record, result.media);
    std::string problem;
    if (verify && type == kRecordAudio) problem = CheckAudio(*static_cast<CCaptureAudio*>(record), soundBefore);
    if (verify && type == kRecordVideo) problem = CheckVideo(*static_cast<CCaptureVideo*>(record));
    if (!problem.empty()) AddProblem(result, offset, row.time, problem);
    if (verify && type == kRecordScreen) {
      auto* screen = static_cast<CCaptureScreen*>(record);
      // The codec decodes a delta or run-length record whose zlib data does
      // not inflate from the stored bytes; name the real cause first.
      const bool inflates = Inflates(*screen);
      const bool decoded = codec.Decode(*screen);
      if (!inflates) {
        AddProblem(result, offset, row.time, "screen picture: zlib data does not inflate to its stated length");
      } else if (!decoded || codec.GetLastStatus() != CScreenCodec::kDecodeOk) {
        AddProblem(result, offset, row.time, std::string("screen picture: ") + CScreenCodec::DescribeStatus(codec.GetLastStatus()));
      }
    }
    lastTime = row.time;
    any = true;
    record->Release();
  }
}

void VerifyIndex(CCaptureFileReader& reader, ProbeResult& result) {
  for (const ProbeIndexEntry& entry : result.index) {
    const auto position = static_cast<std::int64_t>(entry.position & 0xFFFFFFFFu);
    if (position < result.dataStart || !reader.GetSource().SeekTo(position)) {
      AddProblem(result, position, entry.time, "index entry points outside the data section");
      continue;
    }
    CCaptureData* record = reader.ReadRecord(true);
    if (record->GetRecordType() == kRecordEndOfStream || record->GetStreamType() == kStreamTrailer) {
      AddProblem(result, position, entry.time, "index entry does not point at a data record");
    } else if (record->GetTime() != entry.time) {
      AddProblem(result, position, entry.time, str::Format("index entry points at a record of time %u", record->GetTime()));
    }
    record->Release();
  }
}

}  // namespace

bool ProbeCapture(const std::string& path, bool listRecords, bool verify, ProbeResult& result, std::string& error) {
  result = ProbeResult();
  result.file = path;
  result.verified = verify;
  CFile file;
  if (!file.Open(path, CFile::modeRead)) {
    error = "cannot open " + path + ": " + std::strerror(file.GetLastError());
    return false;
  }
  file.Close();
  CCaptureFileReader reader;
  if (!reader.Open(path)) {
    error = path + " is not a capture this player can read: it must start with a stream description and end with a trailer record";
    return false;
  }
  CollectFileFacts(reader, result);
  WalkData(reader, listRecords, verify, result);
  if (verify) VerifyIndex(reader, result);
  if (verify && result.annotationArchive == "refused")
    AddProblem(result, -1, 0, "annotation archive: refused by the annotation library");
  return true;
}
