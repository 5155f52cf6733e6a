// The spell check that the program asks for in a target window: run inside
// the target's process by the message hook.
#pragma once

#include <windows.h>

// Spell-checks the window with the spell-checker component, when that is
// installed; otherwise tells the user so. Loads the COM library only now, so
// the hook library imports nothing of it.
void RunSpellCheck(HWND window);
