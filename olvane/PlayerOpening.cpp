// Opening files while the player runs: a file dropped on the window, the
// Open Recent sub-menu, the recent lists every opened file goes on, resuming
// a clip where it was left, and the start time from the command line.
#include <cstdlib>
#include <string>

#include "olvane/PlayerWnd.h"
#include "platform/base/Strings.h"
#include "platform/os/Shell.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/support/FolderOperations.h"
#include "pravex/support/PathNames.h"
#include "pravex/support/RecentFileStore.h"
#include "pravex/support/StandardFolders.h"
#include "sintra/widgets/CaptionBar.h"

using namespace player;

namespace {

std::string AbsolutePathOf(const std::string& path) {
  const std::string canonical = os::CanonicalPath(path);
  return canonical.empty() ? path : canonical;
}

// "M:SS" under an hour, else "H:MM:SS".
std::string ClockText(DWORD ms) {
  const DWORD seconds = ms / 1000;
  if (seconds < 3600) return str::Format("%u:%02u", seconds / 60, seconds % 60);
  return str::Format("%u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

// A menu text shows "&" only when it is doubled.
std::string MenuEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

// Whether a position is worth coming back to: inside the clip and more than
// the end margin before its end.
bool IsResumable(DWORD position, DWORD duration) {
  return position > 0 && duration > kResumeEndMargin && position < duration - kResumeEndMargin;
}

}  // namespace

std::string CPlayerWnd::ResumeKey() const {
  if (m_scriptLoaded || m_singleClip.empty()) return std::string();
  return AbsolutePathOf(m_singleClip);
}

void CPlayerWnd::NoteOpened(const std::string& path) {
  const std::string target = AbsolutePathOf(path);
  CRecentFileStore recent(kRecentKey);
  CRecentItem item(SplitGetFullName(target), target);
  recent.AddRecentItem(item);
  os::AddRecentFile(target);
}

void CPlayerWnd::ChooseOpeningStart() {
  m_openingStart = 0;
  if (m_hasStartOption) {
    // The command line's start counts once, for the first clip, without a question.
    m_hasStartOption = false;
    m_openingStart = std::min(m_startOption, m_clipDuration);
    return;
  }
  const std::string key = ResumeKey();
  DWORD stored = 0;
  if (key.empty() || !m_resume.Lookup(key, stored)) return;
  if (!IsResumable(stored, m_clipDuration)) {
    // The clip changed since (or the entry is damaged): nothing to offer.
    m_resume.Remove(key);
    return;
  }
  const std::string text = str::Format(kResumeQuestion, SplitGetFullName(key).c_str(), ClockText(stored).c_str());
  if (::MessageBox(GetSafeHwnd(), text.c_str(), "", MB_YESNO | MB_ICONQUESTION) == IDYES) m_openingStart = stored;
}

DWORD CPlayerWnd::TakeOpeningStart() {
  const DWORD start = m_openingStart;
  m_openingStart = 0;
  return start;
}

void CPlayerWnd::RememberPosition() {
  if (!m_clipLoaded) return;
  const std::string key = ResumeKey();
  if (key.empty()) return;
  const DWORD position = m_clock.Now();
  // A clip seen to (nearly) its end starts from the beginning next time.
  if (IsResumable(position, m_clipDuration))
    m_resume.Save(key, position);
  else
    m_resume.Remove(key);
}

bool CPlayerWnd::CanOpenFile(const std::string& path, std::string& refusal) {
  const std::string ext = SplitGetExtension(path);
  const bool script = str::EqualsNoCase(ext, "tvsf");
  if (!script && !CheckExtension(ext, "zeph,cpt")) {
    refusal = str::Format(kNotPlayableMessage, path.c_str());
    return false;
  }
  if (script) {
    CFileScript probe;
    if (probe.Load(path.c_str()) && probe.GetSize() > 0) return true;
    refusal = str::Format(kUnreadableMessage, path.c_str(), "play script");
    return false;
  }
  // A capture is opened once on the side, so that a damaged or too new file
  // never closes the clip that plays.
  CCaptureFileReader probe;
  if (!probe.Open(path, 0, false)) {
    refusal = str::Format(kUnreadableMessage, path.c_str(), "capture");
    return false;
  }
  CCaptureInfo info;
  probe.BuildInfo(info);
  probe.Close();
  if (std::atoi(info.Lookup("CaptureFile_Version", "1").c_str()) > 3) {
    refusal = kTooNewMessage;
    return false;
  }
  return true;
}

int CPlayerWnd::OpenFile(const std::string& path) {
  std::string refusal;
  if (!CanOpenFile(path, refusal)) {
    ::MessageBox(GetSafeHwnd(), refusal.c_str(), "", MB_ICONEXCLAMATION);
    return 0;
  }
  Stop();
  CloseClip();
  // The window keeps its frame, full-screen state and controls; a script
  // brings its own scaling and caption.
  const int windowMode = m_windowMode, fullScreen = m_fullScreen, controls = m_controlsShown;
  m_script.Clear();
  m_scriptLoaded = false;
  m_singleClip.clear();
  m_entry = nullptr;
  m_clipIndex = 0;
  m_clipFolder = SplitGetPath(path);
  m_captionTitle = kDefaultCaption;
  const int loaded = LoadFile(path);
  m_windowMode = windowMode;
  m_fullScreen = fullScreen;
  m_controlsShown = controls;
  if (!loaded) return 0;
  if (m_clipFolder.empty()) m_clipFolder = GetOutputFolder();
  if (m_caption) m_caption->SetWindowText(m_captionTitle.c_str());
  SetScalingMode(m_scalingMode);
  if (m_scriptLoaded) m_entry = m_script.GetAt(0);
  if (!m_entry && m_singleClip.empty()) return 0;
  if (!OpenClip(1)) return 0;
  NoteOpened(path);
  ChooseOpeningStart();
  Play();
  return 1;
}

void CPlayerWnd::OnDropFiles(HDROP drop) {
  const std::vector<std::string> files = DragQueryFiles(drop);
  DragFinish(drop);
  if (files.empty()) return;
  // The first file the player can play is opened; the rest of a drop of
  // several files is left alone.
  for (const std::string& file : files) {
    const std::string ext = SplitGetExtension(file);
    if (str::EqualsNoCase(ext, "tvsf") || CheckExtension(ext, "zeph,cpt")) {
      OpenFile(file);
      return;
    }
  }
  OpenFile(files.front());  // refused with its message
}

void CPlayerWnd::AddRecentMenu(CMenu& popup) {
  m_recentShown.clear();
  CRecentFileStore recent(kRecentKey);
  CMenu sub;
  sub.CreatePopupMenu();
  for (int i = 0; i < recent.GetCount() && i < kMaxRecentShown; ++i) {
    const std::string target = recent.GetRecentItem(i).GetTarget();
    const std::string text =
        (i < 9 ? str::Format("&%d ", i + 1) : std::string("1&0 ")) + MenuEscaped(AbbreviatePathName(target, 60));
    sub.AppendMenu(MF_STRING, ID_RECENT_FIRST + static_cast<UINT>(i), text.c_str());
    m_recentShown.push_back(target);
  }
  if (m_recentShown.empty()) sub.AppendMenu(MF_STRING | MF_GRAYED, 0, kRecentEmptyText);
  // Beside Exit, above the separator that sets it apart; at the end without one.
  UINT position = popup.GetMenuItemCount();
  for (UINT i = 0; i < popup.GetMenuItemCount(); ++i)
    if (popup.GetMenuItemID(static_cast<int>(i)) == ID_EXIT) {
      position = (i > 0 && popup.GetMenuItemID(static_cast<int>(i) - 1) == 0) ? i - 1 : i;
      break;
    }
  const UINT state = m_recentShown.empty() ? MF_GRAYED : MF_ENABLED;
  popup.InsertMenu(position, MF_BYPOSITION | MF_POPUP | state, reinterpret_cast<std::uintptr_t>(&sub), kRecentMenuText);
}

void CPlayerWnd::OpenRecent(int index) {
  // The menu's ids are checked against what it showed, not the list now.
  if (index < 0 || index >= static_cast<int>(m_recentShown.size())) return;
  const std::string target = m_recentShown[static_cast<std::size_t>(index)];
  if (!CheckAccess(target)) {
    // Only this entry goes: file names differ by case here.
    CRecentFileStore recent(kRecentKey);
    for (int i = 0; i < recent.GetCount(); ++i)
      if (recent.GetRecentItem(i).GetTarget() == target) {
        recent.RemoveRecentItem(recent.GetRecentItem(i));
        break;
      }
    ::MessageBox(GetSafeHwnd(), str::Format(kRecentGoneMessage, target.c_str()).c_str(), "", MB_ICONEXCLAMATION);
    return;
  }
  OpenFile(target);
}
