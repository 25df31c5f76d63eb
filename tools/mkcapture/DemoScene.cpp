#include "DemoScene.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Strings.h"

namespace {

constexpr Rgb kDesktop = 0x2F6F8F;
constexpr Rgb kFace = 0xC0C0C0;
constexpr Rgb kTitleActive = 0x1F3F9F;
constexpr Rgb kTitleIdle = 0x7F7F8F;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kSelection = 0x2050C0;
constexpr int kTitleHeight = 16;
constexpr int kTaskbarHeight = 24;
constexpr int kRowHeight = 12;
constexpr double kPi = 3.14159265358979323846;

// Moments of the session, as shares of its length.
constexpr double kSelectClick = 0.20;
constexpr double kDragStart = 0.30;
constexpr double kDragEnd = 0.50;
constexpr double kEditorClick = 0.70;
constexpr double kMenuClick = 0.85;
constexpr double kMenuClose = 0.95;
constexpr double kClickLength = 0.025;

const char kTypedText[] =
    "Olvane replays screen captures: the screen, the mouse cursor and its clicks, a camera picture and the "
    "sound. This demo capture was written by olvane-mkcapture. Every picture after a key picture is stored "
    "as the rows that changed, so a long session of typing stays small. The dialog on the right is dragged "
    "across the screen while the editor keeps its text. ";

const char* const kFileNames[] = {"REPORT.TXT", "BUDGET.XLS", "NOTES.TXT", "PHOTO.JPG", "SONG.WAV",
                                  "DEMO.ZEPH",  "TODO.TXT",   "MAP.PNG",   "SETUP.EXE", "README.MD"};
constexpr int kFileCount = 10;

int Lerp(int a, int b, double f) { return a + static_cast<int>(std::lround((b - a) * std::clamp(f, 0.0, 1.0))); }

bool Within(double phase, double start, double length) { return phase >= start && phase < start + length; }

}  // namespace

CDemoScene::CDemoScene(int width, int height, DWORD lengthMs) : m_width(width), m_height(height), m_length(lengthMs) {
  const int w = width, h = height - kTaskbarHeight;
  m_editor = CRect(w * 12 / 100 + 40, h * 6 / 100, w * 12 / 100 + 40 + w * 50 / 100, h * 6 / 100 + h * 58 / 100);
  m_files = CRect(w * 55 / 100, h * 40 / 100, w * 55 / 100 + w * 40 / 100, h * 40 / 100 + h * 52 / 100);
  m_dialogSize = CSize(std::max(w * 28 / 100, 150), std::max(h * 22 / 100, 70));
  m_dialogFrom = CPoint(w - m_dialogSize.cx - 12, 12);
  m_dialogTo = CPoint(w * 15 / 100, h - m_dialogSize.cy - 10);
}

CRect CDemoScene::DialogAt(double phase) const {
  const double f = (phase - kDragStart) / (kDragEnd - kDragStart);
  return CRect(CPoint(Lerp(m_dialogFrom.x, m_dialogTo.x, f), Lerp(m_dialogFrom.y, m_dialogTo.y, f)), m_dialogSize);
}

CPoint CDemoScene::FileRowCentre(int row) const {
  return CPoint(m_files.left + 60, m_files.top + kTitleHeight + 6 + row * kRowHeight + kRowHeight / 2);
}

int CDemoScene::SelectedFile(DWORD time) const { return Phase(time) >= kSelectClick ? 4 : 1; }

DemoLayout CDemoScene::GetLayout(DWORD time) const {
  DemoLayout layout;
  layout.editor = m_editor;
  layout.files = m_files;
  layout.dialog = DialogAt(Phase(time));
  layout.taskbar = CRect(0, m_height - kTaskbarHeight, m_width, m_height);
  return layout;
}

