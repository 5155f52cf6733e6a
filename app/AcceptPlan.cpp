#include "AcceptPlan.h"

#include <cstring>

#include "Candidates.h"
#include "CharClasses.h"
#include "EngineSettings.h"
#include "TextHelpers.h"
#include "Typing.h"

namespace {
const char NO_SPACE_CODE[] = "\\ns";

bool StartsWithNoCase(const CString &text, const CString &prefix)
{
    return text.GetLength() >= prefix.GetLength() && text.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

void PlanShorthand(const AcceptInput &in, CString text, bool noSpace, AcceptPlan &plan)
{
    plan.shorthand = true;
    const CString &typed = in.typed;
    CString token = GetShorthandToken(typed, FALSE);
    if (token.IsEmpty() || !StartsWithNoCase(in.itemKey, token))
        token = GetShorthandToken(typed, TRUE);

    // Everything from the token's start goes: the token and any "[...]"
    // arguments after it, and the tag character in front when there is one.
    const int tokenStart = ShorthandTokenEnd(typed) - token.GetLength();
    plan.erase = typed.GetLength() - tokenStart;
    if (tokenStart > 0 && typed[tokenStart - 1] == g_chShorthandTag)
        ++plan.erase;

    text = ExpandShorthandParams(GetShorthandArgs(typed), text);
    MatchPrefixCase(token, text, 1);

    const bool completesOnDelimiter = in.fullShMatch || in.autoCompleteUponDelimiter;
    if (completesOnDelimiter && IsClosingPunct(static_cast<unsigned char>(in.lastChar)))
        ApplyPunctuationSpacing(text, in.lastChar);
    else if (completesOnDelimiter && in.lastChar && IsDelimiterChar(static_cast<unsigned char>(in.lastChar)) &&
             !in.keyDriven)
        text += in.lastChar;
    else if (in.appendSpace && !noSpace)
        text += ' ';

    plan.text = text;
    plan.toType = text;
    plan.newCurrentWord = text.Right(257);
}

void PlanWord(const AcceptInput &in, const CString &text, bool noSpace, AcceptPlan &plan)
{
    const CString matched = GetMatchedPrefix(in.typed, text);
    const int matchedLength = matched.GetLength();
    CString rest = text.Mid(matchedLength);
    plan.caseDiffers = matched.IsEmpty() || text.Left(matchedLength) != matched;
    if (plan.caseDiffers) {
        // The typed prefix is replaced by the entry's own spelling.
        rest = text;
        plan.erase = matchedLength;
    }

    const unsigned char last = static_cast<unsigned char>(in.lastChar);
    if (in.autoCompleteUponDelimiter && last && IsDelimiterChar(last) && !in.keyDriven)
        rest += in.lastChar;

    const bool spaceCompletes = in.compWordKey == 32;
    const bool addSpace = (in.appendSpace && !noSpace && in.keyDriven) ||
                          ((!in.appendSpace || noSpace) && in.keyDriven && spaceCompletes &&
                           text.CompareNoCase(matched) == 0) ||
                          (g_bSpaceAfterPunct && IsClosingPunct(last));
    if (addSpace) {
        const bool sentenceEnd = last && std::strchr("!?.", last) != nullptr;
        rest += (g_bDoubleSpace && g_bSpaceAfterPunct && sentenceEnd) ? "  " : " ";
    }
    if (!HasNonWordChar(text))
        rest += in.appendStr;

    plan.text = text;
    plan.toType = rest;
    plan.learn = rest != text;
    // The line now holds the entry in place of the part of the typed text it
    // completes (in the entry's own spelling when that differs).
    plan.newCurrentWord = (in.typed.Left(in.typed.GetLength() - matchedLength) + text).Right(258);
}
}  // namespace

AcceptPlan PlanAcceptedEntry(const AcceptInput &in)
{
    AcceptPlan plan;
    CString text = in.itemText;
    text.Replace("\\hs", "\xA0");
    if (!in.wordProcessor)
        text.Replace("\\hh", "-");
    ProtectTitleAbbreviations(text);
    const int codeLength = static_cast<int>(std::strlen(NO_SPACE_CODE));
    const bool noSpace = text.GetLength() >= codeLength && text.Right(codeLength) == NO_SPACE_CODE;
    if (noSpace)
        text = text.Left(text.GetLength() - codeLength);
    if (text.IsEmpty())
        return plan;
    plan.insert = true;
    if (!in.itemKey.IsEmpty())
        PlanShorthand(in, text, noSpace, plan);
    else
        PlanWord(in, text, noSpace, plan);
    return plan;
}

BOOL HasKeyCodes(const CString &text)
{
    static const char *const codes[] = {"\\lt", "\\rt", "\\up", "\\dn", "\\pu", "\\pd", "\\hm", "\\en", "\\bk", "\\dl"};
    for (const char *code : codes)
        if (text.Find(code) >= 0)
            return TRUE;
    return FALSE;
}

int CountReplaceableSpaces(const CString &text)
{
    const int length = text.GetLength();
    if (length >= 2 && text[length - 1] == ' ' && text[length - 2] == ' ')
        return 2;
    if (length >= 1 && text[length - 1] == ' ')
        return 1;
    return 0;
}

CString GetTrailingAlias(const CString &text)
{
    int start = text.GetLength();
    while (start > 0 && IsWordChar(static_cast<unsigned char>(text[start - 1]), TRUE))
        --start;
    return text.Mid(start);
}
