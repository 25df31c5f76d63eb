// The player window: the skinned replay window with the caption bar, the
// replay view and the control bar (buttons, progress, time). It opens the
// clips of a play script or a single capture, drives the capture reader and
// the replay clock, and answers the commands of the buttons, the context
// menu and the keyboard.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "olvane/PlayerView.h"
#include "olvane/ResumeStore.h"
#include "olvane/SkipIdle.h"
#include "platform/gfx/Font.h"
#include "platform/ui/DropFiles.h"
#include "pravex/capture/ReplayClock.h"
#include "pravex/render/RenderBase.h"
#include "pravex/script/FileScript.h"
#include "pravex/shell/BaseInterface.h"

class CBitButton;
class CCaptionBar;
class CMarkedProgress;
class CMenu;
class CPlayerKeys;
class CTimeDisplay;
class CTransButton;
class CTransLedProgress;
class ITimeSource;

namespace player {
// Command ids.
constexpr UINT ID_PLAY = 32771;
constexpr UINT ID_STOP = 32772;
constexpr UINT ID_PAUSE = 32773;
constexpr UINT ID_FULLSCREEN = 32775;
constexpr UINT ID_NEXTCLIP = 32776;
constexpr UINT ID_PREVCLIP = 32777;
constexpr UINT ID_EXIT = 32779;
constexpr UINT ID_NEXTCHAPTER = 32780;
constexpr UINT ID_PREVCHAPTER = 32781;
constexpr UINT ID_CONTROLS = 32787;
constexpr UINT ID_HIGHQUALITY = 32790;
constexpr UINT ID_OPEN = 32797;
constexpr UINT ID_SIZE50 = 32812;
constexpr UINT ID_SIZE100 = 32815;
constexpr UINT ID_SIZE200 = 32859;
constexpr UINT ID_SCALE_NONE = 32900;
constexpr UINT ID_SCALE_SMART = 32902;
constexpr UINT ID_CLIP_FIRST = 27000;
constexpr UINT ID_CHAPTER_FIRST = 28000;
constexpr int kMaxMenuEntries = 1000;
// Open Recent: the newest files of the recent list, at most kMaxRecentShown.
constexpr UINT ID_RECENT_FIRST = 29000;
constexpr int kMaxRecentShown = 10;
constexpr UINT ID_HELP = 57670;
// The speed buttons, by speed index 0 ("1/8") to 6 ("8").
constexpr UINT kSpeedIds[7] = {32791, 32792, 32798, 32793, 32794, 32795, 32796};
// Private messages.
constexpr UINT WM_TRAY_CALLBACK = WM_APP + 0x12D;
constexpr UINT WM_PLAYER_RELOAD = WM_APP + 0x154;
constexpr UINT WM_PLAYER_DIRECTX = WM_APP + 0x15B;
constexpr UINT WM_PLAYER_REPLAYNOTIFY = WM_APP + 0x161;
constexpr UINT kClockTimer = 1;
constexpr UINT kClockTimerPeriod = 90;
// Resource ids.
constexpr UINT kMenuResource = 129;
constexpr UINT kButtonBitmap = 544;
constexpr UINT kIconStopped = 128;
constexpr UINT kIconPlaying = 129;
constexpr UINT kIconPaused = 130;
constexpr UINT kHotCursor = 140;
constexpr UINT kProgressId = 3650;
constexpr UINT kTimeToolTip = 3615;
inline constexpr const char kWindowClass[] = "Kalvo:Olvo:001";
inline constexpr const char kWindowTitle[] = "Olvo";
inline constexpr const char kStartMessage[] = "A script or Zeph file must be entered on the command line";
inline constexpr const char kOpenFailedMessage[] = "Unable to open the clip :  %s";
inline constexpr const char kTooNewMessage[] = "Download the latest version of Quillet to play this file";
inline constexpr const char kDefaultCaption[] = "Olvane screen-capture player";
// Opening files.
inline constexpr const char kRecentKey[] = "Software\\Kalvo\\Olvo\\Recent";
inline constexpr const char kRecentMenuText[] = "Open &Recent";
inline constexpr const char kRecentEmptyText[] = "(no recent files)";
inline constexpr const char kNotPlayableMessage[] =
    "%s cannot be played: only captures (.zeph, .cpt) and play scripts (.tvsf) open in the player";
inline constexpr const char kUnreadableMessage[] = "%s cannot be played: it could not be read as a %s";
inline constexpr const char kRecentGoneMessage[] = "%s no longer exists; it has been taken off the recent files";
inline constexpr const char kResumeQuestion[] = "Resume %s at %s, where it was left?";
// A clip is resumed only where more than this is left of it.
constexpr DWORD kResumeEndMargin = 10000;
}  // namespace player

class CPlayerWnd : public CBaseInterface, public CRenderVarsHost, public CReplayNotify {
 public:
  // The replay clock runs on `clockSource` (tests pass a manual one); null: the system clock.
  explicit CPlayerWnd(ITimeSource* clockSource = nullptr);
  ~CPlayerWnd() override;

