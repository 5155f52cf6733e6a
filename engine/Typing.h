// Typing into the application that has the focus: synthetic key events, the
// fixed clipboard combinations, Backspaces, and the text preparations that
// precede an insertion. Every key event goes through a KeyboardBackend so the
// sequences can be checked without a desktop.
#pragma once

#include <cstdint>

#include "CString.h"
#include "wintypes.h"

// Virtual-key codes and flags used here, named apart from the system headers.
const BYTE KEY_BACK = 0x08;
const BYTE KEY_RETURN = 0x0D;
const BYTE KEY_SHIFT = 0x10;
const BYTE KEY_CONTROL = 0x11;
const BYTE KEY_ALT = 0x12;
const BYTE KEY_PRIOR = 0x21;
const BYTE KEY_NEXT = 0x22;
const BYTE KEY_END = 0x23;
const BYTE KEY_HOME = 0x24;
const BYTE KEY_LEFT = 0x25;
const BYTE KEY_UP = 0x26;
const BYTE KEY_RIGHT = 0x27;
const BYTE KEY_DOWN = 0x28;
const BYTE KEY_INSERT = 0x2D;
const BYTE KEY_NUMPAD0 = 0x60;
const DWORD KEY_RELEASE = 2;   // the key-up flag of a key event
const DWORD KEY_EXTENDED = 1;  // the extended-key flag of a key event

// The longest pause a \dl token can ask for, in units of 100 ms (one minute),
// so a long run of digits can neither overflow nor hang the program.
const int MAX_TYPING_PAUSE_UNITS = 600;

// The keyboard-input synthesis and layout queries of the platform.
struct KeyboardBackend {
    virtual ~KeyboardBackend() = default;
    virtual void KeyEvent(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra) = 0;
    // Low byte: virtual key; high byte: bit 0 Shift, bit 1 Ctrl, bit 2 Alt.
    virtual short VkKeyScan(char ch, void *layout) = 0;
    virtual BYTE ScanCode(BYTE vk, void *layout) = 0;
    virtual void *LayoutOf(HWND target) = 0;  // the layout of the window's thread
    virtual bool CapsLockOn() = 0;
    virtual void PostChar(HWND target, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void Sleep(int ms) = 0;
};

// Replaces the backend; nullptr restores the platform default.
void SetKeyboardBackend(KeyboardBackend *backend);

// Types text; returns the number of key releases it causes, counted the same
// way when send is FALSE (then nothing is typed, but \dl still pauses).
int SendKeysToWindow(HWND target, const CString &text, BOOL tokens, BOOL charMode, BOOL send);
void SendKeyEvent(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra = 0);
void TypeAltNumpad(BYTE ch, void *layout);
void SendPasteKeys(BOOL shiftInsert);
void SendCopyKeys(BOOL ctrlInsert, int ms);
void SendSelectAllKeys();
void SendBackspaces(HWND target, int n);

// The text as the hook posts it into the focus window's thread (Offer.h), one
// WM_CHAR a character: a line break ("\r\n", "\n" or, with tokens on, the
// line break token) as Enter's character. False when posting cannot type it:
// cursor keys, Backspace, Ctrl combinations and pauses need real keys.
bool EncodePostedKeys(const CString &text, BOOL tokens, CString &out);

// Fills %1..%9 with the comma-separated args; %% gives one %.
CString ExpandShorthandParams(const CString &args, const CString &expansion);
// Adapts the completion's letter case to the typed prefix; mode 1 looks at the
// first two prefix characters only.
void MatchPrefixCase(const CString &prefix, CString &completion, int mode);
// Appends a typed punctuation character and the spaces the settings ask for.
void ApplyPunctuationSpacing(CString &text, char ch);
// Keeps Dr., Mr., Ms. and Mrs. on the line of the name that follows.
void ProtectTitleAbbreviations(CString &text);
