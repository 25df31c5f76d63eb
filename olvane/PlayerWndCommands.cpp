// The replay commands: play, stop, pause, speed, clips and chapters, seeking
// by the progress bar, the clock timer, the keys and the context menu.
#include <string>

#include <algorithm>
#include "glimra/AnnotateData.h"
#include "glimra/AnnotateList.h"
#include "olvane/PlayerDataFiles.h"
#include "olvane/PlayerKeys.h"
#include "olvane/PlayerLayout.h"
#include "olvane/PlayerWnd.h"
#include "platform/base/MulDiv.h"
#include "platform/base/Strings.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/PathNames.h"
#include "pravex/support/ShellOperations.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransLedProgress.h"

using namespace player;

namespace {
// Button bar indexes of the first four buttons.
constexpr int kPlayButton = 0;
constexpr int kStopButton = 1;
constexpr int kPauseButton = 2;
constexpr int kOpenButton = 3;
constexpr int kFirstSpeedButton = 4;
}  // namespace

int CPlayerWnd::ReplayTimeCentiseconds() { return static_cast<int>(m_clock.Now() / 10); }

void CPlayerWnd::SetProgressFromTime(int centiseconds) {
  if (!m_progress) return;
  const int duration = static_cast<int>(std::min<DWORD>(m_clipDuration, 0x7FFFFFFF));
  m_progress->SetPos(duration > 0 ? MulDiv(1000, centiseconds, duration) : 0);
}

void CPlayerWnd::RefreshButtons() {
  SetProgressFromTime(m_clipLoaded ? ReplayTimeCentiseconds() : 0);
  if (!m_buttons) return;
  const int playing = IsPlaying();
  m_buttons->EnableButton(kPlayButton, !playing);
  m_buttons->EnableButton(kStopButton, playing);
  m_buttons->EnableButton(kPauseButton, playing);
  m_buttons->CheckButton(kPauseButton, m_paused ? 1 : 0);
  m_buttons->EnableButton(kOpenButton, !playing);
  for (int i = 0; i < 4; ++i) m_buttons->InvalidateButton(i);
}

void CPlayerWnd::Play() {
  if (m_scriptLoaded && m_script.GetSize() > 0) {
    m_clipIndex = 0;
    m_entry = m_script.GetAt(0);
    if (!OpenClip(1)) return;
  }
  if (!m_clipLoaded) return;
  m_paused = 0;
  m_reader.SetPaused(false);
  Stop();
  m_reader.SetReplayFlag(true);
  RegisterHandlers(false, true);
  SetIcon(kIconPlaying);
  PlayFrom(TakeOpeningStart(), 0);
}

void CPlayerWnd::PlayFrom(DWORD time, int limit) {
  m_reader.SetPaused(m_paused != 0);
  m_reader.Stop();
  if (!m_playing) {
    m_playing = 1;
    RefreshButtons();
    RegisterHandlers(false, true);
  }
  RegisterHandlers(false, PrepareSoundForSpeed());
  m_clock.SetRate(static_cast<DWORD>(m_speedNumerator), static_cast<DWORD>(m_speedDenominator));
  // Whatever started the replay, the icon shows it playing (or paused).
  SetIcon(m_paused ? kIconPaused : kIconPlaying);
  m_reader.Start(time, static_cast<DWORD>(limit));
}

void CPlayerWnd::Stop() {
  SetIcon(kIconStopped);
  if (!m_clipLoaded) return;
  m_reader.Stop();
  m_reader.SetPaused(false);
  m_reader.SetReplayFlag(false);
  m_playing = 0;
  m_paused = 0;
  RefreshButtons();
}

void CPlayerWnd::TogglePause() {
  m_paused = !m_paused;
  RefreshButtons();
  if (!m_clipLoaded) return;
  if (m_scriptLoaded && !m_reader.IsRunning()) PlayFrom(0, 0);
  m_reader.SetPaused(m_paused != 0);
  SetIcon(m_paused ? kIconPaused : kIconPlaying);
}

void CPlayerWnd::OnPauseNotice(int kind) {
  if (!m_clipLoaded) return;
  m_paused = kind == CReplayNotify::kPausedAtMark ? 1 : 0;
  m_reader.SetPaused(m_paused != 0);
  if (IsPlaying()) SetIcon(m_paused ? kIconPaused : kIconPlaying);
  RefreshButtons();
}

