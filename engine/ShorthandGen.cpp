#include "ShorthandGen.h"

#include <cstdlib>
#include <cstring>

#include "CharClasses.h"
#include "EngineSettings.h"
#include "TextHelpers.h"

namespace {
typedef bool (*CharClass)(char c);

bool IsWordCharacter(char c) { return IsWordChar(static_cast<unsigned char>(c), TRUE) != FALSE; }

// The word characters of generation: fixed, so that a name does not depend on
// the user's extra word characters, and kept local, so that the hook library
// in every process goes on seeing the user's set meanwhile.
bool IsNameWordChar(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '\'' ||
           IsLatin1Letter(u);
}

CString WordAt(const CString &text, int n, CharClass isWordChar)
{
    if (n < 0)
        return CString();
    int word = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (!isWordChar(text[i]) || (i > 0 && isWordChar(text[i - 1])))
            continue;
        if (++word < n)
            continue;
        int end = i;
        while (end < text.GetLength() && isWordChar(text[end]))
            ++end;
        return text.Mid(i, end - i);
    }
    return CString();
}

int CountNameWords(const CString &text)
{
    int count = 0;
    for (int i = 0; i < text.GetLength(); ++i)
        if (IsNameWordChar(text[i]) && (i == 0 || !IsNameWordChar(text[i - 1])))
            ++count;
    return count;
}

// HasNonWordChar under the generation's word characters.
bool IsPhrase(const CString &text)
{
    if (IsEmailAddress(text) || IsDomainName(text))
        return false;
    for (int i = 0; i < text.GetLength(); ++i)
        if (!IsNameWordChar(text[i]))
            return true;
    return false;
}

// Appends what one part of a rule field takes from word.
void ApplyPart(CString part, const CString &word, CString &out)
{
    if (part.Left(3) == "csn") {
        int limit = -1;
        if (part.GetLength() >= 6 && part[3] == '(' && part[part.GetLength() - 1] == ')')
            limit = std::atoi(part.Mid(4));
        out += DropVowels(word, limit);
        return;
    }
    if (part.GetLength() >= 2 && part[0] == '\'') {
        out += part.Mid(1);
        return;
    }
    const bool fromEnd = part[0] == '-';
    if (fromEnd) {
        if (part.GetLength() == 1)
            return;
        part = part.Mid(1);
    }
    const int t = word.GetLength();
    const int tilde = part.Find('~');
    if (tilde >= 0) {
        int first = std::atoi(part.Left(tilde));
        int last = std::atoi(part.Mid(tilde + 1));
        if (first > t)
            first = t;
        if (last > t)
            last = t;
        if (first < 1 || last < first)
            return;
        out += word.Mid(fromEnd ? t - last : first - 1, last - first + 1);
        return;
    }
    const int a = std::atoi(part);
    if (a < 1 || a > t)
        return;
    out += word[fromEnd ? t - a : a - 1];
}

CString ApplyRule(const CString &phrase, const CString &rule, int nw)
{
    CString out;
    int automatic = 1;
    int start = 0;
    for (;;) {
        const int semicolon = rule.Find(';', start);
        CString field = semicolon < 0 ? rule.Mid(start) : rule.Mid(start, semicolon - start);
        start = semicolon + 1;
        int w = 0;
        const int colon = field.Find(':');
        if (colon >= 0) {
            w = std::atoi(field.Left(colon));
            if (w < 0)
                w += nw + 1;
            field = field.Mid(colon + 1);
        } else {
            w = automatic++;
        }
        const CString word = WordAt(phrase, w - 1, IsNameWordChar);
        if (!word.IsEmpty()) {
            int from = 0;
            for (;;) {
                const int comma = field.Find(',', from);
                CString part = comma < 0 ? field.Mid(from) : field.Mid(from, comma - from);
                part.Trim();
                if (!part.IsEmpty())
                    ApplyPart(part, word, out);
                if (comma < 0)
                    break;
                from = comma + 1;
            }
        }
        if (semicolon < 0)
            return out;
    }
}
}  // namespace

CString GenerateShorthand(const CString &phrase)
{
    CString text = phrase;
    text.Trim();
    if (text.IsEmpty())
        return CString();
    const int nw = CountNameWords(text);
    CString name;
    if (g_nShorthandGenMethod == 1) {
        for (int i = 0; i < nw; ++i)
            name += WordAt(text, i, IsNameWordChar).Left(i == nw - 1 ? 4 : 1);
    } else {
        const CString &rule = !IsPhrase(text) && g_bAbbrWord ? g_strWordRule : g_strAutoGenRule;
        name = ApplyRule(text, rule, nw);
    }
    name.MakeLower();
    return name.Left(MAX_GENERATED_SHORTHAND);
}

CString GetWordAt(const CString &text, int n) { return WordAt(text, n, IsWordCharacter); }

CString DropVowels(const CString &word, int limit)
{
    if (word.IsEmpty())
        return CString();
    CString result = word.Left(1);
    int appended = 0;
    for (int i = 1; i < word.GetLength() && limit != 0; ++i) {
        const char c = word[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter || std::strchr("aAeEiIoOuU", c))
            continue;
        result += c;
        if (limit > 0 && ++appended >= limit)
            break;
    }
    result.MakeLower();
    return result;
}
