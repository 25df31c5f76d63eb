// Writes capture files: the header section (stream descriptions and the
// end-of-headers marker), data records in time order, and the trailer (an
// index of seek points, information records and the annotation archive).
// Used by the tools, tests, benchmarks and the demo; everything the reader
// accepts can be produced with it.
//
// Typical use:
//   CCaptureFileWriter w;
//   w.Create(path);
//   w.AddStream(capture::kStreamScreen, 800, 600);
//   w.AddStream(capture::kStreamCursor);
//   w.AddScreenPicture(0, pixels, 800, 600, 16, true);     // key picture, indexed
//   w.AddScreenPicture(100, pixels2, 800, 600, 16, false); // delta against the last
//   w.WriteRecord(cursorRecord);                           // any other record
//   w.AddInfo("CaptureFile_Version|3", false);
//   w.Finish();                                            // trailer, then close
//
// Every operation returns false on failure. A write error makes the writer
// fail for good (HasFailed); a call that breaks the file's order (a data
// record earlier than the last one, a stream description after data) is
// refused and leaves the file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/File.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureIndex.h"
#include "pravex/capture/ScreenCodec.h"

class CCaptureData;

struct CaptureScreenOptions {
  // zlib over key pictures (run-length or raw).
  bool zlibKeyPictures = true;
  // zlib over delta records.
  bool zlibDeltas = false;
  // A delta larger than this share of the picture (percent) is written as a
  // key picture instead.
  DWORD deltaLimitPercent = 50;
  // Bitmap compression code stored with every screen record.
  DWORD bitmapCompression = 0;
};

class CCaptureFileWriter {
 public:
  CCaptureFileWriter();
  // Closes the file without a trailer if Finish was not called.
  ~CCaptureFileWriter();
  CCaptureFileWriter(const CCaptureFileWriter&) = delete;
  CCaptureFileWriter& operator=(const CCaptureFileWriter&) = delete;

  // Creates (or truncates) the file and starts its header section.
  bool Create(const std::string& path);

  // Header section: one stream description; width and height matter for the
  // screen stream (100), a description of stream 105 tells there is audio.
  bool AddStream(WORD streamType, DWORD width = 0, DWORD height = 0);
  // Closes the header section, normally with the end-of-headers marker. The
  // first data record closes it with the marker when this was not called.
  bool EndHeaders(bool writeMarker = true);

  // Writes any record as it is: its header (size 26, the record's version,
  // type, time, stream, reserved, flags, total length computed from its
  // pieces), its pieces and the trailing length. Records of streams 10 and 11
  // go to the header and trailer sections; every other record is a data
  // record and must not be earlier than the previous data record.
  bool WriteRecord(CCaptureData& record);

  // Adds a screen picture (top-down rows of DibStride(width, bits) bytes).
  // A seek point is written as a complete picture (run-length or raw, zlib as
  // configured) and gets an index entry. Other pictures are written as a
  // delta against the previous picture (changed rows, column skips, fills and
  // literals), as "unchanged" when nothing changed, or as a complete picture
  // when there is no previous picture of the same geometry or the delta
  // would be too large.
  bool AddScreenPicture(DWORD time, const BYTE* pixels, DWORD width, DWORD height, WORD bits, bool seekPoint);
  void SetScreenOptions(const CaptureScreenOptions& options) { m_options = options; }
  const CaptureScreenOptions& GetScreenOptions() const { return m_options; }
  // Encoding of the last screen record written by AddScreenPicture.
  WORD GetLastScreenEncoding() const { return m_lastEncoding; }

  // An index entry for a record already written (file position of its
  // signature); AddScreenPicture adds them for seek points itself.
  bool AddIndexEntry(const CaptureIndexEntry& entry);
  // Trailer contents, written by Finish in this order: the index, the
  // information records in the order added, the annotation archive.
  bool AddInfo(const std::string& text, bool compress);
  void SetAnnotationArchive(const std::vector<BYTE>& archive);

  // Writes the trailer (always an index record, possibly empty) and closes
  // the file. True when every write succeeded.
  bool Finish();
  // Closes the file as it is (no trailer is added).
  void Close();

  bool IsOpen() const { return m_file.IsOpen(); }
  bool HasFailed() const { return m_failed; }
  // Where the next record will start.
  std::int64_t GetPosition() const { return m_position; }
  DWORD GetLastDataTime() const { return m_lastTime; }

 private:
  enum class Section { Closed, Header, Data, Trailer };

  bool WriteBytes(const void* bytes, std::size_t length);
  bool WriteFramed(CCaptureData& record);
  bool WriteKeyPicture(CCaptureScreen& record, const BYTE* pixels, std::uint64_t bytes);
  bool WriteDeltaPicture(CCaptureScreen& record, const BYTE* pixels, std::uint64_t bytes, bool& written);

  CFile m_file;
  Section m_section = Section::Closed;
  bool m_failed = false;
  std::int64_t m_position = 0;
  DWORD m_lastTime = 0;
  bool m_anyData = false;
  CaptureScreenOptions m_options;
  CScreenCodec m_encoder{true, false};
  // The previous screen picture, for delta coding.
  std::vector<BYTE> m_previous;
  DWORD m_previousWidth = 0;
  DWORD m_previousHeight = 0;
  WORD m_previousBits = 0;
  WORD m_lastEncoding = 0;
  std::vector<CaptureIndexEntry> m_index;
  std::vector<CCaptureData*> m_info;  // owned references
  std::vector<BYTE> m_annotations;
  bool m_hasAnnotations = false;
  std::vector<BYTE> m_frame;  // scratch for one framed record
};
