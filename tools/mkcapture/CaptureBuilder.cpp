#include "CaptureBuilder.h"

#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"

using namespace capture;

CCaptureBuilder::~CCaptureBuilder() {
  for (auto& [time, record] : m_queue) record->Release();
}

bool CCaptureBuilder::Fail(const std::string& what) {
  if (m_error.empty()) m_error = "cannot write " + m_path + ": " + what;
  return false;
}

bool CCaptureBuilder::Create(const std::string& path, const CaptureLayout& layout) {
  m_path = path;
  m_layout = layout;
  if (!m_writer.Create(path)) return Fail("the file cannot be created");
  CaptureScreenOptions options;
  // 16-bit pictures are 5-6-5 with explicit masks (BI_BITFIELDS).
  options.bitmapCompression = layout.bits == 16 ? 3 : 0;
  m_writer.SetScreenOptions(options);
  bool ok = m_writer.AddStream(kStreamScreen, static_cast<DWORD>(layout.width), static_cast<DWORD>(layout.height));
  if (layout.cursor) ok = ok && m_writer.AddStream(kStreamCursor);
  if (layout.camera) {
    ok = ok && m_writer.AddStream(kStreamVideo, static_cast<DWORD>(layout.cameraWidth),
                                  static_cast<DWORD>(layout.cameraHeight));
  }
  if (layout.audio) ok = ok && m_writer.AddStream(kStreamAudio);
  ok = ok && m_writer.EndHeaders(true);
  return ok || Fail("write error in the header section");
}

void CCaptureBuilder::Queue(CCaptureData* record) { m_queue.emplace(record->GetTime(), record); }

bool CCaptureBuilder::Flush(DWORD time, bool all) {
  while (!m_queue.empty() && (all || m_queue.begin()->first <= time)) {
    CCaptureData* record = m_queue.begin()->second;
    m_queue.erase(m_queue.begin());
    const bool ok = m_writer.WriteRecord(*record);
    record->Release();
    if (!ok) return Fail("write error in the data section");
  }
  return true;
}

bool CCaptureBuilder::AddScreen(DWORD time, const CCanvas& canvas, bool seekPoint) {
  if (canvas.GetWidth() != m_layout.width || canvas.GetHeight() != m_layout.height) {
    return Fail("a picture's size differs from the capture's");
  }
  if (!Flush(time, false)) return false;
  canvas.ToScreenPicture(m_layout.bits, m_picture);
  if (!m_writer.AddScreenPicture(time, m_picture.data(), static_cast<DWORD>(m_layout.width),
                                 static_cast<DWORD>(m_layout.height), m_layout.bits, seekPoint)) {
    return Fail("a screen picture could not be written");
  }
  ++m_encodings[m_writer.GetLastScreenEncoding()];
  return true;
}

bool CCaptureBuilder::Finish(const std::vector<std::string>& info) {
  if (!Flush(0, true)) return false;
  for (std::size_t i = 0; i < info.size(); ++i) {
    if (!m_writer.AddInfo(info[i], i + 1 == info.size())) return Fail("an information string could not be stored");
  }
  return m_writer.Finish() || Fail("write error in the trailer");
}
