#include "Retrieve.h"

#include <cstring>

#include "Candidates.h"
#include "CharClasses.h"
#include "Clock.h"
#include "EngineDiagnostics.h"
#include "EngineSettings.h"
#include "LibrarySet.h"
#include "PasswordList.h"
#include "RetrieveThread.h"
#include "SearchSignals.h"
#include "SettingValues.h"
#include "SharedSection.h"
#include "TextHelpers.h"
#include "UserMessage.h"
#include "WordCache.h"

std::map<std::string, CString> g_mapTopWords;

namespace {
bool IsWordCharacter(char c) { return IsWordChar(static_cast<unsigned char>(c), TRUE) != 0; }

int CountLeadingWordCandidates()
{
    int n = 0;
    while (n < PromptNum() && g_WordCandidates[n].useCount != 0)
        ++n;
    return n;
}

int CountLeadingShCandidates()
{
    int n = 0;
    while (n < PromptNum() && g_ShCandidates[n].useCount != 0)
        ++n;
    return n;
}
}  // namespace

BOOL SearchWordCache(const CString &prefix)
{
    int first = 0, last = -1;
    if (!CachePrefixRange(prefix, first, last))
        return FALSE;
    for (int i = first; i <= last; ++i) {
        const WRecord_X &entry = g_WordCache[i];
        if (HasNonWordChar(entry.word) &&
            static_cast<unsigned>(entry.useCount) < static_cast<unsigned>(g_nMinPhrasePromptCount))
            continue;
        if (ContainsExcludedWord(entry.word))
            continue;
        AddWordCandidate(&entry, prefix);
    }
    return TRUE;
}

int RetrieveWords(const CString &text, int /*id*/)
{
    if (!g_bPromptWord || text.IsEmpty())
        return 0;
    const char lastChar = text[text.GetLength() - 1];
    if (!IsWordCharacter(lastChar) && g_strWordConcatenators.Find(lastChar) < 0)
        return 0;
    if (g_bPromptNoDelimiter && EndsWithDelimiter(text))
        return 0;
    if (text.GetLength() < g_nMinPrefixLen)
        return 0;
    g_tNow = CurrentUnixTime();
    ClearWordCandidates();

    CString key;
    int e = text.GetLength() - 1;
    for (int k = 0; k < g_nMaxWordInPrefix; ++k) {
        while (e >= 0 && !IsWordCharacter(text[e]))
            --e;
        if (e < 0)
            break;
        while (e >= 0 && IsWordCharacter(text[e]))
            --e;
        if (e < 0 && text.GetLength() > 257)
            break;  // the first word may have been cut
        const CString s = text.Mid(e + 1);
        if (s.IsEmpty())
            break;
        if (IsNumberText(s) || s.GetLength() < g_nMinPrefixLen)
            continue;
        if (k == 0 && !g_mapTopWords.empty()) {
            key = s;
            key.MakeLower();
        }
        if (g_bLearnWord)
            SearchWordCache(s);
        const BOOL useBuckets = g_fFreqVsTime == -1.0f;
        for (int i = 0; i < WordLibCount(); ++i) {
            const int r = g_WordLibs[i].MatchPrefix(s, useBuckets);
            if (r < 0)
                return r;
        }
    }
    const auto top = g_mapTopWords.empty() ? g_mapTopWords.end() : g_mapTopWords.find(key.GetString());
    if (top != g_mapTopWords.end() && !top->second.IsEmpty()) {
        g_WordCandidates[0].word = top->second;
        g_WordCandidates[0].lastUsed = static_cast<int>(CurrentUnixTime());
    }
    return CountLeadingWordCandidates();
}

int RetrieveShorthands(const CString &text, int /*id*/)
{
    if (!g_bPromptSH)
        return 0;
    g_tNow = CurrentUnixTime();
    const CString tokens[2] = {GetShorthandToken(text, FALSE), GetShorthandToken(text, TRUE)};
    ClearShCandidates();
    CString token;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && tokens[1] == tokens[0])
            break;
        token = tokens[pass];
        g_bShArgsGiven = !GetShorthandArgs(text).IsEmpty();
        if (token.IsEmpty() || token.GetLength() < g_nMinSHPrefixLen)
            continue;
        const BOOL useBuckets = g_fFreqVsTime == -1.0f;
        for (int i = 0; i < ShLibCount(); ++i) {
            const int r = g_ShLibs[i].MatchPrefix(token, useBuckets);
            if (r < 0)
                return r;
        }
    }
    const int n = CountLeadingShCandidates();
    if (n >= 1 && token.CompareNoCase(g_ShCandidates[0].name) == 0)
        g_bFullSHMatch = 1;
    return n;
}

