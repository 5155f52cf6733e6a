// The word cache: the words and phrases the user has typed or learned that
// are not in a library yet, kept in memory in library order, searched before
// the libraries and flushed into the user library when full or when asked.
// Also the operations that find, change and delete a word wherever it lives,
// addressing it by (library, record) with library 0 for the cache and n >= 1
// for word library n - 1; and the record moves and sort orders shared with
// the candidate lists and the shorthand libraries.
//
// Everything runs on the main thread, which alone changes the cache; the
// retrieving thread reads it under EngineGuard. The operations that change
// the cache or a library take EngineGuard themselves (never across a
// question or a flush), and a flush pauses the retrieving thread instead:
// call them without holding the guard.
#pragma once

#include <cstdint>

#include "CString.h"
#include "LibFile.h"
#include "LibRecords.h"
#include "wintypes.h"

enum {
    WORD_CACHE_SIZE = 2048,
    // A flush always keeps at least this many most recently used words.
    WORD_CACHE_RECENT_KEPT = 1024,
};

// Entries 0 .. g_nCacheCount - 1 are in use, in CompareWords order with the
// exact flag; a word occurs once byte for byte (Paris and paris are two).
extern WRecord_X g_WordCache[WORD_CACHE_SIZE];
extern int g_nCacheCount;
// Running use counter: every insertion and renewed use stamps it into the
// record's useSeq and then increments it.
extern int g_nCacheSeq;

// g_nCacheCount as the table may use it: 0 .. WORD_CACHE_SIZE.
inline int WordCacheCount()
{
    return g_nCacheCount < 0 ? 0 : (g_nCacheCount > WORD_CACHE_SIZE ? WORD_CACHE_SIZE : g_nCacheCount);
}

// Binary search; pos receives the word's position or its insertion point.
// Without exact, a word differing only in case counts as found when it is the
// first or last entry (the library search's rule).
BOOL FindInWordCache(const CString &word, int &pos, BOOL exact);
// Index range of the cached words that begin with prefix (letters in either
// case); a word equal to the prefix is left out unless space completes.
BOOL CachePrefixRange(const CString &prefix, int &first, int &last);
// Inserts the word (case normalised) at pos, a position just returned by
// FindInWordCache for it; a position that would break the order inserts
// nothing. The insertion that fills the last entry flushes the cache.
void AddToWordCache(CString word, int64_t time, int &pos, int count);
// Removes entry index; an index outside the cache changes nothing.
void DeleteFromWordCache(int index);
// Moves the words used often enough into target (NULL: none) and empties the
// cache (clearAll) or shrinks it to the share kept by percent: the 1024 most
// recently used words, then the most used of the rest. Always leaves at least
// one entry free.
void FlushWordCache(CLibFile *target, int percent, BOOL clearAll);
void FlushWordCacheToUserLib(BOOL clearAll);
// TRUE when the cache is in order.
BOOL CheckWordCache();

// 0: in the cache, n >= 1: in word library n - 1, -1: nowhere.
int FindWordRecord(const CString &word, int &pos);
// As FindWordRecord, retried with the normalised case form.
int FindWordRecordAnyCase(const CString &word, int &pos);
// The record at (lib, index); nullptr when there is none.
WRecord_X *GetWordRecord(int lib, int index);
// word's use count := other's use count + delta.
BOOL SetCountRelativeTo(const CString &word, const CString &other, int delta);
// Deletes the word from the cache, or else from the word libraries (after
// the user's confirmation for all but library 0). TRUE when deleted.
BOOL DeleteWordEverywhere(const CString &word);
// DeleteWordEverywhere for the word and for its normalised case form.
BOOL DeleteWordBothCases(const CString &word);

// Copy n consecutive records d places up (d > 0) or down (d < 0); the caller
// keeps both ranges inside the array.
void MoveWordRecords(WRecord_X *records, int n, int d);
void MoveShRecords(SHRecord_X *records, int n, int d);

// Sort orders, < 0 when a comes first.
int CompareWordRecords(const WRecord_X &a, const WRecord_X &b);  // library order
int CompareShRecords(const SHRecord_X &a, const SHRecord_X &b);  // name, then expansion
int CompareBySeqDesc(const WRecord_X &a, const WRecord_X &b);    // most recently used first
int CompareByCountDesc(const WRecord_X &a, const WRecord_X &b);  // most used first
