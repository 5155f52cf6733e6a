#include "AcceptPlan.h"

#include <cstring>

#include "Candidates.h"
#include "CharClasses.h"
#include "EngineSettings.h"
#include "SharedSection.h"
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

    plan.tail.shorthand = 1;
    plan.tail.delimiterCompletes = in.fullShMatch || in.autoCompleteUponDelimiter;
    plan.tail.appendSpace = in.appendSpace && !noSpace;
    plan.tail.spaceAfterPunct = g_bSpaceAfterPunct != 0;
    plan.tail.doubleSpace = g_bDoubleSpace != 0;
    plan.tail.lastOfText = text.IsEmpty() ? 0 : text[text.GetLength() - 1];
    plan.body = text;
    text += AcceptTail(plan.tail, in.lastChar, in.keyDriven != FALSE);

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

    plan.body = rest;
    plan.tail.delimiterCompletes = in.autoCompleteUponDelimiter != 0;
    plan.tail.appendSpace = in.appendSpace && !noSpace;
    plan.tail.wholeWord = in.compWordKey == 32 && text.CompareNoCase(matched) == 0;
    plan.tail.spaceAfterPunct = g_bSpaceAfterPunct != 0;
    plan.tail.doubleSpace = g_bDoubleSpace != 0;
    plan.tail.lastOfText = text[text.GetLength() - 1];
    if (!HasNonWordChar(text))
        SetSharedString(plan.tail.appendStr, in.appendStr);
    rest += AcceptTail(plan.tail, in.lastChar, in.keyDriven != FALSE);

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

CString GetTrailingAlias(const CString &text)
{
    int start = text.GetLength();
    while (start > 0 && IsWordChar(static_cast<unsigned char>(text[start - 1]), TRUE))
        --start;
    return text.Mid(start);
}

OfferRow MakeOfferRow(const AcceptPlan &plan)
{
    OfferRow row = {};
    row.tail = plan.tail;
    if (!plan.insert)
        return row;
    row.erase = plan.erase;
    CString keys;
    if (!EncodePostedKeys(plan.body, plan.shorthand, keys) || keys.GetLength() >= OFFER_BODY) {
        row.length = OFFER_PROGRAM_TYPES;
        return row;
    }
    row.length = keys.GetLength();
    std::memcpy(row.body, keys.GetString(), static_cast<size_t>(keys.GetLength()));
    return row;
}
