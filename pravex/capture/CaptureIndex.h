// Index record (record type 11, trailer): seek points in ascending time, 18
// bytes each: u32 time, u32 (not interpreted), u16 kind, u64 file position of
// the record to read from.
#pragma once

#include <cstdint>
#include <vector>

#include "pravex/capture/CaptureData.h"

struct CaptureIndexEntry {
  DWORD time = 0;
  DWORD opaque = 0;
  WORD kind = 0;
  std::uint64_t position = 0;
};

class CCaptureIndex : public CCapturePayloadRecord {
 public:
  static constexpr DWORD kEntrySize = 18;

  CCaptureIndex();
  // Entries in the data (a trailing partial entry is ignored).
  DWORD GetEntryCount() const { return GetDataLength() / kEntrySize; }
  CaptureIndexEntry GetEntry(DWORD index) const;
  // Replaces the data with these entries.
  bool SetEntries(const std::vector<CaptureIndexEntry>& entries);

 protected:
  WORD FieldsSize(WORD version) const override { return version == 1 ? 8 : 0; }
  void ParseFields(CByteReader&, WORD) override {}
  void WriteFields(CByteWriter&) const override {}
};
