#include "Learning.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "BusyFeedback.h"
#include "CharClasses.h"
#include "Clock.h"
#include "EngineSettings.h"
#include "FileSystem.h"
#include "LibrarySet.h"
#include "PasswordList.h"
#include "PathText.h"
#include "RetrieveThread.h"
#include "TextHelpers.h"
#include "UserMessage.h"
#include "WordCache.h"

namespace {
bool IsWordCharacter(char c) { return IsWordChar(static_cast<unsigned char>(c), TRUE) != FALSE; }

// Start of word n (0-based) of the text, a word being a run of word
// characters as CountWords counts them; -1 when there are fewer.
int WordRunStart(const CString &text, int n)
{
    int word = -1;
    for (int i = 0; i < text.GetLength(); ++i)
        if (IsWordCharacter(text[i]) && (i == 0 || !IsWordCharacter(text[i - 1])) && ++word == n)
            return i;
    return -1;
}

bool HasLength(const CString &text, int minimum)
{
    return static_cast<unsigned>(text.GetLength()) >= static_cast<unsigned>(minimum);
}

bool StartsWithNoCase(const CString &text, const char *start)
{
    const int n = static_cast<int>(std::strlen(start));
    return text.GetLength() >= n && text.Left(n).CompareNoCase(start) == 0;
}

bool EndsWithNoCase(const CString &text, const char *end)
{
    const int n = static_cast<int>(std::strlen(end));
    return text.GetLength() >= n && text.Right(n).CompareNoCase(end) == 0;
}

bool RefusedPhrase(const CString &p)
{
    if (g_bNoLearnNumber && IsNumberText(p))
        return true;
    if (p.GetLength() > MAX_LEARNED_LENGTH)
        return true;
    if (g_bRejectPhraseThe && (StartsWithNoCase(p, "the ") || EndsWithNoCase(p, " the")))
        return true;
    if (g_bRejectPhraseA && (StartsWithNoCase(p, "a ") || EndsWithNoCase(p, " a")))
        return true;
    return !HasLength(p, g_nMinPhraseLength);
}

// One use of a known record.
void RaiseCount(WRecord_X &record, int64_t time, int *outCount)
{
    record.useCount += 1;
    record.lastUsed = static_cast<int>(static_cast<uint32_t>(time));
    if (outCount)
        *outCount = record.useCount;
}

bool s_bLearningTypedText = false;

void LearnTypedTextWith(const CString &text, char ch, bool phrases)
{
    if (text.IsEmpty() || !g_bLearnWord || EndsWithDelimiter(text))
        return;
    if (s_bLearningTypedText)
        return;
    s_bLearningTypedText = true;

    if (phrases && IsWordOrConcatChar(static_cast<unsigned char>(text[text.GetLength() - 1])) &&
        !IsWordOrConcatChar(static_cast<unsigned char>(ch)))
        LearnPhrases(text);

    if (!IsAddressChar(static_cast<unsigned char>(ch))) {
        int start = text.GetLength();
        while (start > 0 && IsAddressChar(static_cast<unsigned char>(text[start - 1])))
            --start;
        const CString address = text.Mid(start);
        if (!address.IsEmpty() && address.GetLength() <= MAX_LEARNED_LENGTH &&
            (IsEmailAddress(address) || IsDomainName(address)))
            LearnWord(address, TRUE, 1, nullptr, FALSE);
    }

    const CString word = GetTrailingWord(text);
    if (!(g_bNoLearnNumber && IsNumberText(word)) && !word.IsEmpty())
        LearnWord(word, TRUE, 1, nullptr, FALSE);

    s_bLearningTypedText = false;
}

int CountFiles(const CString &folder, const CString &patterns, BOOL recurse, bool top)
{
    if (!FsCanRead(folder)) {
        if (!top)
            return 0;  // one unreadable subfolder does not spoil the count of the rest
        ShowMessage(folder + " not accessible!");
        return -1;
    }
    const CString all = patterns.IsEmpty() ? CString("*") : patterns;
    int total = 0;
    std::vector<FsEntry> entries;
    int start = 0;
    for (;;) {
        const int semicolon = all.Find(';', start);
        const CString piece = semicolon < 0 ? all.Mid(start) : all.Mid(start, semicolon - start);
        if (!piece.IsEmpty() && FsFind(JoinPath(folder, piece), entries))
            for (const FsEntry &entry : entries)
                if (!entry.isDirectory)
                    ++total;
        if (semicolon < 0)
            break;
        start = semicolon + 1;
    }
    if (recurse && FsFind(JoinPath(folder, "*"), entries)) {
        for (const FsEntry &entry : entries) {
            if (!entry.isDirectory || entry.isReparsePoint || entry.name == "." || entry.name == "..")
                continue;
            total += CountFiles(JoinPath(folder, entry.name), patterns, TRUE, false);
        }
    }
    return total;
}
}  // namespace

