// The searches of one completion request: word and phrase candidates from the
// word cache, the word libraries and the top words; shorthand candidates from
// the shorthand libraries. Both rank into the candidate lists.
#pragma once

#include <map>
#include <string>

#include "CString.h"
#include "wintypes.h"

// Prefix (lower case) to the word that always comes first for it.
extern std::map<std::string, CString> g_mapTopWords;

// Number of candidates, or a search signal code (-1 newer request, -2 quit,
// -3 pause).
int RetrieveWords(const CString &text, int id);
int RetrieveShorthands(const CString &text, int id);
BOOL SearchWordCache(const CString &prefix);

// One use of a shorthand: its count goes up (and its time, when asked) in the
// first shorthand library that holds it; that library's index + 1, -1 when
// none does, -2 for a name that can't be one.
int RecordShorthandUse(const CString &name, BOOL stampTime);

// Swaps words and shorthands for the next search and searches again.
void TogglePromptMode();

// Runs the request of the current id to its end, reporting through the
// thread's reporter. Returns the search signal that ended it early (-1 a
// newer request, -2 quit, -3 pause seen and handled), else 0; *generation
// receives the request generation it answered. Used by the retrieving thread.
int RunOneRequest(unsigned *generation = nullptr);
