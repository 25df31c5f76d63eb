// Start-up, window creation, the controls and the opening and closing of clips.
#include "olvane/PlayerWnd.h"

#include <cstdlib>

#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "olvane/PlayerDataFiles.h"
#include "olvane/MarkedProgress.h"
#include "olvane/PlayerKeys.h"
#include "platform/base/MulDiv.h"
#include "platform/base/Strings.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Gdi.h"
#include "platform/ui/App.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/MessageBox.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureStreamInfo.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/PathNames.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransButton.h"
#include "sintra/widgets/TransLedProgress.h"
#include "sintra/widgets/WidgetMessages.h"

using namespace player;

namespace {

// The button bar's areas: id, area, normal (enabled), check box, checked.
struct ButtonArea {
  UINT id;
  RECT area;
  int enabled, checkBox, checked;
};
constexpr ButtonArea kButtonAreas[] = {
    {ID_PLAY, {3, 3, 25, 25}, 1, 0, 0},   {ID_STOP, {27, 3, 49, 25}, 1, 0, 0},  {ID_PAUSE, {51, 3, 73, 25}, 0, 1, 0},
    {ID_OPEN, {75, 3, 98, 25}, 1, 0, 0},  {32791, {82, 16, 87, 24}, 1, 1, 0},   {32792, {88, 16, 93, 24}, 1, 1, 0},
    {32798, {94, 16, 99, 24}, 1, 1, 0},   {32793, {100, 16, 109, 24}, 1, 1, 1}, {32794, {110, 16, 115, 24}, 1, 1, 0},
    {32795, {116, 16, 121, 24}, 1, 1, 0}, {32796, {122, 16, 127, 24}, 1, 1, 0},
};

bool HasFolderPart(const std::string& name) { return name.find_first_of("/\\") != std::string::npos; }

bool IsAbsolute(const std::string& folder) {
  return !folder.empty() && (folder[0] == '/' || folder[0] == '\\' || (folder.size() > 1 && folder[1] == ':'));
}

std::string WithSlash(std::string folder) {
  AppendSlash(folder);
  return folder;
}

}  // namespace

CPlayerWnd::CPlayerWnd(ITimeSource* clockSource) : m_clock(clockSource), m_keys(std::make_unique<CPlayerKeys>(*this)) {}

CPlayerWnd::~CPlayerWnd() {
  m_reader.Stop();
  m_reader.Close();
  if (GetSafeHwnd()) DestroyWindow();
}

int CPlayerWnd::StartFromCommandLine(const std::string& commandLine) {
  std::string fileName;
  if (!commandLine.empty()) {
    fileName = commandLine;
    while (!fileName.empty() && fileName.front() == '"') fileName.erase(0, 1);
    while (!fileName.empty() && fileName.back() == '"') fileName.pop_back();
    m_clipFolder = SplitGetPath(fileName);
  } else {
    fileName = FindPlayerDataFile(GetModuleFolder(), "PlayScript.tvsf");
    m_clipFolder = SplitGetPath(fileName);
  }
  if (!LoadFile(fileName) || !Setup(nullptr)) return 0;
  // A file the user named goes on the recent lists; the demo does not.
  if (!commandLine.empty()) NoteOpened(fileName);
  return 1;
}

int CPlayerWnd::LoadFile(const std::string& fileName) {
  const std::string ext = SplitGetExtension(fileName);
  if (str::EqualsNoCase(ext, "tvsf")) {
    if (!m_script.Load(fileName.c_str())) return 0;
    m_scriptLoaded = true;
    const std::string& folder = m_script.GetFolder();
    if (!folder.empty()) {
      // An absolute script folder stands on its own; a relative one is under the clip folder.
      m_clipFolder = IsAbsolute(folder) ? folder : WithSlash(m_clipFolder) + folder;
    }
    const CDisplayParams& display = m_script.GetDisplayParams();
    m_scalingMode = display.scaleMode;
    m_windowMode = display.windowMode;
    m_controlsShown = display.control;
    m_captionTitle = display.title;
    m_fullScreen = m_windowMode == SCRIPT_WINDOW_FULLSCREEN ? 1 : 0;
  } else if (!CheckExtension(ext, "zeph,cpt")) {
    return 0;
  } else {
    m_singleClip = fileName;
  }
  if (!m_clipFolder.empty() && !CheckAccess(m_clipFolder)) m_clipFolder.clear();
  return 1;
}

