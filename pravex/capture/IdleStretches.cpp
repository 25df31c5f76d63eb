#include "pravex/capture/IdleStretches.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/GsmCodec.h"
#include "pravex/capture/ScreenCodec.h"

// --- CIdleStretchList ---------------------------------------------------------

CIdleStretchList::CIdleStretchList(DWORD minLength) : m_minLength(std::max<DWORD>(minLength, 1)) {}

void CIdleStretchList::Keep(DWORD start, DWORD end) {
  if (end <= start || end - start < m_minLength) return;
  if (m_stretches.size() >= kMaxStretches) {
    m_truncated = true;
    return;
  }
  m_stretches.emplace(start, end);
}

void CIdleStretchList::AddBusy(DWORD from, DWORD to) {
  if (to < from) std::swap(from, to);
  // Late busy time: cut the stretches it falls into. A moment at a
  // stretch's start is the change that began it and cuts nothing.
  if (from < m_busyEnd && !m_stretches.empty()) {
    std::vector<IdleStretch> hit;
    auto it = m_stretches.upper_bound(from);
    if (it != m_stretches.begin()) --it;
    while (it != m_stretches.end() && it->first < to) {
      if (it->second > from) {
        hit.push_back(IdleStretch{it->first, it->second});
        it = m_stretches.erase(it);
      } else {
        ++it;
      }
    }
    for (const IdleStretch& s : hit) {
      if (from > s.start) Keep(s.start, from);
      if (to < s.end) Keep(to, s.end);
    }
  }
  if (from > m_busyEnd) Keep(m_busyEnd, from);
  m_busyEnd = std::max(m_busyEnd, to);
}

void CIdleStretchList::Finish(DWORD end) {
  if (end > m_busyEnd) Keep(m_busyEnd, end);
  m_busyEnd = std::max(m_busyEnd, end);
}

std::vector<IdleStretch> CIdleStretchList::Take() const {
  std::vector<IdleStretch> out;
  out.reserve(m_stretches.size());
  for (const auto& [start, end] : m_stretches) out.push_back(IdleStretch{start, end});
  return out;
}

// --- What changes -------------------------------------------------------------

namespace {

// Follows the screen, the cursor and the sound record by record and reports
// the times at which something changed to the list.
class CChangeTracker {
 public:
  explicit CChangeTracker(CIdleStretchList& list) : m_list(list) {}

  void Take(CCaptureData& record) {
    if (auto* screen = dynamic_cast<CCaptureScreen*>(&record)) {
      if (ScreenChanged(*screen)) m_list.AddBusy(record.GetTime(), record.GetTime());
    } else if (auto* cursor = dynamic_cast<CCaptureCursor*>(&record)) {
      if (CursorChanged(*cursor)) m_list.AddBusy(record.GetTime(), record.GetTime());
    } else if (auto* audio = dynamic_cast<CCaptureAudio*>(&record)) {
      DWORD from = 0, to = 0;
      if (LoudSpan(*audio, from, to)) m_list.AddBusy(from, to);
    }
  }

 private:
  bool ScreenChanged(CCaptureScreen& screen) {
    const WORD encoding = screen.GetEncoding();
    if (encoding == capture::kScreenUnchanged) return false;
    const bool sameGeometry = m_codec.GetPicture() && screen.GetWidth() == m_codec.GetWidth() &&
                              screen.GetHeight() == m_codec.GetHeight() &&
                              screen.GetBitsPerPixel() == m_codec.GetBitsPerPixel();
    const bool complete = encoding != capture::kScreenDelta;
    // A complete picture is compared with the one before it.
    if (complete && sameGeometry)
      m_previous.assign(m_codec.GetPicture(), m_codec.GetPicture() + m_codec.GetPictureSize());
    if (!m_codec.Decode(screen)) return true;  // what cannot be read may have changed
    if (!sameGeometry) return true;
    if (!complete) return !screen.GetChangedRect().IsRectEmpty();
    return m_previous.size() != m_codec.GetPictureSize() ||
           std::memcmp(m_previous.data(), m_codec.GetPicture(), m_previous.size()) != 0;
  }

  bool CursorChanged(CCaptureCursor& cursor) {
    const BYTE flags = cursor.GetContentFlags();
    bool changed = false;
    if (flags & CCaptureCursor::kHasPosition) {
      changed |= !m_cursorSeen || cursor.GetX() != m_x || cursor.GetY() != m_y;
      m_x = cursor.GetX();
      m_y = cursor.GetY();
      m_cursorSeen = true;
    }
    if (flags & CCaptureCursor::kHasShape) {
      std::vector<BYTE> shape;
      const WORD fields[] = {cursor.GetShapeWidth(),     cursor.GetShapeHeight(),
                             cursor.GetColourBits(),     cursor.GetColourOffset(),
                             cursor.GetShapeAttribute(), static_cast<WORD>(cursor.IsColourIcon())};
      shape.assign(reinterpret_cast<const BYTE*>(fields), reinterpret_cast<const BYTE*>(fields) + sizeof(fields));
      if (cursor.GetDataBytes())
        shape.insert(shape.end(), cursor.GetDataBytes(), cursor.GetDataBytes() + cursor.GetDataLength());
      changed |= !m_shapeSeen || shape != m_shape;
      m_shape.swap(shape);
      m_shapeSeen = true;
    }
    if (flags & CCaptureCursor::kHasClick) {
      changed |= cursor.GetClickState() != m_click;
      m_click = cursor.GetClickState();
    }
    return changed;
  }