int RunOneRequest(unsigned *generation)
{
    // The generation, the id and the text are taken together; a newer request,
    // a quit or a pause then cuts the searches short.
    std::unique_lock<std::mutex> request(RequestLock());
    SearchScope scope;
    const int id = g_nRequestId;
    const CString text(g_szRequestWord, static_cast<int>(strnlen(g_szRequestWord, sizeof g_szRequestWord - 1)));
    request.unlock();
    if (generation)
        *generation = scope.Generation();
    g_bFullSHMatch = 0;
    EngineTrace(FormatStr("LoadID:%d", id));
    const BOOL trigger = EndsWithShorthandTrigger(text);
    int counts[2] = {0, 0};  // words, shorthands
    bool found = false;
    int signal = 0;

    const bool stale = !text.IsEmpty() && text[text.GetLength() - 1] != nLastChar && nLastChar != 8 &&
                       !g_bAutoCompletePending && CompWordKey != 32;
    if (!text.IsEmpty() && !stale) {
        int kinds[2] = {-1, -1};
        if (trigger)
            kinds[0] = 1;
        else if (g_nDefPromptType == 0)
            kinds[0] = g_bAlterPrompt ? 1 : 0;
        else if (g_nDefPromptType == 1)
            kinds[0] = g_bAlterPrompt ? 0 : 1;
        if (kinds[0] >= 0 && !g_bAlterPrompt && !trigger && (g_nDefPromptType == 0 || g_nDefPromptType == 1))
            kinds[1] = 1 - g_nDefPromptType;
        for (int kind : kinds) {
            if (kind < 0)
                continue;
            int result;
            {
                std::lock_guard<std::mutex> hold(EngineGuard());
                result = kind == 0 ? RetrieveWords(text, id) : RetrieveShorthands(text, id);
            }
            if (result == SEARCH_NEW_REQUEST || result == SEARCH_QUIT)
                return result;
            if (result == SEARCH_PAUSE) {
                ServePauseFromSearch();
                signal = SEARCH_PAUSE;
                break;
            }
            counts[kind] = result;
            found = found || result > 0;
        }
    }
    if (!found) {
        g_nResultKind = 0;
        if (!g_bQuitting)
            ReportToMainWindow(id, 0);
        return signal;
    }
    int order = g_nDefPromptType;
    if (counts[0] > 0 && counts[1] > 0) {
        const bool wordExact =
            g_WordCandidates[0].word.CompareNoCase(GetMatchedPrefix(text, g_WordCandidates[0].word)) == 0;
        const CString name(g_ShCandidates[0].name);
        const bool shExact = name.CompareNoCase(GetMatchedPrefix(text, name)) == 0;
        if (wordExact && !shExact && order == 1)
            order = 0;
        if (shExact && !wordExact && order == 0)
            order = 1;
    }
    const int sequence[2] = {order == 1 ? 1 : 0, order == 1 ? 0 : 1};
    for (int kind : sequence)
        if (counts[kind] > 0) {
            g_nResultKind = kind;
            ReportToMainWindow(id, counts[kind]);
        }
    return signal;
}

int RecordShorthandUse(const CString &name, BOOL stampTime)
{
    if (name.IsEmpty() || name.GetLength() >= SH_NAME_SIZE)
        return -2;
    const int now = stampTime ? static_cast<int>(CurrentUnixTime()) : 0;
    for (int i = 0; i < ShLibCount(); ++i) {
        int pos = 0;
        if (g_ShLibs[i].FindRecord(name, pos, FALSE)) {
            SHRecord_X &record = g_ShLibs[i].m_ShTable[static_cast<size_t>(pos)];
            ++record.useCount;
            record.lastUsed = now;
            return i + 1;
        }
    }
    DebugMessage("How can you insert a shorthand?");
    return -1;
}

void TogglePromptMode()
{
    g_bAlterPrompt = !g_bAlterPrompt;
    if (SharedStringLength(WordBuffer) > 0) {
        nLastChar = 8;
        RequestPromptAgain();
    }
}
