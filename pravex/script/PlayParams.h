// Parameters a play script carries: per clip (tag_playParams) and for the
// whole script (CDisplayParams).
#pragma once

#include <string>

// How one clip is played. Every field is a 32-bit integer, in this order; the
// initial values are the defaults a clip gets when its script gives none.
struct tag_playParams {
  int audio = 1;               // play the clip's sound
  int video = 1;               // show the camera video
  int annotation = 1;          // show annotations
  int quality = 1;             // high-quality replay
  int toolbar = 1;             // show the control bar
  int autoplay = 1;            // start playing without waiting for the user
  int cursor = 2;              // cursor display setting, 0..3
  int videoTransparency = 40;  // percent
  int videoPosition = 2;       // 0..8
  int videoMode = 3;           // video replay mode, 0..7
  int previewScale = 1;        // two 16-bit halves (low, high) for the preview window scale
};
static_assert(sizeof(tag_playParams) == 11 * 4);

// Resets the parameters to their defaults.
void SetDefaultPlayParams(tag_playParams* params);

// Scale modes.
constexpr int SCRIPT_SCALE_NONE = 0;
constexpr int SCRIPT_SCALE_SCALE = 1;
constexpr int SCRIPT_SCALE_SMART = 2;
// Window modes.
constexpr int SCRIPT_WINDOW_NOFRAME = 0;
constexpr int SCRIPT_WINDOW_FRAME = 1;
constexpr int SCRIPT_WINDOW_FULLSCREEN = 2;

// The caption title of a script that names none.
inline constexpr const char kDefaultScriptTitle[] = "Olvane Presentation";

// How the whole script is shown.
class CDisplayParams {
 public:
  int scaleMode = SCRIPT_SCALE_NONE;        // 0 none, 1 scale to the window, 2 smart scale
  int windowMode = SCRIPT_WINDOW_FRAME;     // 0 no frame, 1 framed window, 2 full screen
  int control = 1;                          // 1 control bar shown, 0 hidden
  std::string title = kDefaultScriptTitle;  // caption title
};
