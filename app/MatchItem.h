// One entry of the prompt, and how the entries of a request are collected
// from the retrieving thread's candidate lists. Portable.
#pragma once

#include <vector>

#include "CString.h"
#include "wintypes.h"

class CMatchItem {
public:
    CMatchItem() = default;
    explicit CMatchItem(const CString &text, const CString &key = CString()) : m_strText(text), m_strKey(key) {}

    // The text shown: "key=text" for a shorthand, the text for a word. Kept in
    // m_strDisplay as well.
    CString GetDisplayText();

    BOOL IsShorthand() const { return !m_strKey.IsEmpty(); }

    CString m_strText;     // inserted: the completion or expansion, in the case of the typed text
    CString m_strKey;      // the shorthand's name; empty for a word
    CString m_strDisplay;  // last result of GetDisplayText
};

// Appends to items at most n results of the last search from the list that
// kind names (0 words, 1 shorthands), given the typed text, so that items
// never holds more than promptNum entries. A count beyond the candidate lists
// is cut to them. Empty texts end the walk; texts already listed and words
// whose typed part cannot be found are skipped. Returns n as cut (the number
// of candidates looked at, which may be more than were appended).
int AppendCandidateItems(std::vector<CMatchItem> &items, int n, int kind, const CString &typed, int promptNum);
