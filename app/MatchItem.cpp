#include "MatchItem.h"

#include "Candidates.h"
#include "EngineSettings.h"
#include "Typing.h"

CString CMatchItem::GetDisplayText()
{
    m_strDisplay = m_strKey.IsEmpty() ? m_strText : m_strKey + "=" + m_strText;
    return m_strDisplay;
}

namespace {
bool Listed(const std::vector<CMatchItem> &items, const CString &text)
{
    for (const CMatchItem &item : items)
        if (item.m_strText == text)
            return true;
    return false;
}

CString ShorthandName(const SHRecord_X &record)
{
    int length = 0;
    while (length < SH_NAME_SIZE && record.name[length])
        ++length;
    return CString(record.name, length);
}
}  // namespace

int AppendCandidateItems(std::vector<CMatchItem> &items, int n, int kind, const CString &typed, int promptNum)
{
    if (promptNum > MAX_CANDIDATES)
        promptNum = MAX_CANDIDATES;
    const int old = static_cast<int>(items.size());
    if (old + n > promptNum)
        n = promptNum - old;
    // The count comes with a window message; the lists hold no more than this.
    if (n > MAX_CANDIDATES)
        n = MAX_CANDIDATES;
    if (n <= 0)
        return 0;

    for (int i = 0; i < n; ++i) {
        CString text = kind == RESULT_SHORTHANDS ? g_ShCandidates[i].expansion : g_WordCandidates[i].word;
        if (text.IsEmpty())
            break;
        if (Listed(items, text))
            continue;
        if (kind == RESULT_SHORTHANDS) {
            MatchPrefixCase(GetShorthandToken(typed, FALSE), text, 1);
            items.emplace_back(text, ShorthandName(g_ShCandidates[i]));
        } else {
            const CString prefix = GetMatchedPrefix(typed, text);
            if (prefix.IsEmpty())
                continue;
            MatchPrefixCase(prefix, text, 0);
            items.emplace_back(text);
        }
    }
    return n;
}
