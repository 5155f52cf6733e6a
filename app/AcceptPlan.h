// What accepting a prompt entry types: the text built from the entry (codes,
// case, shorthand parameters, spacing rules), how many typed characters it
// replaces, and what the typed word becomes. No window or keyboard calls:
// the main window carries the plan out.
#pragma once

#include "CString.h"
#include "Offer.h"
#include "wintypes.h"

struct AcceptInput {
    CString itemText;   // the entry's text as stored
    CString itemKey;    // its shorthand name; empty for a word entry
    CString typed;      // the text before the caret of the request
    char lastChar = 0;  // the character of the key that chose the entry
    BOOL keyDriven = FALSE;  // chosen by the completion key, a digit or in the prompt
    BOOL wordProcessor = FALSE;  // the target is the word processor
    BOOL appendSpace = FALSE;    // "AppendSpaceOnCompletion"
    CString appendStr;           // "AppendStr"
    BOOL fullShMatch = FALSE;    // the typed token is a whole shorthand name
    BOOL autoCompleteUponDelimiter = FALSE;
    UINT compWordKey = 0;        // the completion key (hook key form)
};

struct AcceptPlan {
    bool insert = false;      // false: an empty entry, nothing happens
    bool shorthand = false;
    CString text;             // the entry's text after the codes (word entries)
    CString body;             // what is typed for the entry whatever key chose it
    AcceptTailRule tail = {}; // what follows the body, by the key that chose it
    CString toType;           // typed after the Backspaces: body + AcceptTail(tail, lastChar, keyDriven)
    int erase = 0;            // Backspaces sent first
    bool caseDiffers = false; // word entry: the typed prefix is replaced
    bool learn = false;       // word entry: learn text as used
    CString newCurrentWord;   // what the text before the caret becomes
};

AcceptPlan PlanAcceptedEntry(const AcceptInput &in);

// The offer row of an entry, for the hook to type when a key chooses it:
// the plan's Backspaces and body as posted keys, and its tail rule. The
// program types what posting cannot (OFFER_PROGRAM_TYPES). A plan that
// inserts nothing gives a row that types nothing.
OfferRow MakeOfferRow(const AcceptPlan &plan);

// The text holds a cursor or editing key token.
BOOL HasKeyCodes(const CString &text);

// The run of word characters that ends the text (the alias to expand);
// empty when the text ends with another character.
CString GetTrailingAlias(const CString &text);
