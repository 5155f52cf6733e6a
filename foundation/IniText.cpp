#include "IniText.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "TextHelpers.h"

namespace {
struct SectionSpan {
    int header = -1;  // the LF in front of "["
    int body = -1;    // just after "]": the header's closing LF, or the end of the text
    int end = -1;     // the LF in front of the next "[", or the end of the text
};

CString Lowered(const char *text)
{
    CString lower(text);
    lower.MakeLower();
    return lower;
}

// The first header of the section that is followed by a line break or ends
// the text (a last header written without a line break still counts).
SectionSpan FindSection(const CString &text, const CString &lower, const char *section)
{
    SectionSpan span;
    const CString pattern = Lowered(CString("\n[") + section + "]");
    for (int at = lower.Find(pattern); at >= 0; at = lower.Find(pattern, at + 1)) {
        const int after = at + pattern.GetLength();
        if (after == text.GetLength() || text[after] == '\n') {
            span.header = at;
            span.body = after;
            const int next = text.Find("\n[", after);
            span.end = next < 0 ? text.GetLength() : next;
            break;
        }
    }
    return span;
}

// Position of the key's leading LF inside the section, or -1.
int FindKey(const CString &lower, const SectionSpan &span, const char *key)
{
    const int at = lower.Find(Lowered(CString("\n") + key + "="), span.body);
    return at >= 0 && at < span.end ? at : -1;
}

bool HasLineBreak(const char *text) { return text && std::strpbrk(text, "\r\n") != nullptr; }

long long ParseInteger(const CString &value, long long low, long long high)
{
    const long long number = std::strtoll(value, nullptr, 10);
    return number < low ? low : (number > high ? high : number);
}
}  // namespace

CString EscapeLineBreaks(const char *value)
{
    CString escaped(value);
    escaped.Replace("\r", "\\r");
    escaped.Replace("\n", "\\n");
    return escaped;
}

CString UnescapeLineBreaks(const char *value)
{
    CString plain(value);
    plain.Replace("\\r", "\r");
    plain.Replace("\\n", "\n");
    return plain;
}

CString IniTextGet(const CString &text, const char *key, const char *defaultValue, bool unescape,
                   const char *section)
{
    const CString lower = Lowered(text);
    const SectionSpan span = FindSection(text, lower, section);
    if (span.header < 0)
        return defaultValue;
    const int at = FindKey(lower, span, key);
    if (at < 0)
        return defaultValue;
    const int first = at + 1 + static_cast<int>(std::strlen(key)) + 1;
    int last = text.Find('\n', first);
    if (last < 0)
        last = text.GetLength();
    CString value = text.Mid(first, last - first);
    value.Trim();
    return unescape ? UnescapeLineBreaks(value) : value;
}

bool IniTextSet(CString &text, const char *key, const char *value, bool escape, const char *section)
{
    const CString stored = escape ? EscapeLineBreaks(value) : CString(value);
    if (HasLineBreak(key) || HasLineBreak(section) || HasLineBreak(stored))
        return false;
    const CString lower = Lowered(text);
    const SectionSpan span = FindSection(text, lower, section);
    if (span.header < 0) {
        if (text.IsEmpty() || text[text.GetLength() - 1] != '\n')
            text += '\n';
        text += CString("[") + section + "]\n" + key + "=" + stored + "\n";
        return true;
    }
    const int at = FindKey(lower, span, key);
    if (at >= 0) {
        const int first = at + 1 + static_cast<int>(std::strlen(key)) + 1;
        int last = text.Find('\n', first);
        if (last < 0)
            last = text.GetLength();
        text = text.Left(first) + stored + text.Mid(last);
        return true;
    }
    CString line = CString(key) + "=" + stored;
    if (text[span.end - 1] != '\n')
        line.Insert(0, '\n');
    if (span.end == text.GetLength() || text[span.end] != '\n')
        line += '\n';
    text.Insert(span.end, line);
    return true;
}

int IniTextGetInt(const CString &text, const char *key, int defaultValue, const char *section)
{
    const CString value = IniTextGet(text, key, "", false, section);
    return value.IsEmpty() ? defaultValue : static_cast<int>(ParseInteger(value, INT_MIN, INT_MAX));
}

bool IniTextSetInt(CString &text, const char *key, int value, const char *section)
{
    return IniTextSet(text, key, IntToString(value, 10), false, section);
}

long long IniTextGetInt64(const CString &text, const char *key, long long defaultValue, const char *section)
{
    const CString value = IniTextGet(text, key, "", false, section);
    return value.IsEmpty() ? defaultValue : ParseInteger(value, LLONG_MIN, LLONG_MAX);
}

bool IniTextSetInt64(CString &text, const char *key, long long value, const char *section)
{
    return IniTextSet(text, key, FormatStr("%lld", value), false, section);
}

void IniTextDeleteSection(CString &text, const char *section)
{
    const SectionSpan span = FindSection(text, Lowered(text), section);
    if (span.header < 0)
        return;
    // From the header's "[" up to the next header's "[": the LF in front of
    // the header stays and serves the next header.
    const int stop = span.end < text.GetLength() ? span.end + 1 : text.GetLength();
    text.Delete(span.header + 1, stop - (span.header + 1));
}

bool IniTextHasSection(const CString &text, const char *section)
{
    return FindSection(text, Lowered(text), section).header >= 0;
}
