#include "WordCache.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <utility>
#include <vector>

#include "CharClasses.h"
#include "EngineDiagnostics.h"
#include "EngineSettings.h"
#include "LibrarySet.h"
#include "RetrieveThread.h"
#include "SharedSection.h"
#include "TextHelpers.h"
#include "UserMessage.h"

WRecord_X g_WordCache[WORD_CACHE_SIZE];
int g_nCacheCount = 0;
int g_nCacheSeq = 0;

namespace {
template <class Record>
void MoveRecords(Record *records, int n, int d)
{
    if (!records || n <= 0 || d == 0)
        return;
    // Copy from the end that the move leaves first, so overlapping ranges
    // are not overwritten before they are read.
    if (d > 0) {
        for (int i = n - 1; i >= 0; --i)
            records[i + d] = records[i];
    } else {
        for (int i = 0; i < n; ++i)
            records[i + d] = records[i];
    }
}

template <class Compare>
void SortCache(int first, int end, Compare compare)
{
    // Stable, so that equal keys keep the order of the previous sort (among
    // equally used words the more recent ones survive a flush).
    std::stable_sort(g_WordCache + first, g_WordCache + end,
                     [compare](const WRecord_X &a, const WRecord_X &b) { return compare(a, b) < 0; });
}

int ThreeWay(int a, int b) { return (a > b) - (a < b); }

// Cache entries a flush moves into a library: words and phrases each by
// their own threshold, counts compared unsigned.
bool QualifiesForLibrary(const WRecord_X &record)
{
    const int threshold = HasNonWordChar(record.word) ? g_nMinPhraseAddCount : g_nMinWordAddCount;
    return static_cast<unsigned>(record.useCount) >= static_cast<unsigned>(threshold);
}

// Entries a flush keeps, out of the full table; at least one entry is always
// left free so that the next insertion has room.
int KeptAfterFlush(int percent)
{
    const double keep = (1.0 - percent / 100.0) * static_cast<double>(WORD_CACHE_SIZE);
    if (keep <= 0.0)
        return 0;
    if (keep >= static_cast<double>(WORD_CACHE_SIZE - 1))
        return WORD_CACHE_SIZE - 1;
    return static_cast<int>(keep);
}

// Moves the qualifying entries of the first n into target's word table in
// one merge pass and closes up the rest; returns how many left the cache.
int MoveQualifyingWords(CLibFile *target, int n)
{
    std::vector<WRecord_X> *table = target && !target->IsShorthandLib() ? &target->m_WordTable : nullptr;
    const size_t t = table ? table->size() : 0;
    // Copies of the words to add, each with the table index it goes in
    // front of, in cache order (the close-up below may overwrite the rows).
    std::vector<std::pair<WRecord_X, size_t>> inserts;
    size_t j = 0;
    int moved = 0;
    for (int k = 0; k < n; ++k) {
        const WRecord_X &entry = g_WordCache[k];
        if (table && QualifiesForLibrary(entry)) {
            while (j < t && CompareWords(entry.word, (*table)[j].word, TRUE) >= 0)
                ++j;
            // j is the first record after the word: a byte-equal record can
            // only stand just before it.
            if (j == 0 || (*table)[j - 1].word != entry.word)
                inserts.emplace_back(entry, j);
            ++moved;
        } else if (moved > 0) {
            g_WordCache[k - moved] = entry;
        }
    }
    if (moved == 0)
        return 0;
    if (!inserts.empty()) {
        std::vector<WRecord_X> merged;
        merged.reserve(t + inserts.size());
        size_t from = 0;
        for (auto &insert : inserts) {
            for (; from < insert.second; ++from)
                merged.push_back(std::move((*table)[from]));
            merged.push_back(std::move(insert.first));
        }
        for (; from < t; ++from)
            merged.push_back(std::move((*table)[from]));
        table->swap(merged);
        target->RefreshSearchIndex();
    }
    target->m_bDirty = TRUE;
    return moved;
}
}  // namespace

BOOL FindInWordCache(const CString &word, int &pos, BOOL exact)
{
    const int n = WordCacheCount();
    const WRecord_X *w = g_WordCache;
    if (n == 0) {
        pos = 0;
        return FALSE;
    }
    int c = CompareWords(word, w[n - 1].word, exact);
    if (c >= 0) {
        pos = c == 0 ? n - 1 : n;
        return c == 0;
    }
    c = CompareWords(word, w[0].word, exact);
    if (c <= 0) {
        pos = 0;
        return c == 0;
    }
    int lo = 0, hi = n - 1;
    while (lo + 1 < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareWords(w[mid].word, word, exact) < 0)
            lo = mid;
        else
            hi = mid;
    }
    if (exact) {
        for (int i = hi; i < n && AsciiCompareNoCase(w[i].word, word) == 0; ++i)
            if (w[i].word == word) {
                pos = i;
                return TRUE;
            }
    }
    pos = hi;
    return w[hi].word == word;
}

