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
// " Main Window". Looked up on every call, never cached.
HWND FindMainWindow();
