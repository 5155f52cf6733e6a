// The working state that the hook procedures keep in each process they run
// in (not shared): the two-phase keys that are armed at the key-down and
// acted on at the release, the keys whose releases are swallowed, and
// whether the prompt's selection was moved.
#pragma once

#include <windows.h>

struct HookProcState {
    BOOL compKeyDown;   // the completion key (or a delimiter ending a full shorthand) chose; its release is swallowed
    UINT compKeyVk;     // that key
    BOOL compKeyEvent;  // the current key event matched CompWordKey
    BOOL navigated;     // the prompt's selection was moved by a line or page key
    BOOL digitDown;     // a selection digit or letter chose; its release is swallowed
    UINT digitVk;       // that key
    BOOL activateDown;  // the manual activation key awaits its release
    BOOL altReleased;   // the current key event is the release of Alt
    int lastSelIndex;   // last index from a digit, letter or function key
    // The delayed key-down work waiting for its thread's paint: the line is
    // read and the prompt requested once the typed character is on the
    // screen, so the program's work does not hold up the echo.
    HWND afterPaintWindow;  // the window the work is for, or NULL
    BOOL afterPaintPosted;  // the paint came and the work was posted again
};

// This process's state; tests reset it between cases.
HookProcState &HookState();