int CPlayerWnd::CreateInterface() {
  WNDCLASS wc{};
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kWindowClass;
  if (!AfxRegisterClass(&wc)) return 0;
  const char* cls = kWindowClass;
  DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  if (m_windowMode == SCRIPT_WINDOW_FRAME) style |= WS_THICKFRAME;
  if (!CreateEx(0, cls, kWindowTitle, style, CRect(0, 0, 640, 480), nullptr, 0)) return 0;
  SetupWindows(4);
  DragAcceptFiles(m_hWnd, TRUE);
  SetIcon(kIconStopped);
  m_speedNumerator = m_speedDenominator = 1;
  if (m_clipFolder.empty()) m_clipFolder = GetOutputFolder();
  SetCursors(LoadCursor(nullptr, kHotCursor), LoadCursor(nullptr, IDC_ARROW));
  ReadPlacement("Olvo");
  if (!SetupInterface()) return 0;
  SetInterfaceShown(1);
  ResetButtonTime();
  SetForegroundWindow();
  if (m_scriptLoaded && m_script.GetSize() > 0) {
    m_clipIndex = 0;
    m_entry = m_script.GetAt(0);
  }
  if (m_entry || !m_singleClip.empty()) {
    if (!OpenClip(1)) return 0;
    ChooseOpeningStart();
    Play();
  }
  SetTimer(kClockTimer, kClockTimerPeriod);
  ApplyWindowStyle();
  if (m_fullScreen) SizeWindow(m_replayWidth, m_replayHeight, 1, 1);
  ShowWindow(SW_SHOW);
  return 1;
}

int CPlayerWnd::SetupInterface() {
  m_skinWidth = 400;
  m_skinHeight = 400;
  SetUpPalette();
  g_skinData.m_palette = &m_palette;
  g_skinData.ForceColour();
  g_skinData.m_captionHeight = g_skinData.m_iconSize.cy + 2;
  COLORREF* c = g_skinData.m_colour;
  c[SKIN_WINDOW_BACK] = 0xFFFFFF;
  c[SKIN_TEXT] = 0x323232;
  c[SKIN_TEXT_DISABLE] = 0xBEBEBE;
  c[SKIN_SHADOW] = 0x323232;
  c[SKIN_LINE] = 0x646464;
  c[SKIN_DIALOG_BACK] = 0xEBEBEB;
  c[SKIN_BUTTON_TEXT] = 0x323232;
  c[SKIN_BUTTON_FACE] = 0xDEDEDE;
  c[SKIN_BUTTON_DISABLE] = 0xE6E6E6;
  c[SKIN_BUTTON_HI] = 0x4ABEED;
  c[SKIN_BUTTON_SELECT] = 0x4ABEED;
  c[SKIN_BUTTON_BORDER] = 0xC8C8C8;
  c[SKIN_BUTTON_SHADOW] = 0x323232;
  c[SKIN_TOOLTIP_BACK] = 0xFFE3D6;
  c[SKIN_TOOLTIP_TEXT] = 0;
  c[SKIN_CAPTIONBAR] = 0xE7E6E7;
  c[SKIN_CAPTIONBAR_FOCUS] = 0xFFE3D6;
  c[SKIN_CAPTIONTEXT] = 0x323232;
  c[SKIN_CAPTIONTEXT_FOCUS] = 0;
  c[SKIN_MENU] = 0xF1F0F1;
  c[SKIN_PROGRESS_BACK] = 0xFFFFFF;
  c[SKIN_PROGRESS_HI] = 0x646464;
  c[SKIN_PROGRESS_LO] = 0xE6E6E6;

  m_caption = std::make_unique<CCaptionBar>();
  if (!m_caption->Create(this, CRect(0, 0, 100, g_skinData.m_captionHeight), 2 * g_skinData.m_iconSize.cx - 6))
    return 0;
  m_caption->SetWindowText(m_captionTitle.c_str());

  {
    CDC* dc = GetDC();
    const int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    if (dc) ReleaseDC(dc);
    m_captionFont.CreatePointFont(MulDiv(75, 96, dpi > 0 ? dpi : 96), "Marlett");
  }

  m_time = std::make_unique<CTimeDisplay>();
  if (!m_time->Create(this, CPoint(10, 10), 0, 4, 3, 0xFFFF)) return 0;
  m_time->ModifyStyle(0, WS_VISIBLE | SS_NOTIFY);
  m_time->SetToolTip(kTimeToolTip);
  m_time->SetColours(0x02FFFFFF, 0x02656565);

  m_progress = std::make_unique<CMarkedProgress>();
  if (!m_progress->Create(CRect(0, 0, 10, 10), kProgressId, this, 0x02FFFFFF, 0x02656565, 0x02C8C8C8)) return 0;
  m_progress->SetToolTip(0);
  m_progress->ShowWindow(SW_SHOW);

  m_buttons = std::make_unique<CBitButton>();
  if (!m_buttons->Create(this, CRect(0, 0, 132, 112), kButtonBitmap)) return 0;
  for (const ButtonArea& b : kButtonAreas) m_buttons->AddButton(b.id, b.area, b.enabled, b.checkBox, b.checked);
  m_speedIndex = 3;

  auto close = std::make_unique<CTransButton>();
  const char glyph[2] = {static_cast<char>(114), 0};
  if (!close->Create(glyph, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 13, 13), m_caption.get(), ID_EXIT,
                     &m_captionFont))
    return 0;
  m_captionButtons.push_back(std::move(close));

  SetWindowPos(nullptr, 0, 0, m_skinWidth, m_skinHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  return 1;
}