void CPlayerWnd::SetSpeed(int index) {
  int numerator = 1, denominator = 1;
  if (!SpeedRatio(index, numerator, denominator)) return;
  // The buttons play sound at 1/1 only, whatever the tempo commands set.
  const bool dropSound = m_tempoSound && m_speedNumerator != m_speedDenominator;
  m_tempoSound = false;
  if (index == m_speedIndex && !dropSound) return;
  if (m_buttons && index != m_speedIndex) {
    m_buttons->CheckButton(kFirstSpeedButton + index, 1);
    if (m_speedIndex >= 0) m_buttons->CheckButton(kFirstSpeedButton + m_speedIndex, 0);
    m_buttons->InvalidateButton(kFirstSpeedButton + index);
    if (m_speedIndex >= 0) m_buttons->InvalidateButton(kFirstSpeedButton + m_speedIndex);
  }
  m_speedIndex = index;
  if (numerator == m_speedNumerator && denominator == m_speedDenominator && !dropSound) return;
  m_speedNumerator = numerator;
  m_speedDenominator = denominator;
  ShowSpeed();
  if (m_playing) PlayFrom(m_clock.Now(), 0);
}

int CPlayerWnd::OpenSelectedClip() {
  m_autostart = 0;
  m_reader.Stop();
  m_reader.SetPaused(false);
  m_playing = 0;
  m_paused = 0;
  if (!OpenClip(0)) return 0;
  PlayFrom(0, 0);
  return 1;
}

void CPlayerWnd::SelectClip(int index) {
  Stop();
  if (!m_scriptLoaded || index < 0 || index >= m_script.GetSize()) return;
  m_clipIndex = index;
  m_entry = m_script.GetAt(index);
  OpenSelectedClip();
}

void CPlayerWnd::NextClip() {
  Stop();
  if (m_scriptLoaded && m_clipIndex + 1 < m_script.GetSize()) SelectClip(m_clipIndex + 1);
}

void CPlayerWnd::PreviousClip() {
  Stop();
  if (m_scriptLoaded && m_clipIndex > 0) SelectClip(m_clipIndex - 1);
}

void CPlayerWnd::OnEndOfStream(WPARAM stream) {
  if (stream != capture::kStreamScreen) return;
  if (m_scriptLoaded && m_clipIndex + 1 < m_script.GetSize()) {
    Stop();
    m_clipIndex += 1;
    m_entry = m_script.GetAt(m_clipIndex);
    if (OpenSelectedClip()) return;
  }
  Stop();
}

// Chapters: annotation lists with a name that does not begin with "#".
bool CPlayerWnd::IsChapter(int index) const {
  const CAnnotateList* list = const_cast<CRenderVars&>(m_renderVars).GetAnnotateData().GetListAt(index);
  if (!list) return false;
  const std::string& name = list->GetComment();
  return !name.empty() && name[0] != '#';
}

DWORD CPlayerWnd::ChapterStart(int index) const {
  const CAnnotateList* list = const_cast<CRenderVars&>(m_renderVars).GetAnnotateData().GetListAt(index);
  return list ? list->GetTime() / 100 * 100 : 0;
}

DWORD CPlayerWnd::ChapterLength(int index) const {
  const CAnnotateList* list = const_cast<CRenderVars&>(m_renderVars).GetAnnotateData().GetListAt(index);
  return list ? list->GetDelay() : 0;
}

std::vector<int> CPlayerWnd::Chapters() const {
  std::vector<int> chapters;
  const int count = const_cast<CRenderVars&>(m_renderVars).GetAnnotateData().GetListCount();
  for (int i = 0; i < count; ++i)
    if (IsChapter(i)) chapters.push_back(i);
  return chapters;
}

int CPlayerWnd::FindNextChapter(DWORD now) const {
  for (int i : Chapters())
    if (ChapterStart(i) > now) return i;
  return -1;
}

int CPlayerWnd::FindPreviousChapter(DWORD now) const {
  const std::vector<int> chapters = Chapters();
  for (auto it = chapters.rbegin(); it != chapters.rend(); ++it)
    if (ChapterStart(*it) + ChapterLength(*it) < now) return *it;
  return -1;
}

