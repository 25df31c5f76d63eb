// The window layer's controls in a third window of the example: push and
// owner-drawn buttons, statics, digit and corner images from image lists, a
// see-through label, a round slider, a scroll-bar control and the window's
// own scroll bar, in a skin-coloured window sized by its sizing band.
#pragma once

class CWnd;

// Opens the controls window right of `owner`'s window; it lives until the
// process ends. Returns false when it cannot be created.
bool CreateControlsDemo(CWnd* owner);
