#include "pravex/capture/CaptureIndex.h"

CCaptureIndex::CCaptureIndex() : CCapturePayloadRecord(capture::kRecordIndex, capture::kStreamTrailer, 1) {
  UpdateTotalLength();
}

CaptureIndexEntry CCaptureIndex::GetEntry(DWORD index) const {
  CaptureIndexEntry entry;
  if (index >= GetEntryCount()) return entry;
  CByteReader reader(GetDataBytes() + static_cast<std::size_t>(index) * kEntrySize, kEntrySize);
  entry.time = reader.GetLE32();
  entry.opaque = reader.GetLE32();
  entry.kind = reader.GetLE16();
  entry.position = reader.GetLE64();
  return entry;
}

bool CCaptureIndex::SetEntries(const std::vector<CaptureIndexEntry>& entries) {
  if (static_cast<std::uint64_t>(entries.size()) * kEntrySize > capture::kMaxBlockSize) return false;
  std::vector<BYTE> bytes;
  bytes.reserve(entries.size() * kEntrySize);
  CByteWriter writer(bytes);
  for (const CaptureIndexEntry& entry : entries) {
    writer.PutLE32(entry.time);
    writer.PutLE32(entry.opaque);
    writer.PutLE16(entry.kind);
    writer.PutLE64(entry.position);
  }
  return SetDataCopy(bytes.data(), static_cast<DWORD>(bytes.size()));
}