void CPlayerWnd::JumpToChapter(int index) {
  // Menu ids may be stale by the time they arrive: only a list of this clip counts.
  if (index & 0x8000) return;
  if (index < 0 || index >= m_renderVars.GetAnnotateData().GetListCount()) return;
  Stop();
  RefreshButtons();
  m_reader.SetReplayFlag(true);
  PlayFrom(ChapterStart(index), 0);
}

void CPlayerWnd::NextChapter() {
  const int i = FindNextChapter(m_clock.Now() / 100 * 100);
  if (i >= 0) JumpToChapter(i);
}

void CPlayerWnd::PreviousChapter() {
  const int i = FindPreviousChapter(m_clock.Now() / 100 * 100);
  if (i >= 0) JumpToChapter(i);
}

// Seeking by the progress bar.
void CPlayerWnd::OnProgressDragBegin() {
  if (m_tracking) return;
  m_seekPending = false;
  m_tracking = true;
  m_savedPause = (m_paused || !IsPlaying()) ? 1 : 0;
  m_paused = 1;
  if (m_clipLoaded) m_reader.SetPaused(true);
}

void CPlayerWnd::OnProgressPosition(int percent) {
  if (!m_clipLoaded) return;
  const int duration = static_cast<int>(std::min<DWORD>(m_clipDuration, 0x7FFFFFFF));
  DWORD target = static_cast<DWORD>(MulDiv(duration, std::clamp(percent, 0, 100), 100));
  target = target / 10 * 10;
  if (target / 100 == m_clock.Now() / 100) return;
  if (m_reader.IsInPreroll()) {
    m_seekPending = true;
    m_pendingSeek = target;
  } else {
    PlayFrom(target, 0);
  }
}

void CPlayerWnd::OnProgressDragEnd() {
  // Back to the pause state from before the drag, in the reader as well.
  m_paused = m_savedPause;
  if (m_clipLoaded) m_reader.SetPaused(m_paused != 0);
  if (m_seekPending) PlayFrom(m_pendingSeek, 0);
  m_tracking = false;
  m_seekPending = false;
  if (IsPlaying()) SetIcon(m_paused ? kIconPaused : kIconPlaying);
  RefreshButtons();
  // The bar took the focus for the drag; the keys belong to the player.
  SetFocus();
}

void CPlayerWnd::ClockTick() {
  if (m_keys) m_keys->Tick();
  if (m_seekPending && (!m_clipLoaded || !m_reader.IsInPreroll())) {
    m_seekPending = false;
    PlayFrom(m_pendingSeek, 0);
  }
  if (!m_clipLoaded) return;
  const int cs = ReplayTimeCentiseconds();
  if (cs != m_lastShown) {
    if (m_time) m_time->SetData(static_cast<std::uint32_t>(cs));
    m_lastShown = cs;
    SetProgressFromTime(cs);
  }
  if (m_view.GetSafeHwnd() && m_view.IsWindowVisible()) {
    m_chapterTime = m_clock.GetDisplayTime() / 100 * 100;
    const CRect changed = m_renderVars.GetAnnotateData().UpdateAnnotationDisplayList(m_chapterTime, nullptr);
    if (!changed.IsRectEmpty() && !m_reader.IsInPreroll()) m_view.UpdateAnnotation(changed);
  }
  SkipIdleTick();
}

void CPlayerWnd::OnTimer(std::uintptr_t id) {
  if (id == kClockTimer) {
    ClockTick();
    return;
  }
  CBaseInterface::OnTimer(id);
}

void CPlayerWnd::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  const bool ctrl = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
  if (key == static_cast<UINT>(VK_RETURN) && ctrl)
    PostMessage(WM_COMMAND, ID_FULLSCREEN);
  else if (key == static_cast<UINT>(VK_SPACE))
    PostMessage(WM_COMMAND, ID_PAUSE);
  else if (key == 'P' && ctrl)
    PostMessage(WM_COMMAND, ID_PLAY);
  else if (key == 'S' && ctrl)
    PostMessage(WM_COMMAND, ID_STOP);
  else
    CBaseInterface::OnKeyUp(key, repeat, flags);
}

void CPlayerWnd::OnReload(int value, int play) {
  m_reloadValue = value;
  RefreshButtons();
  if (!value) return;
  Stop();
  if (OpenClip(1) && play) Play();
}

