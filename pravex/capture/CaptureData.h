// One record of a capture file in memory. CCaptureData holds the fixed record
// header and, for plain records, the payload as one shared buffer; the typed
// records (one class per stored payload layout) derive from
// CCapturePayloadRecord, which reads and writes the common payload header
// (u16 size, u16 version, usually u32 data length) and keeps the bulk data.
//
// Records are reference counted: the reader makes them with one reference,
// every holder that receives one owns a reference and releases it. They are
// filled before they are shared and not changed afterwards, except by the
// screen codec (data and encoding) and by the cursor merge (target only).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/base/ByteReader.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/SharedBuffer.h"

class CRecordSource;

// The 26-byte record header as stored.
struct CaptureRecordHeader {
  WORD headerSize = capture::kRecordHeaderSize;
  WORD headerVersion = capture::kRecordHeaderVersion;
  DWORD recordType = 0;
  DWORD time = 0;
  WORD streamType = 0;
  DWORD reserved = 0;
  DWORD totalLength = capture::kRecordOverhead;
  DWORD flags = 0;
};

class CCaptureData {
 public:
  // A plain record: header only until SetData gives it a payload.
  explicit CCaptureData(DWORD recordType = capture::kRecordSkipped, WORD streamType = 0, DWORD time = 0);
  CCaptureData(const CCaptureData&) = delete;
  CCaptureData& operator=(const CCaptureData&) = delete;

  // Number of pieces the payload is written from (plain record: 1 with data,
  // else 0).
  virtual int GetPieceCount();
  // Piece `index` of the payload; false when there is no such piece. The bytes
  // stay valid until the record changes or is released.
  virtual bool GetPiece(int index, const BYTE*& bytes, DWORD& length);
  // Reads the payload from the source, positioned at the payload's first byte,
  // using the header already set. Returns the record type, kRecordSkipped when
  // the payload version is unknown (payload skipped) or kRecordReadFailed.
  virtual DWORD ReadPayload(CRecordSource& source);
  // Adds (to - from) to the record's time and returns it.
  virtual int ShiftTime(DWORD from, DWORD to);

  void AddRef() { m_refs.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference; the record deletes itself when none is left.
  void Release();
  std::uint32_t GetRefCount() const { return m_refs.load(std::memory_order_acquire); }
  // Records alive in the process (leak checks in tests and diagnostics).
  static std::uint32_t GetLiveCount();

  const CaptureRecordHeader& GetHeader() const { return m_header; }
  // Replaces the header as read from a file (the reader's framing uses this).
  void SetHeader(const CaptureRecordHeader& header);
  DWORD GetRecordType() const { return m_header.recordType; }
  void SetRecordType(DWORD type) { m_header.recordType = type; }
  DWORD GetTime() const { return m_header.time; }
  void SetTime(DWORD time) { m_header.time = time; }
  WORD GetStreamType() const { return m_header.streamType; }
  void SetStreamType(WORD stream) { m_header.streamType = stream; }
  DWORD GetFlags() const { return m_header.flags; }
  void SetFlags(DWORD flags) { m_header.flags = flags; }
  DWORD GetReserved() const { return m_header.reserved; }
  void SetReserved(DWORD reserved) { m_header.reserved = reserved; }
  DWORD GetTotalLength() const { return m_totalLength; }
  // Payload bytes of the record as framed in the file (total length less the
  // signature, header and trailer).
  DWORD GetFramedPayloadLength() const;

  // Bulk data: the plain record's payload or a typed record's data block.
  const BYTE* GetDataBytes() const { return m_data ? m_data->GetBytes() : nullptr; }
  DWORD GetDataLength() const { return m_dataLength; }
  CSharedBuffer* GetDataBuffer() const { return m_data; }
  // Same as the two above, in the shape the picture records expose.
  void GetData(const BYTE*& bytes, DWORD& length) const {
    bytes = GetDataBytes();
    length = m_dataLength;
  }
  // Replaces the data with `length` bytes of `buffer`, taking over the caller's
  // reference to it (null with length 0 clears the data). The previous buffer
  // is released when releaseOld is set; otherwise the caller takes over the
  // record's reference to it. Recomputes the total length. False, with nothing
  // changed, when length exceeds the buffer.
  bool SetData(CSharedBuffer* buffer, DWORD length, bool releaseOld = true);
  // Copies bytes into a new buffer and makes it the data.
  bool SetDataCopy(const void* bytes, DWORD length);

  // The typed object for a stored record type, or a plain record for types
  // without a class. Holds one reference.
  static CCaptureData* CreateForType(DWORD recordType);
  // A control record (end of stream, reset, preroll, start, paused, playing,
  // stopped, frame tick): no payload, one reference.
  static CCaptureData* CreateControl(DWORD recordType, WORD streamType, DWORD time = 0);

 protected:
  virtual ~CCaptureData();
  // Bytes the payload would take when written (the pieces' lengths).
  virtual DWORD GetPayloadLength() const { return m_dataLength; }
  // Sets the total length (and its copy) to what writing the record would
  // give: a 26-byte header and the current payload.
  void UpdateTotalLength();

  CaptureRecordHeader m_header;

 private:
  std::atomic<std::uint32_t> m_refs{1};
  CSharedBuffer* m_data = nullptr;  // owned reference
  DWORD m_dataLength = 0;
  DWORD m_totalLength = capture::kRecordOverhead;
};

// Base of every typed record: the payload header (size, version, data length
// where the type has one, the type's fields, and any bytes a newer writer
// added behind them) followed by the data block.
class CCapturePayloadRecord : public CCaptureData {
 public:
  int GetPieceCount() override { return 2; }
  // Piece 0: the payload header as stored; piece 1: the data (false if none).
  // Piece 0 is serialised into the record itself, so writers call this on
  // records no other thread is using.
  bool GetPiece(int index, const BYTE*& bytes, DWORD& length) override;
  DWORD ReadPayload(CRecordSource& source) override;
  DWORD GetPayloadLength() const override { return GetPayloadHeaderSize() + GetDataLength(); }

  WORD GetPayloadVersion() const { return m_payloadVersion; }
  // Chooses the payload layout to write (one the type knows); false otherwise.
  bool SetPayloadVersion(WORD version);
  WORD GetPayloadHeaderSize() const;

 protected:
  CCapturePayloadRecord(DWORD recordType, WORD streamType, WORD payloadVersion);
  // Size of the payload header fields of a version (including the size and
  // version words), or 0 when the version is not one the type knows.
  virtual WORD FieldsSize(WORD version) const = 0;
  // Whether the header carries the u32 data length at offset 4.
  virtual bool HasDataLength() const { return true; }
  // Reads the type's fields following the size, version and data length.
  virtual void ParseFields(CByteReader& reader, WORD version) = 0;
  // Writes the same fields.
  virtual void WriteFields(CByteWriter& writer) const = 0;
  // Drops bytes kept from behind the known fields (used by format upgrades).
  void ClearExtraHeader() { m_extraHeader.clear(); }

  WORD m_payloadVersion;

 private:
  std::vector<BYTE> m_extraHeader;   // stored header bytes behind the known fields
  std::vector<BYTE> m_headerPiece;   // serialised header for GetPiece(0)
};
