#include "pravex/capture/CaptureFileWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureBlock.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureInfoRecord.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/CaptureStreamInfo.h"

using namespace capture;

namespace {

WORD ClampWord(DWORD v) { return static_cast<WORD>(std::min<DWORD>(v, 0xFFFF)); }

// Holds one reference to a record for a scope.
struct RecordHold {
  CCaptureData* record;
  ~RecordHold() { record->Release(); }
};

}  // namespace

CCaptureFileWriter::CCaptureFileWriter() = default;

CCaptureFileWriter::~CCaptureFileWriter() {
  Close();
  for (CCaptureData* record : m_info) record->Release();
}

bool CCaptureFileWriter::Create(const std::string& path) {
  Close();
  m_failed = false;
  m_position = 0;
  m_lastTime = 0;
  m_anyData = false;
  m_previous.clear();
  m_index.clear();
  for (CCaptureData* record : m_info) record->Release();
  m_info.clear();
  m_annotations.clear();
  m_hasAnnotations = false;
  if (!m_file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
    m_failed = true;
    return false;
  }
  m_section = Section::Header;
  return true;
}

void CCaptureFileWriter::Close() {
  m_file.Close();
  m_section = Section::Closed;
}

bool CCaptureFileWriter::WriteBytes(const void* bytes, std::size_t length) {
  if (m_failed || !m_file.IsOpen()) return false;
  if (length > 0xFFFFFFFFu || !m_file.Write(bytes, static_cast<std::uint32_t>(length))) {
    m_failed = true;
    return false;
  }
  m_position += static_cast<std::int64_t>(length);
  return true;
}

// Frames a record: signature, 26-byte header, pieces, trailing total length.
bool CCaptureFileWriter::WriteFramed(CCaptureData& record) {
  std::uint64_t payload = 0;
  const int pieces = record.GetPieceCount();
  for (int i = 0; i < pieces; ++i) {
    const BYTE* bytes = nullptr;
    DWORD length = 0;
    if (record.GetPiece(i, bytes, length)) payload += length;
  }
  if (payload + kRecordOverhead > 0xFFFFFFFFu) return false;
  const auto total = static_cast<DWORD>(payload + kRecordOverhead);
  const CaptureRecordHeader& header = record.GetHeader();
  m_frame.clear();
  CByteWriter w(m_frame);
  w.PutBytes(kSignature, kSignatureSize);
  w.PutLE16(kRecordHeaderSize);
  w.PutLE16(header.headerVersion);
  w.PutLE32(header.recordType);
  w.PutLE32(header.time);
  w.PutLE16(header.streamType);
  w.PutLE32(header.reserved);
  w.PutLE32(total);
  w.PutLE32(header.flags);
  for (int i = 0; i < pieces; ++i) {
    const BYTE* bytes = nullptr;
    DWORD length = 0;
    if (record.GetPiece(i, bytes, length)) w.PutBytes(bytes, length);
  }
  w.PutLE32(total);
  return WriteBytes(m_frame.data(), m_frame.size());
}

bool CCaptureFileWriter::AddStream(WORD streamType, DWORD width, DWORD height) {
  if (m_section != Section::Header) return false;
  auto* info = new CCaptureStreamInfo();
  RecordHold hold{info};
  info->SetDescribedStream(streamType);
  info->SetSize(width, height);
  return WriteFramed(*info);
}

bool CCaptureFileWriter::EndHeaders(bool writeMarker) {
  if (m_section != Section::Header) return false;
  m_section = Section::Data;
  if (!writeMarker) return !m_failed;
  // The marker is signature and header only: no payload, no trailing length.
  m_frame.clear();
  CByteWriter w(m_frame);
  w.PutBytes(kSignature, kSignatureSize);
  w.PutLE16(kRecordHeaderSize);
  w.PutLE16(kRecordHeaderVersion);
  w.PutLE32(kRecordEndOfHeaders);
  w.PutLE32(0);
  w.PutLE16(kStreamHeader);
  w.PutLE32(0);
  w.PutLE32(kSignatureSize + kRecordHeaderSize);
  w.PutLE32(0);
  return WriteBytes(m_frame.data(), m_frame.size());
}

bool CCaptureFileWriter::WriteRecord(CCaptureData& record) {
  if (m_failed || m_section == Section::Closed) return false;
  const WORD stream = record.GetStreamType();
  if (stream == kStreamHeader) {
    if (m_section != Section::Header) return false;
    return WriteFramed(record);
  }
  if (stream == kStreamTrailer) {
    if (m_section == Section::Header && !EndHeaders(true)) return false;
    m_section = Section::Trailer;
    return WriteFramed(record);
  }
  if (m_section == Section::Trailer) return false;
  if (m_anyData && record.GetTime() < m_lastTime) return false;
  if (m_section == Section::Header && !EndHeaders(true)) return false;
  if (!WriteFramed(record)) return false;
  m_anyData = true;
  m_lastTime = record.GetTime();
  return true;
}

