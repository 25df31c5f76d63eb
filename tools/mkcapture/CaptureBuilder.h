// Writes one capture for olvane-mkcapture: the stream descriptions, screen
// pictures (key pictures at seek points, deltas between), and every other
// data record (cursor, camera, sound) queued with its time and written in
// time order among the pictures; then the trailer with the index and the
// information strings.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Canvas.h"
#include "pravex/capture/CaptureFileWriter.h"

class CCaptureData;

struct CaptureLayout {
  int width = 0;
  int height = 0;
  WORD bits = 16;
  bool cursor = false;
  bool camera = false;
  int cameraWidth = 0;
  int cameraHeight = 0;
  bool audio = false;
};

class CCaptureBuilder {
 public:
  CCaptureBuilder() = default;
  ~CCaptureBuilder();
  CCaptureBuilder(const CCaptureBuilder&) = delete;
  CCaptureBuilder& operator=(const CCaptureBuilder&) = delete;

  // Creates the file and writes its header section.
  bool Create(const std::string& path, const CaptureLayout& layout);
  // Queues a data record (the builder takes over the caller's reference); it
  // is written before the first screen picture later than it.
  void Queue(CCaptureData* record);
  // Writes every queued record up to `time`, then the canvas as the screen
  // picture of that time (a seek point is a complete, indexed picture).
  bool AddScreen(DWORD time, const CCanvas& canvas, bool seekPoint);
  // The annotation archive for the trailer (written by Finish), as bytes.
  void SetAnnotationArchive(const std::vector<BYTE>& archive) { m_writer.SetAnnotationArchive(archive); }
  // Writes what is still queued, the trailer with the information strings
  // (each "key|value;..."; the last one zlib-compressed) and closes the file.
  bool Finish(const std::vector<std::string>& info);

  const std::string& GetError() const { return m_error; }
  // Screen records written per encoding (raw, delta, run-length, unchanged).
  const std::map<WORD, unsigned>& GetEncodingCounts() const { return m_encodings; }

 private:
  bool Flush(DWORD time, bool all);
  bool Fail(const std::string& what);

  CCaptureFileWriter m_writer;
  CaptureLayout m_layout;
  std::string m_path;
  std::multimap<DWORD, CCaptureData*> m_queue;  // owned references, by time
  std::vector<BYTE> m_picture;
  std::map<WORD, unsigned> m_encodings;
  std::string m_error;
};
