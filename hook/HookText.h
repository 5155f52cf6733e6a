// The hook library's primitives that need no window: its character classes,
// the US-layout shift table, hot-key matching, the keystroke buffer, the
// program lists and the per-window enable decision. They run on every key
// event inside foreign processes, so they read the shared section with
// bounded lengths, write it only through the bounded setters, never lock and
// allocate nothing but temporary strings.
#pragma once

#include "CString.h"
#include "wintypes.h"

// Character classes of one 8-bit character (an int is reduced to its low
// byte). Word characters follow g_bNonEnglishChar and NonDelimiter.
BOOL IsHookWordChar(int c);
BOOL IsHookPrintableChar(int c);  // 9, 13, 32-126 and the Latin-1 letters
BOOL IsHookDelimiterChar(int c);  // printable and not a word character

// c as typed with Shift on a US keyboard: letters swap case, the top row and
// punctuation keys give their shifted characters, anything else is unchanged.
char ShiftCharUS(char c);
// The character of a key from its unshifted character (MapVirtualKey's) and
// the state of Ctrl, Caps Lock and Shift; 0 when there is none.
char TranslateKeyChar(char mapped, BOOL ctrlDown, BOOL capsLockOn, BOOL shiftDown);

// Modifier keys held, as a mask of the KEYMOD_ flags (Alt, Ctrl, Shift, Win).
// Decides whether the event code (virtual key, plus HOOK_KEY_EXTENDED for an
// extended key) is the stored key (virtual key and KEYMOD_ flags).
enum { HOOK_KEY_EXTENDED = 0x1000 };
BOOL MatchHotKey(UINT code, UINT vk, UINT flags, UINT heldModifiers);
BOOL IsNavigationKey(UINT vk);  // Page Up, Page Down, End, Home, the arrows

// Applies one typed character to CharBuf: Enter and Tab empty it, Backspace
// drops its last character, printable characters are appended (the oldest
// dropped when full), anything else is ignored.
void UpdateCharBuf(char c);
// Empties both keystroke buffers.
void ClearHookBuffers();

// A list of program names ("winword.exe") or title fragments, separated by
// ';'. TRUE when a token equals the program name or, not ending in ".exe",
// occurs in the title; all case-insensitive.
BOOL MatchAppList(const char *list, const char *title, const char *programName);
// The lower-cased file name of a program path.
CString HookProgramName(const char *programPath);

// What the enable decision knows about a window.
struct HookWindowFacts {
    BOOL isTestOrManualWindow;  // hTestEdit or hWndManualActivate
    BOOL hasPasswordStyle;      // ES_PASSWORD
    const char *className;
    const char *programName;    // lower case, as from HookProgramName
    const char *focusTitle;     // the process's s_szFocusTitle
};
// Whether the window takes part in prompting, by the window's facts and the
// shared settings (forced, included and excluded lists, Explorer and browser
// switches).
BOOL DecideHookEnabled(const HookWindowFacts &facts);

// Program tests by window facts. rootTitle is the title of the focus
// window's root window; programPath is lower case.
BOOL IsWordDocumentFor(const char *rootTitle, const char *className);
BOOL IsDelphiEditorFor(const char *programPath, const char *className);
BOOL IsCaretUnreliableFor(const char *rootTitle, const char *className, const char *programPath);
BOOL IsCharBufAppFor(const char *focusTitle, const char *className, const char *programName);
