#include "Candidates.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>

#include "CharClasses.h"
#include "SharedSection.h"
#include "TextHelpers.h"

WRecord_X g_WordCandidates[MAX_CANDIDATES];
int g_nLastWordCandidate = -1;
SHRecord_X g_ShCandidates[MAX_CANDIDATES];
int g_nLastShCandidate = -1;
int g_nResultKind = RESULT_WORDS;
int64_t g_tNow = 0;
BOOL g_bShArgsGiven = FALSE;

namespace {

inline int Sign(int64_t v) { return (v > 0) - (v < 0); }

// Each step of the ranking formula is rounded to single precision, also
// where the compiler would keep wider intermediates (x87 on i686), so both
// builds order candidates alike.
inline float ToSingle(float v)
{
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
    volatile float stored = v;
    return stored;
#else
    return v;
#endif
}

// Seconds since a record's last use. Times are the low 32 bits of the clock,
// so the difference is taken modulo 2^32 and read as signed: it stays right
// across the wrap of the 32-bit clock, and a time a little ahead of the
// clock gives a small negative age instead of overflowing.
inline int32_t AgeOf(int time)
{
    const uint32_t now = static_cast<uint32_t>(static_cast<uint64_t>(g_tNow));
    return static_cast<int32_t>(now - static_cast<uint32_t>(time));
}

// Step 2 of both comparators. countOrder is the sign of countA - countB in
// the record type's own signedness, countA/countB the counts as floats.
int CompareByUse(int countOrder, float countA, float countB, int timeA, int timeB)
{
    const float f = g_fFreqVsTime;
    if (f == -1.0f)
        return countOrder;
    const int32_t ageA = AgeOf(timeA);
    const int32_t ageB = AgeOf(timeB);
    if (f == 0.0f)
        return Sign(static_cast<int64_t>(ageB) - static_cast<int64_t>(ageA));
    // A record used in the current second is taken as one second old:
    // an age of 0 would score every such record infinite (after an import or
    // a burst of learning all of them), and their counts would no longer
    // order them.
    const float scoredAgeA = static_cast<float>(std::max<int32_t>(ageA, 1));
    const float scoredAgeB = static_cast<float>(std::max<int32_t>(ageB, 1));
    // Zero counts divide by zero on purpose: infinities order correctly, and
    // a NaN never ranks a record up.
    const float r = ToSingle(countA / countB);
    const float p = ToSingle(std::pow(r, f));
    const float q = ToSingle(p / scoredAgeA);
    const float x = ToSingle(ToSingle(q * scoredAgeB) - 1.0f);
    if (std::isnan(x))
        return -1;
    return FloatSign(x);
}

// GetMatchLevel without its two lower-case copies in the common case: case
// folding keeps the length, so texts of different lengths never match.
int MatchLevel(const CString &word, const CString &prefix)
{
    if (word.GetLength() != prefix.GetLength())
        return 0;
    if (word == prefix)
        return 2;
    return GetMatchLevel(word, prefix);
}

// levelA is MatchLevel(a.word, prefix), computed once per insertion.
int CompareWordRankAt(const WRecord_X &a, int levelA, const WRecord_X &b, const CString &prefix)
{
    const int levelB = MatchLevel(b.word, prefix);
    if (levelA != levelB)
        return levelA - levelB;
    const uint32_t countA = static_cast<uint32_t>(a.useCount);
    const uint32_t countB = static_cast<uint32_t>(b.useCount);
    const int byUse = CompareByUse((countA > countB) - (countA < countB), static_cast<float>(countA),
                                   static_cast<float>(countB), a.lastUsed, b.lastUsed);
    if (byUse != 0)
        return byUse;
    return CompareWords(a.word, b.word, TRUE);
}

// A shorthand name as a terminated string even if a damaged record filled
// the whole field.
struct NameText {
    char text[SH_NAME_SIZE + 1];
    explicit NameText(const char (&name)[SH_NAME_SIZE])
    {
        std::memcpy(text, name, SH_NAME_SIZE);
        text[SH_NAME_SIZE] = 0;
    }
};

int TokenOrder(const SHRecord_X &record, const CString &token)
{
    return Sign(AsciiCompareNoCase(NameText(record.name).text, token));
}

// orderA is TokenOrder(a, token), computed once per insertion.
int CompareShRankAt(const SHRecord_X &a, int orderA, const SHRecord_X &b, const CString &token)
{
    const int orderB = TokenOrder(b, token);
    if (orderA * orderB == 0 && orderA + orderB > 0)
        return orderB - orderA;
    const int countA = a.useCount;
    const int countB = b.useCount;
    const int byUse = CompareByUse((countA > countB) - (countA < countB), static_cast<float>(countA),
                                   static_cast<float>(countB), a.lastUsed, b.lastUsed);
    if (byUse != 0)
        return byUse;
    const int byName = CompareWords(NameText(a.name).text, NameText(b.name).text, TRUE);
    if (byName != 0)
        return byName;
    return CompareWords(a.expansion, b.expansion, TRUE);
}

// The ranked insertion shared by both lists; ranksAbove(listed) tells
// whether the new record ranks strictly above a listed entry.
template <typename Record, typename Compare>
void InsertRanked(Record *list, int &lastIndex, const Record &rec, Compare ranksAbove)
{
    const int capacity = PromptNum();
    // A count left by a larger PromptNum, or damaged, never reaches past
    // the capacity.
    const int last = std::min(std::max(lastIndex, -1), capacity - 1);
    int i = last;
    while (i >= 0 && ranksAbove(list[i]))
        --i;
    if (i == last && last == capacity - 1) {
        lastIndex = last;
        return;
    }
    // The record may be an entry of this very list: copy it before the
    // entries move.
    const std::less<const Record *> before;
    const bool inList = !before(&rec, list) && before(&rec, list + MAX_CANDIDATES);
    Record aliasCopy;
    const Record *source = &rec;
    if (inList) {
        aliasCopy = rec;
        source = &aliasCopy;
    }
    // The entry that drops out (or the free one) is rotated into place, so a
    // full list reuses its text buffer instead of allocating.
    const int top = last < capacity - 1 ? last + 1 : last;
    std::rotate(list + i + 1, list + top, list + top + 1);
    list[i + 1] = *source;
    lastIndex = top;
}

bool InNonDelimiter(char c)
{
    if (c == 0)
        return false;
    const size_t length = SharedStringLength(NonDelimiter);
    return std::memchr(NonDelimiter, c, length) != nullptr;
}

// Start of the word after the one at pos: its word characters, then the
// non-word characters after them are skipped.
int NextWordStart(const CString &text, int pos)
{
    const int length = text.GetLength();
    while (pos < length && IsWordChar(text[pos], TRUE))
        ++pos;
    while (pos < length && !IsWordChar(text[pos], TRUE))
        ++pos;
    return pos;
}

}  // namespace

