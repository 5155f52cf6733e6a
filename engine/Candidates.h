// The two ranked candidate lists that a search fills and the prompt shows,
// their ranking, and the small text routines around the prompt: the
// shorthand token and its argument list, the part of the typed text that a
// completion replaces, and the row labels.
//
// The lists hold at most PromptNum() entries, best first. They belong to the
// retrieving thread while it searches; a letter-bucket rebuild also uses them
// as work space.
#pragma once

#include <cstdint>

#include "CString.h"
#include "EngineSettings.h"
#include "LibRecords.h"
#include "wintypes.h"

extern WRecord_X g_WordCandidates[MAX_CANDIDATES];
extern int g_nLastWordCandidate;  // last filled entry, -1 when empty
extern SHRecord_X g_ShCandidates[MAX_CANDIDATES];
extern int g_nLastShCandidate;    // last filled entry, -1 when empty
extern int g_nResultKind;         // list of the next result report: 0 words, 1 shorthands
extern int64_t g_tNow;            // time of the current search; ranking uses its low 32 bits
extern BOOL g_bShArgsGiven;       // the typed shorthand carries "[...]" arguments

enum { RESULT_WORDS = 0, RESULT_SHORTHANDS = 1 };

// Empty candidates: no text, zero time and count.
void InitWordCandidate(WRecord_X &record);
void InitShCandidate(SHRecord_X &record);
// Empty the first PromptNum() entries of a list and mark it empty.
void ClearWordCandidates();
void ClearShCandidates();

// > 0 when a ranks above b, < 0 below, 0 equal.
int CompareWordRank(const WRecord_X &a, const WRecord_X &b, const CString &prefix);
int CompareShRank(const SHRecord_X &a, const SHRecord_X &b, const CString &token);

// Ranked insertion: the record goes directly below every listed candidate
// that it does not rank strictly above; the list keeps the best PromptNum().
// Words shorter than "MinPromptLen" are not taken.
void AddWordCandidate(const WRecord_X *rec, const CString &prefix);
void AddShCandidate(const SHRecord_X *rec, const CString &token);

// The shorthand token at the end of text (after the last white space or tag
// character, without a trailing "[...]"); with stopAtDelimiter also after
// the last character that is neither an identifier character nor a
// NonDelimiter one. Empty when 20 characters or longer.
CString GetShorthandToken(const CString &text, BOOL stopAtDelimiter);
// The argument list of a text ending in "[...]", without the brackets.
CString GetShorthandArgs(const CString &text);
// Length of text without a trailing "[...]" argument list: where a typed
// shorthand token ends.
int ShorthandTokenEnd(const CString &text);
// TRUE when text (without a trailing "[...]") ends with the shorthand tag
// followed by identifier characters, or with the tag itself.
BOOL EndsWithShorthandTrigger(const CString &text);
// The word-aligned tail of text that word begins with (ignoring case): the
// part of the typed text that the completion replaces. Empty when none.
CString GetMatchedPrefix(const CString &text, const CString &word);
// text from the start of its second word; empty when there is none.
CString DropFirstWord(const CString &text);
// A prompt row with its selection label: "1. text" ... "9. ", "0. ",
// "a. " ... "y. ", then "*. ".
CString FormatNumberedItem(const CString &text, int row);
