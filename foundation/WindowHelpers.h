// Window, menu, key and icon routines of the main thread: sizes, keeping a
// popup on the desktop, a grey copy of an icon, a key-state test, finding and
// arranging menu items, and a window's class name. They keep no state.
#pragma once

#include <windows.h>

#include "CString.h"

// Width and height that the window's frame (border and caption, no menu)
// adds to its client area.
SIZE GetFrameSize(HWND window);
// Width and height of the window's screen rectangle.
SIZE GetWindowSize(HWND window);

// Moves a popup that opened to the lower right of a point so that it lies on
// the desktop: unchanged, mirrored to the left of its left edge, above its top
// edge, or both, whichever fits first in that order. When none fits, the
// window stays where it is.
void KeepWindowOnDesktop(HWND window);

// A new icon in shades of grey with the same mask; the caller destroys it.
// A monochrome icon is already grey: the result is a copy of it. NULL when
// the icon can't be read.
HICON MakeGrayIcon(HICON icon);

// The key is down in the calling thread's input state.
BOOL IsKeyDown(int vk);

// Position of the first item whose text equals text without regard to case,
// both sides with every single '&' removed ("&&" stays); -1 when none does.
int FindMenuItemPos(HMENU menu, const char *text);

// Breaks a menu taller than the screen into columns.
void SplitMenuIntoColumns(HMENU menu);

// The window's class name (at most 63 characters); empty for a null window
// or on failure.
CString GetWindowClassName(HWND window);
