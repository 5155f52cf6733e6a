// How the hook code finds the program's main window.
#pragma once

#include <windows.h>

#include "CString.h"

// [General] "ProductName" of "mprod.ini" in the program folder (AppPath),
// "Lexanto" when the file or key is missing.
CString ReadProductName();

// Reads the product name for this process; the library does it once, when it
// is attached.
void InitHookProductName();

// The product name this process read.
const CString &GetHookProductName();

// The program's hidden main window: a dialog titled product name +
// " Main Window". The window found last is kept per process and given again
// while it exists: looking it up among every top-level window costs a round
// trip to the window server for each of them under Wine, on every key. A
// program that ended takes its window with it, so a new one is looked up.
HWND FindMainWindow();
