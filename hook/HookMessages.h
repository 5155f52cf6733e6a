// The window messages between the hook library and the program, shared by
// both sides. Messages to the program are posted, except WM_PROMPT_QUERY,
// which is sent with a time-out and answered by the main window.
#pragma once

#include "wintypes.h"

enum : UINT {
    WM_ACCEPT_ITEM = 0x8002,        // to main: wParam row 0-35 or -1 (current), lParam 1 = Enter after navigating
    WM_REQUEST_PROMPT = 0x8003,     // to main: WordBuffer and CaretPos are fresh; lParam 1 = manual activation
    WM_WORD_ENDED = 0x8004,         // to main: a delimiter ended the word
    WM_ENTRY_CHOSEN = 0x8006,       // to main: wParam the offer's id, lParam EntryChosenParam
    WM_HIDE_PROMPT = 0x8007,        // to main: cancel the pending request, hide the prompt
    WM_PROMPT_PAGE = 0x800B,        // to the prompt window: wParam VK_PRIOR or VK_NEXT
    WM_PROMPT_LINE = 0x800D,        // to the prompt window: wParam VK_UP or VK_DOWN
    WM_PROMPT_QUERY = 0x800F,       // sent to main: wParam 0 = entries listed, 1 = alias before the caret
    WM_EXPAND_ALIAS = 0x8011,       // to main: expand the alias before the caret
    WM_HOOK_GETCARET = 0xA000,      // to a window of a target process: store its caret
    WM_HOOK_SPELLCHECK = 0xA003,    // to a window of a target process: spell-check it
    WM_HOOK_LATENCY_MARK = 0xA005,  // to a window, by the hook while the benchmark runs: wParam the LatencyStamp to take
    WM_HOOK_ACCEPT = 0xA006,        // to the focus window, by the program: a manual activation's row wParam is chosen
};

// The registered message by which the hook brings a typed character back to
// its window after the control has processed it.
#define DELAYED_KEY_DOWN_MESSAGE_NAME "Lexanto Delayed Key Down Message"

// Bits 25-28 of a WM_CHAR's lParam: set on the characters the program posts
// itself, which the hook does not treat as typing.
const unsigned long OWN_CHAR_MARK = 0x1E000000UL;

// A key chose a row of the offer (Offer.h): the row, the key's character,
// whether it chose as the completion key does, and whether the hook typed the
// entry (else the program types it).
inline long EntryChosenParam(int row, char last, bool keyDriven, bool typedByHook)
{
    return static_cast<long>((row & 0xFF) | static_cast<unsigned char>(last) << 8 | (keyDriven ? 1 : 0) << 16 |
                             (typedByHook ? 1 : 0) << 17);
}
inline int EntryChosenRow(long lParam) { return lParam & 0xFF; }
inline char EntryChosenChar(long lParam) { return static_cast<char>((lParam >> 8) & 0xFF); }
inline bool EntryChosenKeyDriven(long lParam) { return (lParam >> 16) & 1; }
inline bool EntryChosenTypedByHook(long lParam) { return (lParam >> 17) & 1; }

// How long the hook waits for the main window's answer to WM_PROMPT_QUERY.
const unsigned PROMPT_QUERY_TIMEOUT_MS = 3000;
