// What the prompt offers the keys typed in the application, published by the
// program in the shared section whenever the prompt's rows change, and read by
// the hook in the thread of the application the user types into.
//
// Why: a key that chooses an entry (the space bar as completion key, a digit,
// Enter after moving the selection, a function key, a delimiter ending a full
// shorthand) must be replaced by the entry exactly where it was typed. The
// hook therefore types the entry itself, in the application's own thread, as
// messages posted to the focus window: posted messages are taken before any
// later keyboard input, so the keys the user types next come after the entry,
// whatever the pace, and nothing is ever held for the program.
//
// The offer is current only while the text before the caret is the text the
// entries were made for, in the window they were made for, and no selection
// move is on its way to the prompt. A key meeting an offer that is not current
// is typed as it is.
//
// Layout of a published row: `body` is what is typed after the `erase`
// characters before the caret are removed, one WM_CHAR a byte
// (EncodePostedKeys). What follows the body depends on the key that chose the
// entry (AcceptTail). A row whose `length` is OFFER_PROGRAM_TYPES holds an
// entry that posting cannot type (cursor keys, Ctrl combinations, pauses, a
// text longer than the row): the program types it with real keys, as it does
// for windows other than edit controls.
#pragma once

#include <cstddef>

#include "CString.h"
#include "wintypes.h"

enum {
    OFFER_ROWS = 36,            // rows a page can list (digits, then letters after moving)
    OFFER_BODY = 600,           // bytes of a row's posted keys
    OFFER_APPEND_STR = 32,      // bytes of "AppendStr" kept for the tail
    OFFER_PROGRAM_TYPES = -1,   // row length: the program types this entry
};

// What follows an entry's text, by the key that chose it: the delimiter that
// triggered the completion, the spaces the settings ask for and "AppendStr".
struct AcceptTailRule {
    unsigned char shorthand;           // a shorthand entry
    unsigned char appendSpace;         // "AppendSpaceOnCompletion" and no "\ns"
    unsigned char delimiterCompletes;  // word: "AutoCompleteUponDelimiter"; shorthand: that or a full match
    unsigned char wholeWord;           // word: the entry is the typed text (ignoring case) and space completes
    unsigned char spaceAfterPunct;     // "SpaceAfterPunct"
    unsigned char doubleSpace;         // "DoubleSpace"
    char lastOfText;                   // the entry text's last character
    char appendStr[OFFER_APPEND_STR];  // "AppendStr" for a single-word entry, else empty
};

// The text that follows the entry when the key with character `last` chose
// it; keyDriven: chosen by the completion key, a digit or in the prompt.
CString AcceptTail(const AcceptTailRule &rule, char last, bool keyDriven);

// Trailing spaces of the text before the caret that a punctuation character
// typed after an automatic completion replaces: 2, 1 or 0.
int CountReplaceableSpaces(const CString &text);

struct OfferRow {
    int erase;   // Backspaces typed first
    int length;  // bytes of body, or OFFER_PROGRAM_TYPES
    AcceptTailRule tail;
    char body[OFFER_BODY];
};

struct SharedOffer {
    LONG seq;       // odd while the program writes
    LONG id;        // number of this publication
    HWND target;    // the window the entries were made for
    int rows;       // rows listed; 0: nothing offered
    int selected;   // the selected row
    char word[259]; // the text before the caret the entries were made for
    OfferRow row[OFFER_ROWS];
};

// One row of the offer as the hook reads it.
struct OfferChoice {
    LONG id = 0;
    int row = -1;
    HWND target = nullptr;
    char word[259] = "";
    OfferRow entry;
};

// The program's side: every change is one publication.
void BeginOfferWrite(SharedOffer &offer);
void EndOfferWrite(SharedOffer &offer);
// Nothing offered (the prompt was emptied or hidden).
void WithdrawOffer(SharedOffer &offer);

// The hook's side: copies the header and the chosen row (-1: the selected
// one; with one row listed, that row) consistently. False when nothing is
// listed, the row is not listed or the program kept writing.
bool ReadOfferRow(const SharedOffer &offer, int row, OfferChoice &out);