BOOL CachePrefixRange(const CString &prefix, int &first, int &last)
{
    const int n = WordCacheCount();
    last = -1;
    FindInWordCache(prefix, first, FALSE);
    for (;;) {
        if (first < 0 || first > n - 1)
            return FALSE;
        const int d = CheckPrefixMatch(g_WordCache[first].word, prefix);
        if (d == 0)
            return FALSE;
        // A word that is exactly the typed prefix is not offered, unless
        // the space bar completes.
        if (d == 1 || CompWordKey == 32)
            break;
        ++first;
    }
    // The words that begin with prefix follow each other from first on; the
    // last of them is the last entry that still matches. Searched by that
    // test rather than by a key sorting after the prefix, which has no
    // exact form for every last character ('@' is followed by '[' once
    // letters are folded) nor for letters outside ASCII.
    int lo = first, hi = n;  // lo matches, hi does not (n: past the end)
    for (int step = 1; lo + step < n; step *= 2) {  // galloping: the run is mostly short
        if (CheckPrefixMatch(g_WordCache[lo + step].word, prefix) == 0) {
            hi = lo + step;
            break;
        }
        lo += step;
    }
    while (lo + 1 < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CheckPrefixMatch(g_WordCache[mid].word, prefix) != 0)
            lo = mid;
        else
            hi = mid;
    }
    last = lo;
    return first <= last;
}

void AddToWordCache(CString word, int64_t time, int &pos, int count)
{
    NormalizeWordCase(word);
    {
        std::lock_guard<std::mutex> hold(EngineGuard());
        const int n = WordCacheCount();
        if (n >= WORD_CACHE_SIZE || pos < 0 || pos > n)
            return;
        // The word must fit between its neighbours and not be there already.
        if (pos < n && CompareWords(word, g_WordCache[pos].word, TRUE) >= 0)
            return;
        if (pos > 0 && CompareWords(word, g_WordCache[pos - 1].word, TRUE) <= 0)
            return;
        MoveWordRecords(g_WordCache + pos, n - pos, 1);
        WRecord_X &entry = g_WordCache[pos];
        entry.word = word;
        entry.lastUsed = static_cast<int>(static_cast<uint32_t>(time));
        entry.useCount = count;
        entry.memoOffset = 0;
        entry.useSeq = g_nCacheSeq++;
        g_nCacheCount = n + 1;
    }
    if (g_nCacheCount >= WORD_CACHE_SIZE)
        FlushWordCacheToUserLib(FALSE);
}

void DeleteFromWordCache(int index)
{
    std::lock_guard<std::mutex> hold(EngineGuard());
    const int n = WordCacheCount();
    if (index < 0 || index >= n)
        return;
    MoveWordRecords(g_WordCache + index + 1, n - 1 - index, -1);
    g_nCacheCount = n - 1;
}

void FlushWordCache(CLibFile *target, int percent, BOOL clearAll)
{
    const int n = WordCacheCount();
    if (n == 0)
        return;
    PauseRetrieveThread(TRUE);
    const int moved = MoveQualifyingWords(target, n);
    if (clearAll) {
        g_nCacheCount = 0;
        PauseRetrieveThread(FALSE);
        return;
    }
    int count = n - moved;
    const int keep = KeptAfterFlush(percent);
    if (count > keep) {
        SortCache(0, count, CompareBySeqDesc);
        if (count > WORD_CACHE_RECENT_KEPT)
            SortCache(WORD_CACHE_RECENT_KEPT, count, CompareByCountDesc);
        count = keep;
        SortCache(0, count, CompareWordRecords);
    }
    g_nCacheCount = count;
    PauseRetrieveThread(FALSE);
}

void FlushWordCacheToUserLib(BOOL clearAll) { FlushWordCache(g_pUserLib, g_nFlushPercentage, clearAll); }

BOOL CheckWordCache()
{
    const int n = WordCacheCount();
    for (int i = 0; i + 1 < n; ++i) {
        if (CompareWords(g_WordCache[i].word, g_WordCache[i + 1].word, TRUE) > 0) {
            CString text;
            text.Format("Cache corrupted at %s", g_WordCache[i].word.GetString());
            EngineTrace(text);
            return FALSE;
        }
    }
    EngineTrace("Cache is in good status");
    return TRUE;
}

