// The keys people bring from the video players they use every day, added
// beside the player's own commands (which act on key release and stay as
// they are): seeking, stepping one picture, chapters, sound, full screen,
// replay size, an A-B loop, a snapshot and the ? list of keys. These act on
// key press and, where that makes sense, again while the key is held.
//
// Characters that depend on the keyboard layout ("?", ",", ".") are bound to
// the text the key types (WM_CHAR); named keys to their virtual key.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "olvane/ABLoop.h"
#include "olvane/CaptionNotice.h"
#include "olvane/ShortcutOverlay.h"
#include "platform/base/Rect.h"
#include "platform/base/WinTypes.h"
#include "platform/ui/UiTypes.h"
#include "pravex/capture/ScreenTimes.h"

class CDC;
class CPlayerWnd;

enum class PlayerKey {
  SeekBack,
  SeekForward,
  SeekBackLong,
  SeekForwardLong,
  ToStart,
  ToLastPicture,
  PictureBack,
  PictureForward,
  PreviousChapter,
  NextChapter,
  ABLoop,
  Mute,
  VolumeDown,
  VolumeUp,
  FullScreen,
  Size50,
  Size100,
  Size200,
  Snapshot,
  Shortcuts,
  CloseShortcuts,
  SpeedDown,
  SpeedUp,
  SpeedHalve,
  SpeedDouble,
  SpeedNormal,
};

// One key: how it arrives, what it does, whether holding it repeats the
// action, and the row of the ? list that names it (keys of one row share it).
struct PlayerKeyBinding {
  enum Input { kKey, kAltKey, kCharacter };
  Input input;
  UINT code;  // a VK_ code, or the character typed (letters in lower case)
  PlayerKey action;
  bool repeats;
  const char* keys;
  const char* meaning;
  int column;  // of the ? list: 0 replay, 1 view, sound and the player
};

const std::vector<PlayerKeyBinding>& PlayerKeyBindings();
// The binding for a key message (WM_KEYDOWN, WM_SYSKEYDOWN or WM_CHAR), or
// null. Named keys count without Ctrl and Alt, Alt keys with Alt alone,
// characters without Ctrl and Alt.
const PlayerKeyBinding* FindPlayerKey(UINT message, UINT code, bool ctrl, bool alt);
// The rows of the ? list: each row of the bindings once, the speed keys, and
// the player's own keys (which act on release).
std::vector<ShortcutRow> PlayerShortcutRows();

// The player's volume, 0 to 100 % in steps of kVolumeStep, as the sound
// output's hundredths of a decibel: the amplitude follows the square of the
// share (50 % is a quarter, -12 dB), which sounds even across the steps; 0 %
// is silence.
constexpr int kVolumeStep = 10;
int VolumeToHundredthsOfDb(int percent);

class CPlayerKeys {
 public:
  static constexpr DWORD kSeekShortMs = 5000;
  static constexpr DWORD kSeekLongMs = 60000;

  explicit CPlayerKeys(CPlayerWnd& player);
  ~CPlayerKeys();
  CPlayerKeys(const CPlayerKeys&) = delete;
  CPlayerKeys& operator=(const CPlayerKeys&) = delete;

  // A message of the player window: true when it was one of these keys and
  // has been handled. Every other message (key releases included) is left
  // for the player.
  bool OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Perform(PlayerKey action);
  // The clock timer's turn: the A-B loop's wrap and the caption notice.
  void Tick();
  // Draws the ? list over the view's picture when it is open.
  void PaintOverlay(CDC& dc, const CRect& client);

  // The time of the last screen picture of the open clip, and of the next or
  // previous picture from a time (the clip's pictures are listed once).
  DWORD LastPictureTime();
  DWORD NextPictureTime(DWORD time);
  DWORD PreviousPictureTime(DWORD time);

  int GetVolume() const { return m_volume; }
  bool IsMuted() const { return m_muted; }
  CABLoop& Loop() { return m_loop; }
  CShortcutOverlay& Overlay() { return m_overlay; }
  CCaptionNotice& Notice() { return m_notice; }
  // The file the last snapshot went to (empty when it failed).
  const std::string& GetLastSnapshot() const { return m_lastSnapshot; }

 private:
  void SeekBy(long long deltaMs);
  void StepPicture(bool forward);
  void MarkLoop();
  void ChangeVolume(int delta);
  void ToggleMute();
  void ApplyVolume();
  void TakeSnapshot();
  void ShowOverlay(bool show);
  void Notify(const std::string& text);
  CScreenTimes& ScreenTimes();
  DWORD SourceNow();

  CPlayerWnd& m_player;
  CABLoop m_loop;
  CCaptionNotice m_notice;
  CShortcutOverlay m_overlay;
  CScreenTimes m_screenTimes;
  std::string m_screenTimesClip;
  int m_volume = 100;
  bool m_muted = false;
  bool m_keyHeld = false;  // the last key press was a repeat of a held key
  std::string m_lastSnapshot;
};