void CPlayerWnd::OnDirectX(int version) {
  std::string text;
  if (version) {
    const std::string installed = str::Format("%d.%d", (version >> 8) & 0xF, (version & 0xF) / 10);
    text = str::Format(
        "DirectX version %s is installed on this computer. This program requires Direct X version %s or higher. "
        "Certain functions will be disabled.",
        installed.c_str(), "8.0");
  } else {
    text = str::Format(
        "DirectX has not been detected on your computer. This program requires Direct X version %s or higher. "
        "Certain functions will be disabled.",
        "8.0");
  }
  ::MessageBox(GetSafeHwnd(), text.c_str(), "", MB_OK);
}

void CPlayerWnd::Help() {
  // The help page beside the program or installed with it, shown in the default browser.
  std::string page = FindPlayerDataFile(GetModuleFolder(), "help/Olvane.html");
  if (!CheckAccess(page)) page = FindPlayerDataFile(GetModuleFolder(), "Olvane.html");
  if (!CheckAccess(page)) return;
  Explorer(page);
}

bool CPlayerWnd::OnViewCommand(UINT id) {
  switch (id) {
    case ID_PLAY:
    case ID_STOP:
    case ID_PAUSE:
    case ID_FULLSCREEN:
      PostMessage(WM_COMMAND, id);
      return true;
    case ID_NEXTCLIP:
      NextClip();
      return true;
    case ID_PREVCLIP:
      PreviousClip();
      return true;
    case ID_NEXTCHAPTER:
      NextChapter();
      return true;
    case ID_PREVCHAPTER:
      PreviousChapter();
      return true;
    case ID_CONTROLS:
      ToggleControls();
      return true;
    case ID_HIGHQUALITY:
      ToggleHighQuality();
      return true;
    case ID_SIZE50:
    case ID_SIZE100:
    case ID_SIZE200:
      ReplaySize(id);
      return true;
    case ID_EXIT:
      PostMessage(WM_CLOSE);
      return true;
    case ID_HELP:
      Help();
      return true;
    case ID_SKIPIDLE:
      ToggleSkipIdle();
      return true;
    default:
      break;
  }
  if (id >= ID_SCALE_NONE && id <= ID_SCALE_SMART) {
    SetScalingMode(static_cast<int>(id - ID_SCALE_NONE));
    return true;
  }
  if (id >= ID_CLIP_FIRST && id < ID_CLIP_FIRST + kMaxMenuEntries) {
    SelectClip(static_cast<int>(id - ID_CLIP_FIRST));
    return true;
  }
  if (id >= ID_CHAPTER_FIRST && id < ID_CHAPTER_FIRST + kMaxMenuEntries) {
    JumpToChapter(static_cast<int>(id - ID_CHAPTER_FIRST));
    return true;
  }
  if (id >= ID_RECENT_FIRST && id < ID_RECENT_FIRST + kMaxRecentShown) {
    OpenRecent(static_cast<int>(id - ID_RECENT_FIRST));
    return true;
  }
  return false;
}

BOOL CPlayerWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  switch (id) {
    case ID_PLAY:
      Play();
      return TRUE;
    case ID_STOP:
      Stop();
      RefreshButtons();
      return TRUE;
    case ID_PAUSE:
      TogglePause();
      return TRUE;
    case ID_FULLSCREEN:
      ToggleFullScreen();
      return TRUE;
    case ID_EXIT:
      PostMessage(WM_CLOSE);
      return TRUE;
    case ID_HELP:
      Help();
      return TRUE;
    case ID_OPEN:
      return TRUE;
    default:
      break;
  }
  for (int i = 0; i < 7; ++i)
    if (kSpeedIds[i] == id) {
      SetSpeed(i);
      return TRUE;
    }
  if (OnViewCommand(id)) return TRUE;
  return CBaseInterface::OnCommand(wParam, lParam);
}