bool CCaptureFileWriter::WriteKeyPicture(CCaptureScreen& record, const BYTE* pixels, std::uint64_t bytes) {
  if (!record.SetDataCopy(pixels, static_cast<DWORD>(bytes))) return false;
  record.SetEncoding(kScreenDecoded);
  if (!m_encoder.Encode(record, m_options.zlibKeyPictures)) return false;
  record.SetChangedRect(0, 0, ClampWord(record.GetWidth()), ClampWord(record.GetHeight()));
  record.SetFlags(kFlagComplete);
  return true;
}

// Codes the picture against the previous one; `written` stays false when a
// key picture should be written instead.
bool CCaptureFileWriter::WriteDeltaPicture(CCaptureScreen& record, const BYTE* pixels, std::uint64_t bytes,
                                           bool& written) {
  written = false;
  std::vector<BYTE> delta;
  CRect changed;
  if (!CScreenCodec::EncodeDelta(m_previous.data(), pixels, record.GetWidth(), record.GetHeight(),
                                 record.GetBitsPerPixel(), delta, changed)) {
    return true;
  }
  if (changed.IsRectEmpty()) {
    record.SetEncoding(kScreenUnchanged);
    record.SetData(nullptr, 0, true);
    record.SetChangedRect(0, 0, 0, 0);
  } else {
    if (delta.size() > bytes * m_options.deltaLimitPercent / 100) return true;
    record.SetEncoding(kScreenDelta);
    if (!record.SetDataCopy(delta.data(), static_cast<DWORD>(delta.size()))) return false;
    record.SetChangedRect(ClampWord(changed.left), ClampWord(changed.top), ClampWord(changed.right),
                          ClampWord(changed.bottom));
    if (m_options.zlibDeltas) {
      std::vector<BYTE> packed;
      uLongf packedLength = compressBound(static_cast<uLong>(delta.size()));
      packed.resize(packedLength);
      if (compress2(packed.data(), &packedLength, delta.data(), static_cast<uLong>(delta.size()),
                    Z_DEFAULT_COMPRESSION) == Z_OK) {
        record.SetDataCopy(packed.data(), static_cast<DWORD>(packedLength));
        record.SetCompression(kCompressionZlib, static_cast<DWORD>(delta.size()));
      }
    }
  }
  record.SetFlags(kFlagDelta);
  written = true;
  return true;
}

bool CCaptureFileWriter::AddScreenPicture(DWORD time, const BYTE* pixels, DWORD width, DWORD height, WORD bits,
                                          bool seekPoint) {
  std::uint64_t bytes = 0;
  if (!pixels || !CScreenCodec::IsValidGeometry(width, height, bits, &bytes)) return false;
  if (m_failed || m_section == Section::Closed || m_section == Section::Trailer) return false;
  if (m_anyData && time < m_lastTime) return false;
  // The index entry must point past the end-of-headers marker.
  if (m_section == Section::Header && !EndHeaders(true)) return false;
  auto* record = new CCaptureScreen();
  RecordHold hold{record};
  record->SetTime(time);
  record->SetGeometry(width, height, bits);
  record->SetBitmapCompression(m_options.bitmapCompression);
  const bool samePicture =
      !m_previous.empty() && width == m_previousWidth && height == m_previousHeight && bits == m_previousBits;
  bool written = false;
  if (!seekPoint && samePicture && !WriteDeltaPicture(*record, pixels, bytes, written)) return false;
  if (!written && !WriteKeyPicture(*record, pixels, bytes)) return false;
  const std::int64_t position = m_position;
  if (!WriteRecord(*record)) return false;
  if (seekPoint) {
    CaptureIndexEntry entry;
    entry.time = time;
    entry.kind = 1;
    entry.position = static_cast<std::uint64_t>(position);
    m_index.push_back(entry);
  }
  m_previous.assign(pixels, pixels + bytes);
  m_previousWidth = width;
  m_previousHeight = height;
  m_previousBits = bits;
  m_lastEncoding = record->GetEncoding();
  return true;
}

bool CCaptureFileWriter::AddIndexEntry(const CaptureIndexEntry& entry) {
  if (m_section == Section::Closed) return false;
  m_index.push_back(entry);
  return true;
}

bool CCaptureFileWriter::AddInfo(const std::string& text, bool compress) {
  auto* record = new CCaptureInfoRecord();
  if (!record->SetText(text, compress)) {
    record->Release();
    return false;
  }
  m_info.push_back(record);
  return true;
}

void CCaptureFileWriter::SetAnnotationArchive(const std::vector<BYTE>& archive) {
  m_annotations = archive;
  m_hasAnnotations = true;
}

bool CCaptureFileWriter::Finish() {
  if (m_failed || m_section == Section::Closed) return false;
  if (m_section == Section::Header && !EndHeaders(true)) return false;
  auto* index = new CCaptureIndex();
  RecordHold holdIndex{index};
  bool ok = index->SetEntries(m_index) && WriteRecord(*index);
  for (CCaptureData* info : m_info) ok = ok && WriteRecord(*info);
  if (ok && m_hasAnnotations) {
    auto* block = new CCaptureBlock(kRecordBlock, kStreamTrailer);
    RecordHold holdBlock{block};
    ok = block->SetDataCopy(m_annotations.data(), static_cast<DWORD>(m_annotations.size())) && WriteRecord(*block);
  }
  ok = ok && m_file.Flush();
  Close();
  return ok && !m_failed;
}
