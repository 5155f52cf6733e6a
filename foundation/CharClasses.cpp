#include "CharClasses.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "BusyFeedback.h"
#include "PathText.h"
#include "SettingValues.h"
#include "SharedSection.h"
#include "TextHelpers.h"

namespace {

inline int LowByte(int c) { return c & 0xFF; }

// ASCII-only letter and case tests, the C locale's isalpha/islower/isupper:
// bytes >= 0x80 are never letters here, whatever the host's locale.
inline bool IsLower(int c)
{
    c = LowByte(c);
    return c >= 'a' && c <= 'z';
}

inline bool IsUpper(int c)
{
    c = LowByte(c);
    return c >= 'A' && c <= 'Z';
}

inline bool IsWhite(int c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// NonDelimiter may be rewritten by another process at any moment: read it
// only up to its array bound, and never count its terminator as a member.
bool InNonDelimiter(int c)
{
    if (c == 0)
        return false;
    const size_t length = SharedStringLength(NonDelimiter);
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(NonDelimiter[i]) == c)
            return true;
    return false;
}

bool InConcatenators(int c)
{
    if (c == 0)
        return false;
    const CString &set = g_strWordConcatenators;
    for (int i = 0; i < set.GetLength(); ++i)
        if (static_cast<unsigned char>(set[i]) == c)
            return true;
    return false;
}

inline bool IsSentenceEnd(char c) { return c == '?' || c == '.' || c == '!'; }

inline int Sign(int v) { return (v > 0) - (v < 0); }

// A piece of a text being sorted: a line without its break (nor the CR of a
// CR LF), or a line break.
struct Slice {
    const char *text;
    size_t length;
};

int CompareLines(Slice a, Slice b, int options)
{
    if (options & SORTLINES_SKIP_LEADING_SPACE) {
        while (a.length && IsWhite(*a.text))
            ++a.text, --a.length;
        while (b.length && IsWhite(*b.text))
            ++b.text, --b.length;
    }
    const bool ignoreCase = (options & SORTLINES_IGNORE_CASE) != 0;
    int result = 0;
    const size_t common = std::min(a.length, b.length);
    for (size_t i = 0; i < common && result == 0; ++i) {
        int ca = static_cast<unsigned char>(a.text[i]);
        int cb = static_cast<unsigned char>(b.text[i]);
        if (ignoreCase) {
            ca = static_cast<unsigned char>(AsciiToLower(static_cast<char>(ca)));
            cb = static_cast<unsigned char>(AsciiToLower(static_cast<char>(cb)));
        }
        result = Sign(ca - cb);
    }
    if (result == 0)
        result = (a.length > b.length) - (a.length < b.length);
    return (options & SORTLINES_DESCENDING) ? -result : result;
}

}  // namespace

// ---------------------------------------------------------------------------
// Character classes

BOOL IsLatin1Letter(int c)
{
    c = LowByte(c);
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

BOOL IsWordChar(int c, BOOL latin1)
{
    c = LowByte(c);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return TRUE;
    if (latin1 && IsLatin1Letter(c))
        return TRUE;
    return InNonDelimiter(c);
}

BOOL IsPrintableChar(int c, BOOL latin1)
{
    c = LowByte(c);
    if (c == 9 || c == 10 || c == 13 || (c >= 32 && c <= 126))
        return TRUE;
    return latin1 && IsLatin1Letter(c);
}

BOOL IsDelimiterChar(int c) { return IsPrintableChar(c, TRUE) && !IsWordChar(c, TRUE); }

BOOL IsIdentCharEx(int c, BOOL latin1) { return IsIdentChar(c) || (latin1 && IsLatin1Letter(c)); }

BOOL IsAddressChar(int c)
{
    c = LowByte(c);
    return IsIdentCharEx(c, FALSE) || c == '.' || c == '@';
}

BOOL IsWordOrConcatChar(int c) { return IsWordChar(c, TRUE) || InConcatenators(LowByte(c)); }

// ---------------------------------------------------------------------------
// Text tests

BOOL IsPrintableText(const CString &text, BOOL latin1)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (!IsPrintableChar(text[i], latin1))
            return FALSE;
    return TRUE;
}

BOOL IsNumberText(const CString &text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (!IsDigitChar(c) && !IsWhite(c) && c != ',')
            return FALSE;
    }
    return TRUE;
}

BOOL IsLetterWord(const char *text)
{
    for (const char *p = text ? text : ""; *p; ++p)
        if (!IsAsciiLetter(*p) && !IsLatin1Letter(*p) && !InConcatenators(static_cast<unsigned char>(*p)))
            return FALSE;
    return TRUE;
}

BOOL EndsWithDelimiter(const char *text)
{
    if (!text || !*text)
        return FALSE;
    return IsDelimiterChar(text[std::strlen(text) - 1]);
}

BOOL HasNonWordChar(const CString &text)
{
    if (IsEmailAddress(text) || IsDomainName(text))
        return FALSE;
    for (int i = 0; i < text.GetLength(); ++i)
        if (!IsWordChar(text[i], TRUE))
            return TRUE;
    return FALSE;
}

int CountWords(const char *text)
{
    int count = 0;
    bool inWord = false;
    for (const char *p = text ? text : ""; *p; ++p) {
        const bool word = IsWordChar(*p, TRUE) != FALSE;
        if (word && !inWord)
            ++count;
        inWord = word;
    }
    return count;
}

BOOL IsUpperCaseText(const char *text)
{
    for (const char *p = text ? text : ""; *p; ++p)
        if (IsLower(*p))
            return FALSE;
    return TRUE;
}

BOOL IsLowerCaseText(const char *text)
{
    for (const char *p = text ? text : ""; *p; ++p)
        if (IsUpper(*p))
            return FALSE;
    return TRUE;
}