int FindWordRecord(const CString &word, int &pos)
{
    if (g_bLearnWord && FindInWordCache(word, pos, FALSE))
        return 0;
    for (int i = 0; i < WordLibCount(); ++i)
        if (g_WordLibs[i].FindRecord(word, pos, FALSE))
            return i + 1;
    return -1;
}

int FindWordRecordAnyCase(const CString &word, int &pos)
{
    const int found = FindWordRecord(word, pos);
    if (found >= 0)
        return found;
    CString normalized = word;
    NormalizeWordCase(normalized);
    return normalized != word ? FindWordRecord(normalized, pos) : found;
}

WRecord_X *GetWordRecord(int lib, int index)
{
    if (index < 0)
        return nullptr;
    if (lib == 0)
        return index < WordCacheCount() ? &g_WordCache[index] : nullptr;
    if (lib < 1 || lib > WordLibCount())
        return nullptr;
    std::vector<WRecord_X> &table = g_WordLibs[lib - 1].m_WordTable;
    return static_cast<size_t>(index) < table.size() ? &table[static_cast<size_t>(index)] : nullptr;
}

BOOL SetCountRelativeTo(const CString &word, const CString &other, int delta)
{
    int posA = 0, posB = 0;
    const int a = FindWordRecordAnyCase(word, posA);
    if (a < 0)
        return FALSE;
    const int b = FindWordRecordAnyCase(other, posB);
    if (b < 0)
        return FALSE;
    std::lock_guard<std::mutex> hold(EngineGuard());
    WRecord_X *target = GetWordRecord(a, posA);
    const WRecord_X *reference = GetWordRecord(b, posB);
    if (!target || !reference)
        return FALSE;
    const long long count = static_cast<long long>(reference->useCount) + delta;
    target->useCount = static_cast<int>(std::min<long long>(std::max<long long>(count, INT_MIN), INT_MAX));
    if (a > 0) {
        CLibFile &library = g_WordLibs[a - 1];
        library.m_bDirty = TRUE;
        if (!word.IsEmpty() && IsAsciiLetter(static_cast<unsigned char>(word[0])))
            library.BuildLetterBucket(word[0]);
    }
    return TRUE;
}

BOOL DeleteWordEverywhere(const CString &word)
{
    if (word.IsEmpty())
        return FALSE;
    int pos = 0;
    if (FindInWordCache(word, pos, TRUE)) {
        DeleteFromWordCache(pos);
        return TRUE;
    }
    BOOL deleted = FALSE;
    for (int i = 0; i < WordLibCount(); ++i) {
        CLibFile &library = g_WordLibs[i];
        if (!library.FindRecord(word, pos, TRUE))
            continue;
        // The user library goes without asking; any other library is the
        // user's own choice.
        if (i > 0) {
            const CString question =
                "This word/phrase exists in " + library.GetLibName() + ".lib\n" + "Do you wish to delete it?";
            if (!AskOkCancel(question))
                continue;
        }
        std::lock_guard<std::mutex> hold(EngineGuard());
        library.DeleteRecord(pos);
        deleted = TRUE;
    }
    return deleted;
}

BOOL DeleteWordBothCases(const CString &word)
{
    const BOOL a = DeleteWordEverywhere(word);
    CString normalized = word;
    NormalizeWordCase(normalized);
    const BOOL b = normalized != word ? DeleteWordEverywhere(normalized) : FALSE;
    return a || b;
}

void MoveWordRecords(WRecord_X *records, int n, int d) { MoveRecords(records, n, d); }

void MoveShRecords(SHRecord_X *records, int n, int d) { MoveRecords(records, n, d); }

int CompareWordRecords(const WRecord_X &a, const WRecord_X &b) { return CompareWords(a.word, b.word, TRUE); }

int CompareShRecords(const SHRecord_X &a, const SHRecord_X &b)
{
    const int byName = CompareWords(a.name, b.name, TRUE);
    return byName != 0 ? byName : CompareWords(a.expansion, b.expansion, TRUE);
}

int CompareBySeqDesc(const WRecord_X &a, const WRecord_X &b) { return ThreeWay(b.useSeq, a.useSeq); }

int CompareByCountDesc(const WRecord_X &a, const WRecord_X &b) { return ThreeWay(b.useCount, a.useCount); }