int LearnWord(const CString &word, BOOL stampTime, int newCount, int *outCount, BOOL noLengthCheck)
{
    if (!noLengthCheck && !HasLength(word, HasNonWordChar(word) ? g_nMinPhraseLength : g_nMinLength))
        return LEARN_REFUSED;
    if (word.IsEmpty() || word.GetLength() > MAX_LEARNED_LENGTH)
        return LEARN_REFUSED;
    const int64_t time = stampTime ? CurrentUnixTime() : 0;
    if (ContainsExcludedWord(word))
        return LEARN_REFUSED;

    CString forms[2] = {word, word};
    NormalizeWordCase(forms[1]);
    const int passes = forms[1] != forms[0] ? 2 : 1;
    int pos = 0;
    for (int pass = 0; pass < passes; ++pass) {
        const CString &form = forms[pass];
        if (FindInWordCache(form, pos, TRUE)) {
            std::lock_guard<std::mutex> hold(EngineGuard());
            RaiseCount(g_WordCache[pos], time, outCount);
            g_WordCache[pos].useSeq = g_nCacheSeq++;
            return 0;
        }
        for (int i = 0; i < WordLibCount(); ++i) {
            CLibFile &library = g_WordLibs[i];
            int libPos = 0;
            if (!library.FindRecord(form, libPos, TRUE) || libPos < 0 ||
                static_cast<size_t>(libPos) >= library.m_WordTable.size())
                continue;
            std::lock_guard<std::mutex> hold(EngineGuard());
            RaiseCount(library.m_WordTable[static_cast<size_t>(libPos)], time, outCount);
            library.m_bDirty = TRUE;
            return i + 1;
        }
        if (pass + 1 < passes)
            continue;
        // pos is where the last search would have found the form.
        AddToWordCache(form, time, pos, newCount);
    }
    if (outCount)
        *outCount = newCount;
    return LEARN_NEW;
}

int LearnPhrases(const CString &text)
{
    if (!g_bLearnPhrase || g_nMaxWordInPhrase == 0)
        return 0;
    int start = text.GetLength();
    while (start > 0 && IsWordOrConcatChar(static_cast<unsigned char>(text[start - 1])))
        --start;
    CString s = text.Mid(start);
    s.TrimLeft();
    int last = s.GetLength() - 1;
    while (last >= 0 && !IsWordCharacter(s[last]))
        --last;
    s = s.Left(last + 1);

    for (;;) {
        const int nw = CountWords(s);
        if (nw <= 1)
            return 1;
        int cut = -1;
        for (int g = g_nMaxWordInPhrase - 1; g >= 1; --g) {
            const int e = nw - g - 1;
            if (e < 0)
                continue;
            const int pos = WordRunStart(s, e);
            const CString p = pos < 0 ? s : s.Mid(pos);
            if (RefusedPhrase(p))
                continue;
            int count = 0;
            const int r = LearnWord(p, TRUE, 1, &count, FALSE);
            if (r >= 0 && count >= g_nPhraseAckCount) {
                cut = pos;
                break;
            }
        }
        if (cut < 0)
            cut = WordRunStart(s, nw - 1);
        int i = cut - 1;
        while (i >= 0 && !IsWordCharacter(s[i]))
            --i;
        s = s.Left(i + 1);
    }
}

int LearnText(const CString &text)
{
    PauseRetrieveThread(TRUE);
    CString trimmed = text;
    trimmed.Trim();
    int added = 0;
    for (int i = 0; i < trimmed.GetLength();) {
        if (!IsWordCharacter(trimmed[i])) {
            ++i;
            continue;
        }
        int end = i;
        while (end < trimmed.GetLength() && IsWordCharacter(trimmed[end]))
            ++end;
        if (LearnWord(trimmed.Mid(i, end - i), FALSE, g_nMinWordAddCount, nullptr, FALSE) == LEARN_NEW)
            ++added;
        i = end;
    }
    PauseRetrieveThread(FALSE);
    return added;
}

void LearnTypedText(const CString &text, char ch) { LearnTypedTextWith(text, ch, true); }

CString GetTrailingWord(const CString &text)
{
    int start = text.GetLength();
    while (start > 0 && IsWordCharacter(text[start - 1]))
        --start;
    if (text.GetLength() - start > MAX_LEARNED_LENGTH)
        return CString();
    return text.Mid(start);
}

int LearnFromFile(const CString &path)
{
    ShowWaitCursor(TRUE);
    // Binary: every byte counts, a 0x1A included.
    FILE *file = std::fopen(path, "rb");
    if (!file) {
        ShowMessage("Can't open file" + path);
        ShowWaitCursor(FALSE);
        return -1;
    }
    char buffer[WORD_BUFFER_SIZE] = {};
    unsigned char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        for (size_t k = 0; k < got; ++k) {
            const char c = static_cast<char>(chunk[k]);
            if (IsDelimiterChar(chunk[k]))
                LearnTypedTextWith(buffer, c, false);
            AppendWordChar(buffer, c);
        }
    }
    std::fclose(file);
    ShowWaitCursor(FALSE);
    return 0;
}

int CountMatchingFiles(const CString &folder, const CString &patterns, BOOL recurse)
{
    return CountFiles(folder, patterns, recurse, true);
}