  // Start-up from a command line; non-zero when the window is up.
  int StartFromCommandLine(const std::string& commandLine);

  // Opening files (PlayerOpening.cpp). A capture or play script (dropped,
  // chosen from Open Recent) replaces what plays and starts at once; anything
  // that cannot play is refused with a message and nothing changes. 1 when it plays.
  int OpenFile(const std::string& path);
  // The first clip opened starts here without the resume question (--start).
  void SetStartTime(DWORD ms) {
    m_startOption = ms;
    m_hasStartOption = true;
  }
  CResumeStore& GetResumeStore() { return m_resume; }
  // The key a single clip's position is kept under (its absolute path); empty
  // while a play script or nothing is open.
  std::string ResumeKey() const;

  // CSkinBase / CBaseInterface.
  int CreateInterface() override;
  int SetupInterface() override;
  void PrepareInterface() override {}
  void OnSkinMouseMove(int x, int y) override;
  void OnSkinButtonUp(int x, int y) override;
  void CreateChildWindows() override;
  void UpdateOverlay(const CRect* rect) override;
  void PlayFrom(DWORD time, int limit) override;
  CRenderVars& GetHostRenderVars() override { return m_renderVars; }
  void OnReplayNotify(int kind, DWORD markTime) override;

  // Clips.
  int OpenClip(int autostart);
  void CloseClip();
  std::string GetClipPath() const;
  // Commands.
  void Play();
  void Stop();
  void TogglePause();
  void SetSpeed(int index);
  // Speed with sound, beside the speed buttons: step by a tenth of 1x
  // (direction -1 or +1), halve or double, back to 1/1; always within the
  // buttons' range, 1/8 to 8. Between 0.5x and 2x the sound keeps playing at
  // the new tempo with its pitch kept; outside it the replay is silent.
  void StepTempo(int direction);
  void ScaleTempo(bool up);
  void ResetTempo();
  double GetTempo() const;
  // Whether the sound plays at a speed other than 1/1 (the tempo commands set
  // it, the speed buttons drop it).
  bool IsTempoSound() const { return m_tempoSound; }
  void SelectClip(int index);
  void NextClip();
  void PreviousClip();
  void JumpToChapter(int index);
  void NextChapter();
  void PreviousChapter();
  void ToggleFullScreen();
  void ReplaySize(UINT id);
  void ToggleControls();
  void SetScalingMode(int mode);
  void ToggleHighQuality();
  void Help();
  // The commands the view passes on or handles; true when handled.
  bool OnViewCommand(UINT id);
  void ShowContextMenu(CPoint screenPoint, CWnd* owner);
  // Builds the context menu as it would be shown now (tests read it).
  bool BuildContextMenu(CMenu& menu);

  // Geometry.
  void Layout(int width, int height);
  void SizeWindow(int width, int height, int centre, int force);
  void ApplyWindowStyle();

  // The 90 ms timer's work (tests call it with a manual clock).
  void ClockTick();
  void RefreshButtons();

  // State for callers and tests.
  CPlayerView& GetView() { return m_view; }
  CReplayClock& GetClock() { return m_clock; }
  CFileScript& GetScript() { return m_script; }
  int IsPlaying() const { return m_clipLoaded && m_playing; }
  int IsPaused() const { return m_paused; }
  int IsClipLoaded() const { return m_clipLoaded; }
  int IsFullScreen() const { return m_fullScreen; }
  int GetScalingMode() const { return m_scalingMode; }
  int GetWindowMode() const { return m_windowMode; }
  int GetControlsShown() const { return m_controlsShown; }
  int GetCurrentClipIndex() const { return m_clipIndex; }
  int GetSpeedIndex() const { return m_speedIndex; }
  void GetSpeed(int& numerator, int& denominator) const {
    numerator = m_speedNumerator;
    denominator = m_speedDenominator;
  }
  DWORD GetClipDuration() const { return m_clipDuration; }
  CSize GetReplaySize() const { return CSize(m_replayWidth, m_replayHeight); }
  void SetReplaySize(int width, int height) {
    m_replayWidth = width;
    m_replayHeight = height;
  }
  UINT GetIconId() const { return m_iconId; }
  const std::string& GetClipFolder() const { return m_clipFolder; }
  bool IsTracking() const { return m_tracking; }
  CBitButton* GetButtonBar() { return m_buttons.get(); }
  CTransLedProgress* GetProgress() { return m_progress.get(); }
  // The same bar with its chapter and pause ticks and the thumbnail preview.
  CMarkedProgress* GetMarkedProgress();
  // Seeks to exactly `time` ms as a click on the bar would (the pause state
  // from before is kept); a clicked tick asks for it.
  void SeekExactly(DWORD time);
  CTimeDisplay* GetTimeDisplay() { return m_time.get(); }
  CCaptionBar* GetCaptionBar() { return m_caption.get(); }
  // The chapters of the open clip: indexes of annotation lists.
  std::vector<int> Chapters() const;
  // Whether the audio handler is registered with the reader now.
  bool AudioRegistered() const { return m_audioRegistered; }