DemoPointer CDemoScene::GetPointer(DWORD time) const {
  const double phase = Phase(time);
  const CPoint grip(30, 7);  // where the pointer holds the dialog's title bar
  const CPoint editorA(m_editor.left + 60, m_editor.top + 70), editorB(m_editor.left + 140, m_editor.top + 40);
  struct Key {
    double phase;
    CPoint at;
  };
  const Key keys[] = {{0.00, CPoint(m_width / 2, m_height / 2)},
                      {0.17, FileRowCentre(4)},
                      {0.25, FileRowCentre(4)},
                      {kDragStart, m_dialogFrom + grip},
                      {kDragEnd, m_dialogTo + grip},
                      {0.56, m_dialogTo + grip},
                      {0.68, editorA},
                      {0.75, editorA},
                      {0.84, editorB},
                      {1.00, editorB + CPoint(20, 10)}};
  DemoPointer pointer;
  CPoint at = keys[0].at;
  if (phase >= kDragStart && phase <= kDragEnd) {
    at = DialogAt(phase).TopLeft() + grip;
  } else {
    for (std::size_t i = 1; i < std::size(keys); ++i) {
      if (phase <= keys[i].phase) {
        const double f = (phase - keys[i - 1].phase) / (keys[i].phase - keys[i - 1].phase);
        at = CPoint(Lerp(keys[i - 1].at.x, keys[i].at.x, f), Lerp(keys[i - 1].at.y, keys[i].at.y, f));
        break;
      }
      at = keys[i].at;
    }
  }
  pointer.x = at.x;
  pointer.y = at.y;
  if (Within(phase, kSelectClick, kClickLength) || (phase >= kDragStart && phase <= kDragEnd) ||
      Within(phase, kEditorClick, kClickLength)) {
    pointer.buttons |= 1;
  }
  if (Within(phase, kMenuClick, kClickLength)) pointer.buttons |= 4;
  CRect client = m_editor;
  client.top += kTitleHeight;
  pointer.textShape = client.PtInRect(at) && !DialogAt(phase).PtInRect(at) && !(pointer.buttons & 4) &&
                      !Within(phase, kMenuClick, kMenuClose - kMenuClick);
  return pointer;
}

