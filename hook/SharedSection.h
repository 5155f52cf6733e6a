// The variables that the hook library shares between every process it is
// mapped into: the current word, the caret, the focus and the settings the
// hook needs. Inside Dravik.dll they live in one shared data section and are
// exported by name; the program binds them as data imports. Unit tests of
// portable code link a private, unshared copy.
//
// Any process may write here at any time, so string arrays are written only
// through SetSharedString (which always leaves the last byte 0) and read with
// bounded lengths, and counts or indexes read from here are clamped by their
// readers.
#pragma once

#include <cstddef>
#include <cstring>

#include "Offer.h"
#include "wintypes.h"

extern "C" {
extern int g_bRemoveSpaceBeforePunctuation;
extern DWORD g_nDelayedKeyDownMsg;
extern UINT g_nLastKeyDown;
extern UINT g_tkLastKeyDown;
extern int g_bClearAtSwitch;
extern int g_bExpandFullSHAtDlmt;
extern int g_bAutoCompleteUponDelimiter;
extern int g_bCompleteUponPunctOnly;
extern int g_bDisableInExp;
extern int g_bDigitSelect;
extern int g_nNumWord;
extern HWND hTestEdit;
extern int g_bRedirectKey;
extern int g_bAlterPrompt;
extern int g_nSendKey;
extern int g_bFunSel;
extern int g_bFullSHMatch;
extern int g_nPromptMode;
extern int g_bEnableInIE;
extern int g_nLastComp;
extern int s_nExpAliasKeyCode;
extern int s_nExpAliasKeyFlag;
extern int g_nSWKeyOption;
extern int g_nPrevKey;
extern int g_nNextKey;
extern int g_nPgupKey;
extern int g_nPgdnKey;
extern int g_bDetectSOW;
extern int g_bPromptAllCaretFail;
extern int g_bArrowExtend;
extern char NonDelimiter[32];
extern HWND hFocusEdit;
extern HWND hLastFocus;
extern char WordBuffer[259];
extern char nLastChar;
extern int nWordNum;
extern char CharBuf[260];
extern POINT CaretPos;
extern UINT KeyCode;
extern char g_szForceEnable[256];
extern char WindowIncluded[256];
extern char WindowExcluded[256];
extern char ProcessIncluded[256];
extern char ProcessExcluded[256];
extern char PathIncluded[256];
extern char PathExcluded[256];
extern char g_szAppListForceCharBuf[256];
extern char AppPath[260];
extern int s_bIncludeAllExcept;
extern char AppDataPath[260];
extern UINT CompWordKey;
extern int bEnablePrompt;
extern HWND hPromptWnd;
extern int g_bNonEnglishChar;
extern int g_bNumpadDigit;
extern UINT g_nActivatePromptKey;
extern HWND hWndManualActivate;
}

// Timestamps of the prompt-latency benchmark: QueryPerformanceCounter values,
// which every process on the machine reads from the same clock. They are
// written only while the benchmark's probe sets g_bLatencyProbe, so a normal
// run pays one shared read per hooked event and nothing else.
enum LatencyStamp {
    LATENCY_KEY_DOWN,          // the hook's keyboard procedure sees a key-down
    LATENCY_REQUEST_POSTED,    // the hook posts WM_REQUEST_PROMPT
    LATENCY_REQUEST_RECEIVED,  // the main window takes the request
    LATENCY_RESULTS_READY,     // the main window takes the current request's results
    LATENCY_PROMPT_FILLED,     // the prompt's fill with entries ends (the last one)
    LATENCY_CHAR_DONE,         // the focus window has processed the typed WM_CHAR
    LATENCY_ECHO_PAINTED,      // the focus window's first paint after that has ended
    LATENCY_PROMPT_PAINTED,    // a paint of the prompt window has ended (the last one)
    LATENCY_STAMP_COUNT
};

extern "C" {
extern int g_bLatencyProbe;
extern long long g_qpcLatency[LATENCY_STAMP_COUNT];
extern int g_nLatencyResults;  // candidates in the last results taken
extern int g_nLatencyFills;    // fills with entries since the probe cleared it
}

// What the prompt offers the keys typed in the application (Offer.h), and
// the selection moves the hook has posted to the prompt that it has not
// applied yet.
extern "C" {
extern SharedOffer g_Offer;
extern LONG g_nOfferMoves;
}

// Words ended in the application, each with the text before the caret at the
// moment the delimiter was typed: the hook fills slot seq % WORD_END_SLOTS and
// posts WM_WORD_ENDED with seq; the program takes the slot while it still
// holds that seq.
enum { WORD_END_SLOTS = 16 };
struct WordEnd {
    LONG seq;
    char last;
    char text[259];
};
extern "C" {
extern WordEnd g_WordEnds[WORD_END_SLOTS];
extern LONG g_nWordEndSeq;
}

// Copies value into a shared array of the given capacity, cutting it at
// capacity - 1 characters; the last byte always stays 0.
inline void SetSharedString(char *dest, size_t capacity, const char *value)
{
    if (!dest || capacity == 0)
        return;
    size_t length = 0;
    if (value)
        while (length + 1 < capacity && value[length])
            ++length;
    if (length)
        std::memmove(dest, value, length);
    dest[length] = 0;
    dest[capacity - 1] = 0;
}

template <size_t N>
inline void SetSharedString(char (&dest)[N], const char *value)
{
    SetSharedString(dest, N, value);
}

// Length of a shared string, never reading past its array even when another
// process has just overwritten the terminator.
template <size_t N>
inline size_t SharedStringLength(const char (&src)[N])
{
    size_t length = 0;
    while (length + 1 < N && src[length])
        ++length;
    return length;
}

inline int ClampShared(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// Clears the state that only makes sense while one run of the program is
// active (key redirection, the count of the program's own keys, the offer and
// its selection moves, test edit, manual activation, prompt-mode swap, the
// keystroke buffer, the force-CharBuf list, the benchmark's timestamp
// switch). Start-up and shut-down call it, so a crashed or restarted program
// never leaves every application's keys swallowed or ignored.
void ResetTransientSharedState();
