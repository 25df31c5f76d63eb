// The clipboard: a program opens it, empties it, puts data on it and closes
// it; other parts of the program (and, on an X11 desktop, other programs)
// read it back. Pictures travel as CF_DIB: one GlobalAlloc block holding a
// packed device-independent picture (header, colour table or masks, rows).
//
// With an X display the program owns the desktop's CLIPBOARD selection for
// the pictures it puts there (other programs get them as image/png or
// image/bmp while this program runs) and reads pictures other programs
// copied. Without one, or with OLVANE_PRIVATE_CLIPBOARD=1 in the environment,
// the clipboard is private to the process.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/os/GlobalMemory.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_DIB = 8;

// Opens the clipboard for the calling thread; FALSE while another thread has
// it open. `owner` identifies the window that opened it (may be null).
BOOL OpenClipboard(const void* owner);
// Closes it; what was put on it since it was opened becomes visible to other
// programs. FALSE when the calling thread did not have it open.
BOOL CloseClipboard();
// Frees everything on the clipboard; the caller becomes its owner.
BOOL EmptyClipboard();
// Puts a block on the clipboard, which takes it over (the caller must not
// free it) and returns it. A CF_DIB block must hold a readable picture.
// Returns null (the block stays the caller's) when the clipboard is not open
// by this thread, the block is not live, or the picture is malformed.
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
// The block of that format, owned by the clipboard and valid until it is
// emptied or closed; null when there is none or it is not open by this thread.
// CF_DIB also reads a picture another program put on the desktop clipboard.
HGLOBAL GetClipboardData(UINT format);
// Whether data of that format can be had; the clipboard need not be open.
BOOL IsClipboardFormatAvailable(UINT format);
