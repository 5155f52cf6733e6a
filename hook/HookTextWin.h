// The hook library's key, window and caret primitives that ask Windows: key
// translation, the per-window enable test, the caret and the text before it.
// They run in the thread of the foreign process that handles the input.
#pragma once

#include <windows.h>

#include "CString.h"
#include "HookText.h"
#include "InputHelpers.h"  // GetRootWindow

// Title of the root window of the focus window, filled per process by the
// keyboard hook on every key event; empty until the first one.
extern char s_szFocusTitle[100];

char VkToChar(UINT vk);  // US-layout character of a key, 0 for none or with Ctrl
char VkToCharToAscii(UINT vk, UINT scanCode, HKL layout);  // the real layout's
BOOL IsModifierHeld();  // Ctrl, Shift, Alt or a Windows key in the thread's key state
// At a key release in the keyboard hook: whether the key or a modifier is
// still held, the released key itself left out.
BOOL AreKeysHeldAtRelease(UINT key, UINT released);
UINT GetHeldModifiersAsync();  // KEYMOD_ flags from the asynchronous key state
BOOL MatchHotKey(UINT code, UINT vk, UINT flags);  // against the asynchronous key state

CString GetLowerModulePath();
CString GetFocusTopTitle();  // also records the root window of hFocusEdit
BOOL IsHookEnabledFor(HWND window);
BOOL IsFocusHookEnabled();
BOOL IsCaretUnreliableApp();
BOOL UpdateCaretPos();  // TRUE when the caller may go on (caret read, or not to be trusted)
BOOL IsCharBufApp();
BOOL IsWordDocument();
BOOL IsDelphiEditor();

// An edit control showing its text masked.
BOOL IsPasswordField(HWND window);
// UpdateCharBuf for a character typed into the window; in a password field
// both buffers are emptied instead, so no typed secret stays in shared memory.
void UpdateCharBufFor(HWND window, char c);
// At most 258 characters of the caret's line before the caret; CharBuf when
// the window is no readable edit control; empty in a password field (which
// also empties both buffers).
CString GetTextBeforeCaret(HWND window);
void RefreshWordBuffer();  // WordBuffer = GetTextBeforeCaret(hFocusEdit)

// The 8-bit character of a WM_CHAR: a Unicode window's wParam is UTF-16 and is
// converted to the ANSI code page ('?' when it has no such character).
char CharFromWmChar(HWND window, WPARAM wParam);

// Windows and the program's main window.
BOOL IsWindowOrDescendant(HWND ancestor, HWND window);  // along the GetParent chain
BOOL IsSameProcessWindow(HWND a, HWND b);
// Sends WM_PROMPT_QUERY (wParam, lParam) to the main window with a time-out
// (a hung program counts as no answer); *result is set only on an answer.
BOOL QueryMainWindow(HWND mainWindow, WPARAM wParam, LPARAM lParam, LRESULT *result);