  // Skipping idle stretches (SkipIdle.cpp): after `seconds` of a stretch
  // without change the replay jumps to half a second before the next change;
  // 0 turns it off.
  void SetSkipIdle(int seconds);
  int GetSkipIdle() const;
  // The spans skipped in the open clip; empty until its stretches are known.
  const std::vector<IdleStretch>& GetSkippedSpans() const { return m_skipIdle->spans; }
  // Whether the open clip's stretches are known and its spans computed.
  bool IsSkipIdleReady() const;
  // Seeking to a replay time, as the progress bar seeks (held back while a
  // preroll runs); SeekBase is the time a relative seek starts from: a seek
  // still held back, else the clock.
  void SeekTo(DWORD time);
  DWORD SeekBase();
  // The keys, overlay, A-B loop and snapshot added beside the commands above.
  CPlayerKeys& Keys() { return *m_keys; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintFace(CPaintDC& dc) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnSizing(UINT edge, LPRECT rect) override;
  void OnTimer(std::uintptr_t id) override;
  void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  void OnContextMenu(CWnd* wnd, CPoint screenPoint) override;
  void OnClose() override;

 private:
  void RegisterHandlers(bool opening, bool withAudio);
  // Whether the sound plays at the current speed; sets the audio player's tempo.
  bool PrepareSoundForSpeed();
  void ApplySpeed(std::int64_t numerator, std::int64_t denominator, bool tempoSound);
  void ShowSpeed();
  void SetPauseMarks();
  void SetIcon(UINT id);
  void OnProgressDragBegin();
  void OnProgressDragEnd();
  void OnProgressPosition(int percent);
  void OnEndOfStream(WPARAM stream);
  void OnPauseNotice(int kind);
  void OnReload(int value, int play);
  void OnDirectX(int version);
  int OpenSelectedClip();
  // Reads a file named on the command line or opened later into the script
  // or single-clip state; 0 when it is neither a readable script nor a capture.
  int LoadFile(const std::string& fileName);
  // Opening files (PlayerOpening.cpp).
  void NoteOpened(const std::string& path);
  void ChooseOpeningStart();
  DWORD TakeOpeningStart();
  void RememberPosition();
  void OnDropFiles(HDROP drop);
  bool CanOpenFile(const std::string& path, std::string& refusal);
  void AddRecentMenu(CMenu& popup);
  void OpenRecent(int index);
  int ReplayTimeCentiseconds();
  DWORD ChapterStart(int index) const;
  DWORD ChapterLength(int index) const;
  bool IsChapter(int index) const;
  int FindNextChapter(DWORD now) const;
  int FindPreviousChapter(DWORD now) const;
  CRect ViewArea() const;
  void SetProgressFromTime(int centiseconds);
  // The open clip's chapters and pause marks onto the progress bar.
  void UpdateProgressMarks();
  void SkipIdleTick();
  void UpdateSkippedSpans();
  void ToggleSkipIdle();
  void AddSkipIdleMenuItem(CMenu& popup);

  CPlayerView m_view;
  CReplayClock m_clock;
  CFileScript m_script;
  bool m_scriptLoaded = false;
  std::string m_clipFolder;
  std::string m_singleClip;
  int m_scalingMode = 0;
  int m_windowMode = 1;
  int m_controlsShown = 1;
  std::string m_captionTitle = player::kDefaultCaption;
  int m_fullScreen = 0;
  int m_clipIndex = 0;
  CFileScriptData* m_entry = nullptr;  // not owned: an entry of m_script
  DWORD m_clipDuration = 0;
  int m_replayWidth = 0;
  int m_replayHeight = 0;
  int m_firstSizing = 1;
  int m_speedNumerator = 1;
  int m_speedDenominator = 1;
  int m_speedIndex = 3;
  bool m_tempoSound = false;
  int m_autostart = 0;
  int m_started = 0;
  bool m_tracking = false;
  int m_savedPause = 0;
  bool m_seekPending = false;
  DWORD m_pendingSeek = 0;
  int m_lastShown = -1;
  DWORD m_chapterTime = 0;
  int m_reloadValue = 0;
  UINT m_iconId = 0;
  bool m_audioRegistered = false;
  CFont m_captionFont;
  std::unique_ptr<CCaptionBar> m_caption;
  std::unique_ptr<CTimeDisplay> m_time;
  std::unique_ptr<CTransLedProgress> m_progress;
  std::unique_ptr<CBitButton> m_buttons;
  std::vector<std::unique_ptr<CTransButton>> m_captionButtons;
  // Opening files.
  CResumeStore m_resume;
  bool m_hasStartOption = false;
  DWORD m_startOption = 0;
  DWORD m_openingStart = 0;
  std::vector<std::string> m_recentShown;  // targets of the Open Recent items last built
  std::unique_ptr<CSkipIdle> m_skipIdle = std::make_unique<CSkipIdle>();
  std::unique_ptr<CPlayerKeys> m_keys;
};