bool CPlayerWnd::BuildContextMenu(CMenu& menu) {
  if (!menu.LoadMenu(kMenuResource)) return false;
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup) return false;
  const int playing = IsPlaying();
  const auto enable = [&](UINT id, bool on) {
    popup->EnableMenuItem(id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  const auto check = [&](UINT id, bool on) {
    popup->CheckMenuItem(id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  };
  enable(ID_STOP, playing);
  enable(ID_PAUSE, playing);
  enable(ID_PLAY, !playing);
  check(ID_PAUSE, m_paused);
  check(ID_FULLSCREEN, m_fullScreen);
  enable(ID_CONTROLS, !m_fullScreen);
  check(ID_CONTROLS, m_controlsShown);
  check(ID_HIGHQUALITY, m_renderVars.GetHighQualityReplay());

  const int clips = m_scriptLoaded ? m_script.GetSize() : 0;
  popup->EnableMenuItem(4, MF_BYPOSITION | (clips > 1 ? MF_ENABLED : MF_GRAYED));
  if (clips > 1) {
    CMenu* sub = popup->GetSubMenu(4);
    for (int i = 0; i < clips && i < kMaxMenuEntries; ++i) {
      const std::string name = SplitGetName(m_script.GetAt(i)->GetFilename());
      if (i == 0)
        sub->ModifyMenu(0, MF_BYPOSITION | MF_STRING, ID_CLIP_FIRST, name.c_str());
      else
        sub->AppendMenu(MF_STRING, ID_CLIP_FIRST + static_cast<UINT>(i), name.c_str());
    }
    if (m_clipIndex < kMaxMenuEntries)
      sub->CheckMenuRadioItem(ID_CLIP_FIRST, ID_CLIP_FIRST + static_cast<UINT>(std::min(clips, kMaxMenuEntries) - 1),
                              ID_CLIP_FIRST + static_cast<UINT>(m_clipIndex), MF_BYCOMMAND);
  }
  enable(ID_NEXTCLIP, m_scriptLoaded && m_clipIndex + 1 < clips);
  enable(ID_PREVCLIP, clips > 1 && m_clipIndex > 0);

  const std::vector<int> chapters = Chapters();
  popup->EnableMenuItem(8, MF_BYPOSITION | (!chapters.empty() ? MF_ENABLED : MF_GRAYED));
  const DWORD now = m_clock.Now() / 100 * 100;
  if (!chapters.empty()) {
    CMenu* sub = popup->GetSubMenu(8);
    bool first = true;
    int count = 0;
    for (int i : chapters) {
      if (i >= kMaxMenuEntries || count >= kMaxMenuEntries) break;
      const UINT id = ID_CHAPTER_FIRST + static_cast<UINT>(i);
      const std::string& name = m_renderVars.GetAnnotateData().GetListAt(i)->GetComment();
      if (first)
        sub->ModifyMenu(0, MF_BYPOSITION | MF_STRING, id, name.c_str());
      else
        sub->AppendMenu(MF_STRING, id, name.c_str());
      first = false;
      ++count;
      if (now >= ChapterStart(i) && now < ChapterStart(i) + ChapterLength(i))
        sub->CheckMenuRadioItem(id, id, id, MF_BYCOMMAND);
    }
  }
  enable(ID_NEXTCHAPTER, FindNextChapter(now) >= 0);
  enable(ID_PREVCHAPTER, FindPreviousChapter(now) >= 0);

  CRect client;
  if (m_view.GetSafeHwnd()) m_view.GetClientRect(&client);
  const CSize pic(m_replayWidth, m_replayHeight);
  check(ID_SIZE100, client.Width() == pic.cx && client.Height() == pic.cy);
  check(ID_SIZE200, client.Width() == pic.cx * 2 && client.Height() == pic.cy * 2);
  check(ID_SIZE50, client.Width() == pic.cx / 2 && client.Height() == pic.cy / 2);
  for (int m = 0; m < 3; ++m) check(ID_SCALE_NONE + static_cast<UINT>(m), m == m_scalingMode);
  AddRecentMenu(*popup);
  AddSkipIdleMenuItem(*popup);
  return true;
}

void CPlayerWnd::ShowContextMenu(CPoint screenPoint, CWnd* owner) {
  CMenu menu;
  if (!BuildContextMenu(menu)) return;
  menu.GetSubMenu(0)->TrackPopupMenu(TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, owner ? owner : &m_view);
  menu.DestroyMenu();
}

void CPlayerWnd::OnContextMenu(CWnd*, CPoint screenPoint) { ShowContextMenu(screenPoint, &m_view); }