void CPlayerWnd::CreateChildWindows() {
  m_view.SetOwnerWindow(this);
  if (m_view.CreateView(this, CRect(10, 10, 200, 200))) {
    m_view.SetSize(m_captureRect.Width(), m_captureRect.Height());
    SetScreenWindow(&m_view);
    SetVideoWindow(nullptr);
  }
}

void CPlayerWnd::UpdateOverlay(const CRect* rect) {
  if (rect)
    m_view.UpdateAnnotation(*rect);
  else
    m_view.InvalidateScreen();
}

void CPlayerWnd::OnReplayNotify(int kind, DWORD markTime) {
  if (HWND hwnd = GetSafeHwnd())
    ::PostMessage(hwnd, WM_PLAYER_REPLAYNOTIFY, static_cast<WPARAM>(kind), static_cast<LPARAM>(markTime));
}

void CPlayerWnd::SetIcon(UINT id) {
  m_iconId = id;
  SetUpIcon(id, 1);
}

std::string CPlayerWnd::GetClipPath() const {
  if (m_entry) {
    const std::string name = m_entry->GetFilename();
    if (HasFolderPart(name)) return name;
    return WithSlash(m_clipFolder) + name;
  }
  return m_singleClip;
}

void CPlayerWnd::CloseClip() {
  if (!m_clipLoaded) return;
  RememberPosition();
  // No marks or pictures of a clip that is gone (the next may fail to open).
  if (CMarkedProgress* bar = GetMarkedProgress()) bar->SetClip({}, 0, CSize(0, 0));
  m_reader.Stop();
  m_reader.Close();
  m_clipLoaded = 0;
  m_clipTitle.clear();
  RefreshButtons();
  m_lastShown = -1;
}

void CPlayerWnd::RegisterHandlers(bool opening, bool withAudio) {
  m_reader.ClearHandlers();
  m_reader.SetClock(&m_clock);
  m_reader.AddHandler(&m_view, capture::kStreamScreen, 0, true);
  m_reader.AddHandler(&m_view, capture::kStreamCursor, 0, true);
  if (GetVideoPreview()) m_reader.AddHandler(&m_view, capture::kStreamVideo, 500, true);
  m_audioRegistered = false;
  if (GetAudioPreview() && !opening && withAudio) {
    m_reader.AddHandler(&m_audio, capture::kStreamAudio, 2000, true);
    m_audioRegistered = true;
  }
}

void CPlayerWnd::SetPauseMarks() {
  m_reader.ClearPauseMarks();
  CAnnotateData& data = m_renderVars.GetAnnotateData();
  for (int i = 0; i < data.GetListCount(); ++i) {
    const CAnnotateList* list = data.GetListAt(i);
    if (!list) continue;
    const DWORD hold = list->GetHoldWord();
    const int setting = static_cast<int>(hold >> 28);
    if (hold > 0x0FFFFFFF && setting != 3)
      m_reader.AddPauseMark(list->GetTime(), setting == 2 ? (hold & 0x0FFFFFFF) : 0);
  }
  if (m_entry && m_entry->GetEffect() == SCRIPT_EFFECT_PAUSE && m_script.GetSize() > 1 && m_clipDuration > 10)
    m_reader.AddPauseMark(m_clipDuration - 10, 0);
}

