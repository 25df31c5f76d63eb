// What olvane-probe finds in a capture: gathered once by ProbeCapture, then
// printed as text or JSON.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"

struct ProbeStream {
  WORD stream = 0;
  DWORD width = 0;
  DWORD height = 0;
};

// What the first camera and sound records of the data section tell.
struct ProbeMedia {
  bool camera = false;
  DWORD cameraWidth = 0;
  DWORD cameraHeight = 0;
  WORD cameraEncoding = 0;
  bool audio = false;
  WORD audioCodec = 0;
  DWORD samplesPerSecond = 0;
  WORD bitsPerSample = 0;
  WORD channels = 0;
  std::uint64_t audioBytes = 0;  // decoded sound bytes in all blocks
};

struct ProbeRecord {
  std::int64_t offset = 0;
  DWORD time = 0;
  WORD stream = 0;
  DWORD type = 0;
  DWORD length = 0;
  bool screen = false;  // the fields below are set for screen records
  WORD encoding = 0;
  WORD compression = 0;
  DWORD width = 0;
  DWORD height = 0;
  WORD bits = 0;
  CRect area;
};

struct ProbeIndexEntry {
  DWORD time = 0;
  WORD kind = 0;
  std::uint64_t position = 0;
};

struct ProbeProblem {
  std::int64_t offset = 0;
  DWORD time = 0;
  std::string what;
};

// One object of an annotation list: its kind ("text", "brush", "box", "zoom
// box", "line", "arrow"), label or text, and rectangle in picture pixels.
struct ProbeAnnotationObject {
  std::string kind;
  std::string comment;
  CRect rect;
};

// One annotation list of the trailer's annotation archive.
struct ProbeAnnotationList {
  DWORD start = 0;
  DWORD hold = 0;
  int pauseMode = 0;
  std::string comment;
  std::vector<ProbeAnnotationObject> objects;
};

struct ProbeResult {
  std::string file;
  std::int64_t fileSize = 0;
  DWORD duration = 0;
  std::int64_t dataStart = 0;
  std::vector<ProbeStream> streams;
  ProbeMedia media;
  // (stream, record type) -> count, data section only.
  std::map<std::pair<WORD, DWORD>, std::uint64_t> counts;
  std::vector<std::pair<std::string, std::string>> info;
  std::vector<ProbeIndexEntry> index;
  std::vector<ProbeRecord> trailer;  // in file order
  // The annotation archive: "none", "ok" or "refused", and its lists.
  std::string annotationArchive = "none";
  std::vector<ProbeAnnotationList> annotations;
  std::vector<ProbeRecord> records;  // every data record, when asked
  bool verified = false;
  std::vector<ProbeProblem> problems;
};

// Opens and walks the capture. False (with `error` set) when the file cannot
// be opened or is refused.
bool ProbeCapture(const std::string& path, bool listRecords, bool verify, ProbeResult& result, std::string& error);

// Plain names of streams and record types for the reports.
const char* StreamName(WORD stream);
const char* RecordTypeName(DWORD type);
const char* ScreenEncodingName(WORD encoding);
const char* AnnotationKindName(DWORD type, DWORD style);