BOOL IsCapitalizedWord(const CString &word)
{
    if (word.GetLength() < 2 || IsLowerCaseText(word) || IsUpperCaseText(word))
        return FALSE;
    for (int i = 1; i < word.GetLength(); ++i)
        if (IsUpper(word[i]))
            return TRUE;
    return FALSE;
}

BOOL IsBlankText(const CString &text)
{
    CString trimmed(text);
    return trimmed.Trim().IsEmpty();
}

// ---------------------------------------------------------------------------
// Comparisons

int CompareWords(const char *a, const char *b, BOOL exact)
{
    if (!a)
        a = "";
    if (!b)
        b = "";
    const int folded = Sign(AsciiCompareNoCase(a, b));
    if (folded != 0 || !exact)
        return folded;
    // strcmp compares as unsigned char, so bytes >= 0x80 sort after ASCII.
    return Sign(std::strcmp(a, b));
}

int CheckPrefixMatch(const char *word, const char *prefix)
{
    if (!word)
        word = "";
    if (!prefix)
        prefix = "";
    size_t i = 0;
    for (; prefix[i]; ++i) {
        const char w = word[i];  // stops at word's terminator: it matches no prefix byte
        if (w != prefix[i] && AsciiToLower(w) != AsciiToLower(prefix[i]))
            return 0;
    }
    return word[i] ? 1 : 2;
}

int GetMatchLevel(const CString &a, const CString &b)
{
    if (a == b)
        return 2;
    CString lowerA(a), lowerB(b);
    return lowerA.MakeLower() == lowerB.MakeLower() ? 1 : 0;
}

int FloatSign(float x)
{
    if (x > 0.0001f)
        return 1;
    if (x < -0.0001f)
        return -1;
    return 0;
}

int IntSign(int x) { return Sign(x); }

// ---------------------------------------------------------------------------
// Transforms

char ToUpperAscii(char c) { return AsciiToUpper(c); }

void NormalizeWordCase(CString &word)
{
    if (word.GetLength() > 1) {
        if (IsLower(word[0]))
            return;
        bool upper = false, lower = false;
        for (int i = 1; i < word.GetLength(); ++i) {
            upper = upper || IsUpper(word[i]);
            lower = lower || IsLower(word[i]);
        }
        if (upper && lower)
            return;
    }
    word.MakeLower();
}

void CapitalizeWords(char *text)
{
    if (!text)
        return;
    for (size_t i = 0; text[i]; ++i)
        if (IsIdentCharEx(text[i], TRUE) && (i == 0 || !IsWordChar(text[i - 1], TRUE)))
            text[i] = AsciiToUpper(text[i]);
}

void CapitalizeSentences(char *text)
{
    if (!text)
        return;
    bool sentenceStart = true;
    for (size_t i = 0; text[i]; ++i) {
        const char c = text[i];
        if (i > 0 && (c == '\n' || (IsSentenceEnd(text[i - 1]) && IsWhite(c)))) {
            sentenceStart = true;
        } else if (sentenceStart && IsIdentCharEx(c, TRUE)) {
            text[i] = AsciiToUpper(c);
            sentenceStart = false;
        }
    }
}

void SortLines(char *text, int options)
{
    if (!text)
        return;
    const size_t length = std::strlen(text);

    // Lines and the breaks after them. A text that ends with a break has no
    // line after it, so that break stays at the end.
    std::vector<Slice> lines;
    std::vector<Slice> breaks;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\n')
            continue;
        const size_t breakStart = (i > start && text[i - 1] == '\r') ? i - 1 : i;
        lines.push_back({text + start, breakStart - start});
        breaks.push_back({text + breakStart, i + 1 - breakStart});
        start = i + 1;
    }
    if (start < length || lines.empty())
        lines.push_back({text + start, length - start});

    ShowWaitCursor(TRUE);
    SetWaitMessage("Sorting lines...");
    std::sort(lines.begin(), lines.end(),
              [options](const Slice &a, const Slice &b) { return CompareLines(a, b, options) < 0; });
    ShowWaitCursor(FALSE);

    std::string sorted;
    sorted.reserve(length);
    for (size_t i = 0; i < lines.size(); ++i) {
        sorted.append(lines[i].text, lines[i].length);
        if (i < breaks.size())
            sorted.append(breaks[i].text, breaks[i].length);
    }
    std::memcpy(text, sorted.data(), length);
}

void CountTextStats(const char *text, TextStats &stats)
{
    stats = TextStats{0, 1, 0, 0};
    if (!text)
        return;
    bool afterWhite = true;
    for (const char *p = text; *p; ++p) {
        const bool white = IsWhite(*p);
        if (!white) {
            ++stats.nonSpaceChars;
            if (afterWhite)
                ++stats.words;
        }
        if (*p == '\n')
            ++stats.lines;
        afterWhite = white;
        ++stats.chars;
    }
}

void AppendWordChar(char *buffer, char c)
{
    if (!buffer)
        return;
    const size_t capacity = WORD_BUFFER_SIZE - 1;
    // Bounded: a buffer without its terminator (corrupt, or being rewritten)
    // counts as full.
    size_t length = 0;
    while (length < capacity && buffer[length])
        ++length;
    if (length == capacity) {
        std::memmove(buffer, buffer + 1, capacity - 1);
        length = capacity - 1;
    }
    buffer[length] = c;
    buffer[length + 1] = 0;
}

// ---------------------------------------------------------------------------
// Paths

BOOL IsFullPath(const CString &path)
{
    return path.GetLength() >= 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
}

CString ChangeExtension(const CString &path, const CString &ext) { return RemoveExtension(path) + "." + ext; }