void CDemoScene::DrawDesktop(DWORD time, CCanvas& canvas) const {
  canvas.FillRect(0, 0, m_width, m_height, kDesktop);
  const char* const icons[] = {"HOME", "TRASH", "NOTES", "MUSIC"};
  const Rgb colours[] = {0xE0C050, 0x909090, 0xF0F0F0, 0xD06090};
  const int spacing = std::min(56, (m_height - kTaskbarHeight - 12) / 4);
  for (int i = 0; i < 4; ++i) {
    const int y = 12 + i * spacing;
    canvas.Bevel(16, y, 32, 32, colours[i]);
    canvas.FillRect(24, y + 8, 16, 16, colours[(i + 1) % 4]);
    canvas.DrawText(32 - CCanvas::TextWidth(icons[i]) / 2, y + 36, icons[i], kWhite);
  }
  const CRect bar = GetLayout(time).taskbar;
  canvas.Bevel(bar.left, bar.top, bar.Width(), bar.Height(), kFace);
  canvas.Bevel(3, bar.top + 3, 52, bar.Height() - 6, kFace);
  canvas.DrawText(11, bar.top + 8, "START", kBlack);
  const DWORD seconds = 9 * 3600 + 41 * 60 + time / 1000;
  const std::string clock = str::Format("%02u:%02u:%02u", seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
  const int clockWidth = CCanvas::TextWidth(clock) + 12;
  canvas.Bevel(bar.right - clockWidth - 4, bar.top + 3, clockWidth, bar.Height() - 6, kFace, true);
  canvas.DrawText(bar.right - clockWidth + 2, bar.top + 8, clock, kBlack);
}

void CDemoScene::DrawWindowFrame(CCanvas& canvas, const CRect& r, const char* title, bool active) const {
  canvas.Bevel(r.left, r.top, r.Width(), r.Height(), kFace);
  canvas.FillRect(r.left + 2, r.top + 2, r.Width() - 4, kTitleHeight - 2, active ? kTitleActive : kTitleIdle);
  canvas.DrawText(r.left + 6, r.top + 5, title, kWhite);
  canvas.Bevel(r.right - 16, r.top + 3, 12, 11, kFace);
  canvas.DrawText(r.right - 13, r.top + 5, "X", kBlack);
}

void CDemoScene::DrawEditor(DWORD time, CCanvas& canvas, const CRect& r) const {
  DrawWindowFrame(canvas, r, "NOTES.TXT - EDITOR", Phase(time) >= kEditorClick);
  const CRect client(r.left + 3, r.top + kTitleHeight + 1, r.right - 3, r.bottom - 3);
  canvas.FillRect(client.left, client.top, client.Width(), client.Height(), kWhite);
  const std::size_t columns = static_cast<std::size_t>(std::max((client.Width() - 8) / 6, 1));
  const std::size_t rows = static_cast<std::size_t>(std::max((client.Height() - 8) / 10, 1));
  const std::string text(kTypedText);
  // About 15 characters a second, wrapping to the window's width; the text
  // starts over when the window is full.
  std::size_t typed = static_cast<std::size_t>(time) * 15 / 1000;
  typed %= std::min(text.size(), columns * rows) + 1;
  std::size_t row = 0, column = 0;
  for (std::size_t i = 0; i < typed && row < rows; ++i) {
    canvas.DrawText(client.left + 4 + static_cast<int>(column) * 6, client.top + 4 + static_cast<int>(row) * 10,
                    std::string_view(&text[i], 1), kBlack);
    if (++column == columns) column = 0, ++row;
  }
  if (time / 500 % 2 == 0 && row < rows) {
    canvas.FillRect(client.left + 4 + static_cast<int>(column) * 6, client.top + 3 + static_cast<int>(row) * 10, 1, 9,
                    kBlack);
  }
}

void CDemoScene::DrawFiles(DWORD time, CCanvas& canvas, const CRect& r) const {
  DrawWindowFrame(canvas, r, "FILES", Phase(time) >= kSelectClick && Phase(time) < kDragStart);
  canvas.FillRect(r.left + 3, r.top + kTitleHeight + 1, r.Width() - 6, r.Height() - kTitleHeight - 4, kWhite);
  const int selected = SelectedFile(time);
  for (int i = 0; i < kFileCount; ++i) {
    const int y = r.top + kTitleHeight + 6 + i * kRowHeight;
    if (y + kRowHeight > r.bottom - 4) break;
    const bool isSelected = i == selected;
    if (isSelected) canvas.FillRect(r.left + 6, y, r.Width() - 12, kRowHeight, kSelection);
    canvas.FillRect(r.left + 10, y + 2, 8, 8, isSelected ? kWhite : 0xE0B040);
    canvas.DrawText(r.left + 24, y + 2, kFileNames[i], isSelected ? kWhite : kBlack);
    if (r.Width() >= 170)
      canvas.DrawText(r.right - 60, y + 2, str::Format("%4d KB", 3 + i * 37 % 500), isSelected ? kWhite : 0x606060);
  }
}

void CDemoScene::DrawDialog(CCanvas& canvas, const CRect& r) const {
  DrawWindowFrame(canvas, r, "SETTINGS", true);
  canvas.Bevel(r.left + 10, r.top + kTitleHeight + 8, 10, 10, kWhite, true);
  canvas.DrawText(r.left + 12, r.top + kTitleHeight + 10, "X", kBlack);
  canvas.DrawText(r.left + 26, r.top + kTitleHeight + 10, "SHOW CURSOR", kBlack);
  canvas.Bevel(r.left + 10, r.top + kTitleHeight + 24, 10, 10, kWhite, true);
  canvas.DrawText(r.left + 26, r.top + kTitleHeight + 26, "PLAY SOUND", kBlack);
  canvas.Bevel(r.right - 58, r.bottom - 24, 48, 18, kFace);
  canvas.DrawText(r.right - 40, r.bottom - 18, "OK", kBlack);
}

void CDemoScene::DrawMenu(DWORD time, CCanvas& canvas) const {
  const double phase = Phase(time);
  if (!Within(phase, kMenuClick, kMenuClose - kMenuClick)) return;
  const DemoPointer at = GetPointer(static_cast<DWORD>(kMenuClick * m_length));
  const char* const items[] = {"CUT", "COPY", "PASTE", "SELECT ALL"};
  canvas.Bevel(at.x, at.y, 90, 8 + 14 * 4, kFace);
  const int hover = static_cast<int>((phase - kMenuClick) / (kMenuClose - kMenuClick) * 4);
  for (int i = 0; i < 4; ++i) {
    if (i == hover) canvas.FillRect(at.x + 3, at.y + 4 + i * 14, 84, 14, kSelection);
    canvas.DrawText(at.x + 10, at.y + 8 + i * 14, items[i], i == hover ? kWhite : kBlack);
  }
}

void CDemoScene::DrawScreen(DWORD time, CCanvas& canvas) const {
  if (canvas.GetWidth() != m_width || canvas.GetHeight() != m_height) canvas = CCanvas(m_width, m_height);
  DrawDesktop(time, canvas);
  DrawEditor(time, canvas, m_editor);
  DrawFiles(time, canvas, m_files);
  DrawDialog(canvas, DialogAt(Phase(time)));
  DrawMenu(time, canvas);
}

void CDemoScene::DrawCamera(DWORD time, CCanvas& canvas) const {
  if (canvas.GetWidth() != kCameraWidth || canvas.GetHeight() != kCameraHeight) {
    canvas = CCanvas(kCameraWidth, kCameraHeight);
  }
  for (int y = 0; y < kCameraHeight; ++y) {
    const auto shade = static_cast<Rgb>(40 + y);
    canvas.FillRect(0, y, kCameraWidth, 1, (shade / 3) << 16 | (shade * 2 / 3) << 8 | shade);
  }
  canvas.Bevel(108, 10, 40, 34, 0xB0C8E0, true);  // a window behind the speaker
  const double t = time / 1000.0;
  const int cx = 80 + static_cast<int>(std::lround(18 * std::sin(2 * kPi * t / 3.0)));
  canvas.FillDisc(cx, 150, 52, 0x3050A0);  // shoulders
  canvas.FillDisc(cx, 62, 30, 0xE8B890);   // face
  canvas.FillRect(cx - 30, 30, 60, 12, 0x503020);
  const bool blink = std::fmod(t, 2.5) < 0.15;
  canvas.FillRect(cx - 13, 58, 8, blink ? 1 : 5, kBlack);
  canvas.FillRect(cx + 5, 58, 8, blink ? 1 : 5, kBlack);
  const int mouth = 2 + static_cast<int>(std::lround(3 * std::fabs(std::sin(2 * kPi * t * 2))));
  canvas.FillRect(cx - 9, 76, 18, mouth, 0x902020);
  canvas.DrawText(4, kCameraHeight - 10, str::Format("CAM %02u:%02u", time / 60000, time / 1000 % 60), kWhite);
}

std::vector<short> CDemoScene::MakeSound(DWORD rate, std::size_t count) const {
  static const double kNotes[] = {523.25, 587.33, 659.25, 783.99, 880.00, 783.99, 659.25, 587.33};
  const double clicks[] = {kSelectClick, kDragStart, kEditorClick, kMenuClick};
  std::vector<short> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    const auto note = static_cast<std::size_t>(t / 0.25);
    const double inNote = t - note * 0.25;
    const double envelope = std::min(inNote / 0.01, 1.0) * std::exp(-inNote * 6.0);
    double value = 5000.0 * envelope * std::sin(2 * kPi * kNotes[note % std::size(kNotes)] * t);
    for (double click : clicks) {
      const double since = t - click * m_length / 1000.0;
      if (since >= 0 && since < 0.03)
        value += 7000.0 * std::exp(-since * 150.0) * (std::fmod(since * 2000.0, 1.0) < 0.5 ? 1 : -1);
    }
    samples[i] = static_cast<short>(std::clamp(value, -32767.0, 32767.0));
  }
  return samples;
}
