// Message boxes owned by a window, over the platform's message boxes
// (platform/os/MessageBox.h: native box on a desktop, standard error and the
// default answer headless, a hook for tests).
#pragma once

#include "platform/os/MessageBox.h"
#include "platform/ui/UiTypes.h"

// Shows the box for `owner` (the owner only names the program when the
// caption is empty) and returns the button chosen (IDOK, IDYES...).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// A box with the program's caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);