int ShorthandTokenEnd(const CString &text)
{
    const int length = text.GetLength();
    if (length > 0 && text[length - 1] == ']') {
        const int open = text.ReverseFind('[');
        if (open >= 0)
            return open;
    }
    return length;
}


void InitWordCandidate(WRecord_X &record)
{
    record.word.Empty();
    record.useSeq = 0;
    record.memoOffset = 0;
    record.lastUsed = 0;
    record.useCount = 0;
}

void InitShCandidate(SHRecord_X &record)
{
    record.expansion.Empty();
    std::memset(record.name, 0, sizeof(record.name));
    record.memoOffset = 0;
    record.lastUsed = 0;
    record.useCount = 0;
}

void ClearWordCandidates()
{
    const int count = PromptNum();
    for (int i = 0; i < count; ++i)
        InitWordCandidate(g_WordCandidates[i]);
    g_nLastWordCandidate = -1;
}

void ClearShCandidates()
{
    const int count = PromptNum();
    for (int i = 0; i < count; ++i)
        InitShCandidate(g_ShCandidates[i]);
    g_nLastShCandidate = -1;
}

int CompareWordRank(const WRecord_X &a, const WRecord_X &b, const CString &prefix)
{
    return CompareWordRankAt(a, MatchLevel(a.word, prefix), b, prefix);
}

int CompareShRank(const SHRecord_X &a, const SHRecord_X &b, const CString &token)
{
    return CompareShRankAt(a, TokenOrder(a, token), b, token);
}

void AddWordCandidate(const WRecord_X *rec, const CString &prefix)
{
    if (!rec)
        return;
    // Unsigned, as the setting is read: a negative "MinPromptLen" admits nothing.
    if (static_cast<unsigned>(rec->word.GetLength()) < static_cast<unsigned>(g_nMinPromptLen))
        return;
    const int level = MatchLevel(rec->word, prefix);
    InsertRanked(g_WordCandidates, g_nLastWordCandidate, *rec, [&](const WRecord_X &listed) {
        return CompareWordRankAt(*rec, level, listed, prefix) > 0;
    });
}

void AddShCandidate(const SHRecord_X *rec, const CString &token)
{
    if (!rec)
        return;
    const int order = TokenOrder(*rec, token);
    InsertRanked(g_ShCandidates, g_nLastShCandidate, *rec, [&](const SHRecord_X &listed) {
        return CompareShRankAt(*rec, order, listed, token) > 0;
    });
}

CString GetShorthandToken(const CString &text, BOOL stopAtDelimiter)
{
    const int end = ShorthandTokenEnd(text);
    int start = end;
    while (start > 0) {
        const char c = text[start - 1];
        if (IsSpaceChar(c) || c == g_chShorthandTag)
            break;
        if (stopAtDelimiter && !IsIdentChar(c) && !InNonDelimiter(c))
            break;
        --start;
    }
    if (end - start >= SH_NAME_SIZE)
        return CString();
    return text.Mid(start, end - start);
}

CString GetShorthandArgs(const CString &text)
{
    const int end = ShorthandTokenEnd(text);
    if (end == text.GetLength())
        return CString();
    return text.Mid(end + 1, text.GetLength() - end - 2);
}

BOOL EndsWithShorthandTrigger(const CString &text)
{
    for (int i = ShorthandTokenEnd(text) - 1; i >= 0; --i) {
        const char c = text[i];
        if (c == g_chShorthandTag)
            return TRUE;
        if (!IsIdentChar(c))
            return FALSE;
    }
    return FALSE;
}

CString GetMatchedPrefix(const CString &text, const CString &word)
{
    if (text.IsEmpty() || word.IsEmpty())
        return CString();
    for (int pos = 0; pos < text.GetLength(); pos = NextWordStart(text, pos))
        if (StartsWith(word, text.GetString() + pos, false))
            return text.Mid(pos);
    return CString();
}

CString DropFirstWord(const CString &text) { return text.Mid(NextWordStart(text, 0)); }

CString FormatNumberedItem(const CString &text, int row)
{
    char label = '*';
    if (row >= 0 && row <= 8)
        label = static_cast<char>('1' + row);
    else if (row == 9)
        label = '0';
    else if (row >= 10 && row <= 34)
        label = static_cast<char>('a' + (row - 10));
    CString result(label);
    result += ". ";
    result += text;
    return result;
}
