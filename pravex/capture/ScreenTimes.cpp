#include "pravex/capture/ScreenTimes.h"

#include <algorithm>

#include "platform/base/ByteReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/RecordSource.h"
#include "pravex/capture/SharedBuffer.h"

using namespace capture;

bool CScreenTimes::Scan(const std::string& path, std::int64_t dataStart) {
  m_times.clear();
  CRecordSource source;
  if (!source.Open(path, false) || dataStart < 0 || !source.SeekTo(dataStart)) return false;
  const std::int64_t fileLength = source.GetFileLength();
  for (;;) {
    const std::int64_t start = source.Tell();
    if (!source.MatchBytes(kSignature, kSignatureSize)) break;
    CSharedBuffer* raw = nullptr;
    DWORD headerLength = 0xFFFF;
    if (!source.ReadBlock(raw, headerLength, true)) break;
    CSharedBufferRef hold(raw);
    if (headerLength < kRecordHeaderSize) break;
    CByteReader reader(raw->GetBytes(), headerLength);
    reader.GetLE16();  // header size, as read
    const WORD version = reader.GetLE16();
    const DWORD type = reader.GetLE32();
    const DWORD time = reader.GetLE32();
    const WORD stream = reader.GetLE16();
    reader.GetLE32();  // reserved
    const DWORD total = reader.GetLE32();
    if (stream == kStreamTrailer) break;
    // The end-of-headers marker has no payload and no trailing length.
    if (type == kRecordEndOfHeaders) continue;
    const std::int64_t framing = kSignatureSize + static_cast<std::int64_t>(headerLength) + kRecordTrailerSize;
    if (total < framing || total > fileLength - start || !source.SeekTo(start + total)) break;
    if (version == kRecordHeaderVersion && type == kRecordScreen && stream == kStreamScreen) m_times.push_back(time);
  }
  // The format keeps data records in ascending time; a file that does not is
  // still stepped through in order.
  if (!std::is_sorted(m_times.begin(), m_times.end())) std::sort(m_times.begin(), m_times.end());
  m_times.erase(std::unique(m_times.begin(), m_times.end()), m_times.end());
  return !m_times.empty();
}

DWORD CScreenTimes::Next(DWORD t) const {
  const auto it = std::upper_bound(m_times.begin(), m_times.end(), t);
  return it == m_times.end() ? t : *it;
}

DWORD CScreenTimes::Previous(DWORD t) const {
  if (m_times.empty()) return t;
  auto shown = std::upper_bound(m_times.begin(), m_times.end(), t);
  if (shown == m_times.begin()) return m_times.front();
  --shown;
  return shown == m_times.begin() ? *shown : *(shown - 1);
}
