// The working state that the hook procedures keep in each process they run
// in (not shared): the two-phase keys that are armed at the key-down and
// acted on at the release, and whether the prompt's selection was moved.
#pragma once

#include <windows.h>

struct HookProcState {
    BOOL compKeyDown;   // completion key (or a delimiter accepting a full shorthand) awaits its release
    BOOL compKeyEvent;  // the current key event matched CompWordKey
    BOOL navigated;     // the prompt's selection was moved by a line or page key
    BOOL digitDown;     // a selection digit or letter awaits its release
    BOOL activateDown;  // the manual activation key awaits its release
    BOOL altReleased;   // the current key event is the release of Alt
    int lastSelIndex;   // last index from a digit, letter or function key
    BOOL forwarded;     // the current key event went to the program
    BOOL typedAgain;    // the current key event is one the program typed again (g_nKeyTypedAgain)
};

// This process's state; tests reset it between cases.
HookProcState &HookState();