  // The magnitude of one PCM sample of `bits` bits, scaled to 16 bits.
  static int Magnitude(const BYTE* p, WORD bits) {
    int v = 0;
    switch (bits) {
      case 8:
        v = (static_cast<int>(p[0]) - 128) * 256;
        break;
      case 16:
        v = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        break;
      case 24:
        v = static_cast<std::int16_t>(p[1] | (p[2] << 8));
        break;
      default:
        v = static_cast<std::int16_t>(p[2] | (p[3] << 8));
        break;
    }
    return std::abs(v);
  }

  // The replay times from the block's first loud sample to the end of its
  // last; false when the block is silence or cannot be played.
  bool LoudSpan(const CCaptureAudio& audio, DWORD& from, DWORD& to) {
    const CaptureAudioFormat& format = audio.GetFormat();
    if (!CCaptureAudio::IsPlayableFormat(format) || !audio.GetDataBytes()) return false;
    const BYTE* data = audio.GetDataBytes();
    const DWORD length = audio.GetDataLength();
    std::uint64_t first = UINT64_MAX, last = 0;  // sample frames
    if (format.codec == CCaptureAudio::kCodecGsm) {
      short samples[CGsmCodec::kFrameSamples];
      const DWORD frames = length / CGsmCodec::kFrameBytes;
      // The decoder carries its state from frame to frame: a block that does
      // not go on from the last one starts from a fresh state.
      if (!m_gsm || audio.GetStreamPosition() != m_gsmNext) m_gsm = std::make_unique<CGsmCodec>();
      m_gsmNext = audio.GetStreamPosition() + frames * CGsmCodec::kDecodedFrameBytes;
      for (DWORD f = 0; f < frames; ++f) {
        m_gsm->DecodeFrame(data + static_cast<std::size_t>(f) * CGsmCodec::kFrameBytes, samples);
        for (DWORD i = 0; i < CGsmCodec::kFrameSamples; ++i) {
          if (std::abs(static_cast<int>(samples[i])) < CIdleStretchFinder::kSilenceLevel) continue;
          const std::uint64_t index = static_cast<std::uint64_t>(f) * CGsmCodec::kFrameSamples + i;
          first = std::min(first, index);
          last = index;
        }
      }
    } else {
      const DWORD sampleBytes = format.bitsPerSample / 8;
      const DWORD block = audio.GetBlockSize();
      const DWORD frames = block ? length / block : 0;
      for (DWORD f = 0; f < frames; ++f) {
        const BYTE* frame = data + static_cast<std::size_t>(f) * block;
        for (WORD c = 0; c < format.channels; ++c) {
          if (Magnitude(frame + static_cast<std::size_t>(c) * sampleBytes, format.bitsPerSample) <
              CIdleStretchFinder::kSilenceLevel)
            continue;
          first = std::min<std::uint64_t>(first, f);
          last = f;
          break;
        }
      }
    }
    if (first == UINT64_MAX) return false;
    // Where the block sounds: its stream position through the anchor pair.
    // The decoded stream of GSM is 16-bit mono, like the format says.
    const std::uint64_t position = audio.GetStreamPosition() + first * audio.GetBlockSize();
    from = audio.TimeAtBytes(static_cast<DWORD>(std::min<std::uint64_t>(position, 0xFFFFFFFFu)));
    const std::uint64_t ms = ((last + 1 - first) * 1000 + format.samplesPerSecond - 1) / format.samplesPerSecond;
    to = static_cast<DWORD>(std::min<std::uint64_t>(std::uint64_t{from} + ms, 0xFFFFFFFFu));
    return true;
  }

  CIdleStretchList& m_list;
  CScreenCodec m_codec{false, true};
  std::vector<BYTE> m_previous;
  std::unique_ptr<CGsmCodec> m_gsm;
  DWORD m_gsmNext = 0;  // stream position that goes on from the last GSM block
  bool m_cursorSeen = false;
  int m_x = 0;
  int m_y = 0;
  bool m_shapeSeen = false;
  std::vector<BYTE> m_shape;
  BYTE m_click = 0;
};

}  // namespace

// --- CIdleStretchFinder -----------------------------------------------------------

bool CIdleStretchFinder::Find(const std::string& path, DWORD minLength, IdleStretchResult& result,
                              const std::atomic<bool>* cancel) {
  CCaptureFileReader reader;
  if (!reader.Open(path, 0, false)) {
    result = IdleStretchResult{};
    return false;
  }
  return Find(reader, minLength, result, cancel);
}

bool CIdleStretchFinder::Find(CCaptureFileReader& reader, DWORD minLength, IdleStretchResult& result,
                              const std::atomic<bool>* cancel) {
  result = IdleStretchResult{};
  if (!reader.IsOpen() || !reader.GetSource().SeekTo(reader.GetDataStart())) return false;
  CIdleStretchList list(minLength);
  CChangeTracker tracker(list);
  for (;;) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return false;
    CCaptureData* record = reader.ReadRecord(true);
    // The data section ends at the first trailer record.
    const bool end =
        record->GetRecordType() == capture::kRecordEndOfStream || record->GetStreamType() == capture::kStreamTrailer;
    if (!end) tracker.Take(*record);
    record->Release();
    if (end) break;
  }
  list.Finish(reader.GetDuration());
  result.stretches = list.Take();
  result.duration = reader.GetDuration();
  result.truncated = list.IsTruncated();
  return true;
}