int CPlayerWnd::OpenClip(int autostart) {
  CloseClip();
  m_autostart = autostart;
  if (m_scriptLoaded && m_entry) {
    const tag_playParams& p = m_entry->GetPlayParams();
    SetAudioPreview(p.audio);
    SetVideoPreview(p.video);
    m_renderVars.SetHighQualityReplay(p.quality);
    m_renderVars.SetVideoTransparency(p.videoTransparency);
    m_renderVars.SetVideoPosition(p.videoPosition);
    m_renderVars.SetVideoReplayMode(p.videoMode);
    m_renderVars.SetCursorDisplay(p.cursor);
    SetPreviewWndScale(static_cast<unsigned>(p.previewScale));
  }
  RegisterHandlers(true, false);
  m_reader.SetReplayFlag(true);
  m_audio.SetClock(&m_clock);
  m_clock.Reset(TRUE, 0);
  const std::string path = GetClipPath();
  if (!m_reader.Open(path, 0, false)) {
    ::MessageBox(GetSafeHwnd(), str::Format(kOpenFailedMessage, path.c_str()).c_str(), "", MB_ICONHAND);
    PostMessage(WM_CLOSE);
    return 0;
  }
  m_reader.SetNotify(this);
  SetClipTitle(SplitGetName(path));
  m_clipDuration = m_reader.GetDuration();
  GetAnnotationFromFile(&m_renderVars.GetAnnotateData());
  SetPauseMarks();
  UpdateProgressMarks();
  m_info.Clear();
  m_reader.BuildInfo(m_info);
  if (std::atoi(m_info.Lookup("CaptureFile_Version", "1").c_str()) > 3) {
    ::MessageBox(GetSafeHwnd(), kTooNewMessage, "", MB_ICONHAND);
    // A refused clip leaves nothing open behind it.
    m_reader.Close();
    return 0;
  }
  bool resize = false;
  int newWidth = 0, newHeight = 0;
  for (std::size_t i = 0; i < m_reader.GetHeaderCount(); ++i) {
    auto* info = dynamic_cast<CCaptureStreamInfo*>(m_reader.GetHeader(i));
    if (!info || info->GetDescribedStream() != capture::kStreamScreen) continue;
    newWidth = static_cast<int>(std::min<DWORD>(info->GetWidth(), 32768));
    newHeight = static_cast<int>(std::min<DWORD>(info->GetHeight(), 32768));
    resize = newWidth != m_replayWidth || newHeight != m_replayHeight;
    break;
  }
  if (autostart) {
    m_view.ClearPreview();
    m_view.ShowWindow(SW_SHOW);
  } else if (!resize) {
    m_clipLoaded = 1;
    RefreshButtons();
    return 1;
  }
  m_reader.ShowStartPicture();
  if (resize) {
    m_replayWidth = newWidth;
    m_replayHeight = newHeight;
    SizeWindow(m_replayWidth, m_replayHeight, m_firstSizing, 0);
    m_firstSizing = 0;
  }
  m_clipLoaded = 1;
  RefreshButtons();
  return 1;
}

LRESULT CPlayerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_keys && m_keys->OnKeyMessage(message, wParam, lParam)) return 0;
  switch (message) {
    case WM_RENDERWND_ENDOFFILE:
      OnEndOfStream(wParam);
      return 0;
    case WM_RENDERWND_RESIZE:
      m_view.SetScreenDeviceSize();
      return 0;
    case WM_RENDERWND_FIRSTFRAME:
      return 0;
    case WM_PLAYER_REPLAYNOTIFY:
      OnPauseNotice(static_cast<int>(wParam));
      return 0;
    case WM_PLAYER_RELOAD:
      OnReload(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_PLAYER_DIRECTX:
      OnDirectX(static_cast<int>(wParam));
      return 0;
    case WM_PROGRESS_DRAG_BEGIN:
      OnProgressDragBegin();
      return 0;
    case WM_PROGRESS_DRAG_END:
      OnProgressDragEnd();
      return 0;
    case WM_PROGRESS_POSITION:
      OnProgressPosition(static_cast<int>(wParam));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case CMarkedProgress::WM_PROGRESS_MARK_SEEK:
      SeekExactly(static_cast<DWORD>(wParam));
      return 0;
    default:
      break;
  }
  return CBaseInterface::WindowProc(message, wParam, lParam);
}

void CPlayerWnd::OnClose() {
  RememberPosition();
  Stop();
  CBaseInterface::OnClose();
}
