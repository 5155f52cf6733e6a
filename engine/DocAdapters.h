// Text before the caret read from the word processor and from the IDE's code
// editor through their automation interfaces, where the hook cannot follow
// the text from the keystrokes alone. Every failure is silent and leaves the
// caller's values alone, so the caller keeps the text the hook collected.
// Main thread only; COM must be initialised on it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "CString.h"
#include "EngineSettings.h"  // g_bMSWordEnhance: a switch-off is seen even in the middle of a call

// The most characters before the caret that either adapter gives back.
const int DOC_TEXT_MAX = 257;
// How long the word processor may take to answer each activation nudge.
const UINT WORD_NUDGE_TIMEOUT_MS = 1000;

// text := the current line up to the caret in the IDE instance that owns the
// focus window (without its last character when lastChar is not 0). TRUE
// once that instance's document chain was reached (even when reading the
// line failed afterwards and text was left as it was), FALSE otherwise.
BOOL GetVsTextBeforeCaret(HWND focus, CString &text, char lastChar);

// The focused edit window (hFocusEdit) is a document window of the word
// processor: its class is exactly "_WwG" and its process runs "winword.exe".
BOOL IsWordWindow();

// The running word-processor application object (the caller releases it).
// When it is not registered yet, the root window of hFocusEdit is nudged once
// with a deactivation and an activation, then it is looked up once more.
BOOL GetRunningWordApp(IDispatch *&app);

// text := the text before the caret in the word processor (at most
// DOC_TEXT_MAX characters, without the last one when lastChar is not 0);
// caret (screen pixels) and height when asked and the word processor is
// newer than version 8. Nothing changes when the adapter does not apply. A
// call made while another is in progress (messages dispatched while waiting
// for the other process) only gives the last caret point read.
void GetWordTextBeforeCaret(CString &text, POINT *caret, char lastChar, int *height);

// What GetWordTextBeforeCaret does once it has found the application: the
// text, caret and height from the given application object.
void ReadWordTextBeforeCaret(IDispatch *app, CString &text, POINT *caret, char lastChar, int *height);
