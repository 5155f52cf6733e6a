#include "TextHelpers.h"

#include <cctype>
#include <cstdarg>
#include <cstring>

namespace {

// Every character test works on the low byte, so a negative char and its
// unsigned value classify the same and <cctype> never sees a negative value.
inline int LowByte(int c) { return c & 0xFF; }

// The C runtime's isspace, without ever handing it a negative value.
inline bool IsCSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// strchr would also find the terminator, so 0 is never a member.
bool InSet(int c, const char *set)
{
    return c != 0 && set != nullptr && std::strchr(set, c) != nullptr;
}

bool IsQuoteChar(char c) { return c == '\'' || c == '"' || c == '`'; }

const char *const kTopLevelDomains[] = {
    "aero", "asia", "coop", "int", "jobs", "mobi", "museum", "name", "pro", "tel", "travel",
    "xxx",  "net",  "edu",  "org", "com",  "biz",  "gov",    "mil",  "info", "co", "cn",
};

}  // namespace

// ---------------------------------------------------------------------------
// Character classes

bool IsIdentChar(int c)
{
    c = LowByte(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigitChar(int c)
{
    c = LowByte(c);
    return c >= '0' && c <= '9';
}

bool IsSpaceChar(int c)
{
    c = LowByte(c);
    return std::isspace(c) != 0 || c == 0xA0;
}

bool IsSeparatorChar(int c, int sep)
{
    sep = LowByte(sep);
    return sep == 0 ? IsSpaceChar(c) : LowByte(c) == sep;
}

bool IsHexDigit(int c)
{
    c = LowByte(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexDigitValue(int c)
{
    c = LowByte(c);
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return 0;
}

bool IsAsciiLetter(int c)
{
    c = LowByte(c);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsClosingPunct(int c) { return InSet(LowByte(c), ",.;:?!)"); }

int PunctuationSpaces(char prev, char ch, bool spaceAfterPunct, bool doubleSpace)
{
    if (!spaceAfterPunct)
        return 0;
    const bool separator = (ch == ',' || ch == '.') && !IsDigitChar(prev);
    if (!separator && !InSet(LowByte(ch), ";?!:)"))
        return 0;
    return doubleSpace && InSet(LowByte(ch), ".?!") ? 2 : 1;
}

// ---------------------------------------------------------------------------
// Fields and words

int CountFields(const char *text, int sep)
{
    if (!text)
        return 0;
    int count = 0;
    bool inField = false;
    for (const char *p = text; *p; ++p) {
        const bool isSep = IsSeparatorChar(*p, sep);
        if (!isSep && !inField)
            ++count;
        inField = !isSep;
    }
    return count;
}

CString GetNthField(const char *text, int n, int sep)
{
    if (!text || n < 0)
        return CString();
    const char *p = text;
    for (int field = 0;; ++field) {
        while (*p && IsSeparatorChar(*p, sep))
            ++p;
        if (!*p)
            return CString();
        const char *start = p;
        while (*p && !IsSeparatorChar(*p, sep))
            ++p;
        if (field == n)
            return CString(start, static_cast<int>(p - start));
    }
}

int GetWordStart(const char *text, int n)
{
    if (!text || n < 0)
        return -1;
    const char *p = text;
    for (int word = 0;; ++word) {
        while (*p && IsSpaceChar(*p))
            ++p;
        if (!*p)
            return -1;
        if (word == n)
            return static_cast<int>(p - text);
        while (*p && !IsSpaceChar(*p))
            ++p;
    }
}

// ---------------------------------------------------------------------------
// Prefix, trimming, numbers, formatting

bool StartsWith(const char *text, const char *prefix, bool caseSensitive)
{
    if (!prefix || !*prefix)
        return false;
    if (!text)
        text = "";
    const size_t length = std::strlen(prefix);
    // Both comparisons stop at the terminator of a shorter text, which then
    // differs from the prefix character at that place.
    return caseSensitive ? std::strncmp(text, prefix, length) == 0
                         : AsciiCompareNoCaseN(text, prefix, length) == 0;
}

CString TrimmedCopy(const char *text)
{
    CString copy(text);
    copy.Trim();
    return copy;
}

void TrimInPlace(char *buffer)
{
    if (!buffer)
        return;
    size_t length = std::strlen(buffer);
    while (length > 0 && IsCSpace(buffer[length - 1]))
        --length;
    size_t start = 0;
    while (start < length && IsCSpace(buffer[start]))
        ++start;
    std::memmove(buffer, buffer + start, length - start);
    buffer[length - start] = '\0';
}

CString IntToString(int value, int radix)
{
    if (radix < 2 || radix > 36)
        return CString();
    // Like _itoa: only decimal shows a sign; other radixes print the 32-bit
    // pattern as an unsigned number.
    const bool negative = radix == 10 && value < 0;
    unsigned int rest = static_cast<unsigned int>(value);
    if (negative)
        rest = 0u - rest;
    char digits[40];
    int pos = 0;
    do {
        digits[pos++] = "0123456789abcdefghijklmnopqrstuvwxyz"[rest % static_cast<unsigned int>(radix)];
        rest /= static_cast<unsigned int>(radix);
    } while (rest != 0);
    CString result;
    if (negative)
        result.AppendChar('-');
    while (pos > 0)
        result.AppendChar(digits[--pos]);
    return result;
}

CString FormatStr(const char *format, ...)
{
    CString result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}

// ---------------------------------------------------------------------------
// Escaping

CString EscapeControlChars(const char *text, bool escape)
{
    CString result(text);
    if (escape) {
        result.Replace("\r", "\\r");
        result.Replace("\n", "\\n");
        result.Replace("\t", "\\t");
    } else {
        result.Replace("\\r", "\r");
        result.Replace("\\n", "\n");
        result.Replace("\\t", "\t");
    }
    return result;
}

CString UrlEncode(const char *text)
{
    CString result;
    if (!text)
        return result;
    for (const char *p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsAsciiLetter(c) || IsDigitChar(c) || InSet(c, "_-.~")) {
            result.AppendChar(static_cast<char>(c));
        } else {
            result.AppendChar('%');
            result.AppendChar("0123456789ABCDEF"[c >> 4]);
            result.AppendChar("0123456789ABCDEF"[c & 0x0F]);
        }
    }
    return result;
}

CString UrlDecode(const char *text, bool keepPlus)
{
    CString source(text);
    if (!keepPlus)
        source.Replace('+', ' ');
    const char *s = source.GetString();
    const int length = source.GetLength();
    CString result;
    int i = 0;
    while (i < length) {
        // Each escape is taken only when all of its characters are inside the
        // text, so a '%' near the end is never followed by reads past it.
        if (s[i] == '%' && i + 2 < length && IsHexDigit(s[i + 1]) && IsHexDigit(s[i + 2])) {
            result.AppendChar(static_cast<char>(16 * HexDigitValue(s[i + 1]) + HexDigitValue(s[i + 2])));
            i += 3;
        } else if (s[i] == '%' && i + 5 < length && s[i + 1] == 'u' && IsHexDigit(s[i + 2]) &&
                   IsHexDigit(s[i + 3]) && IsHexDigit(s[i + 4]) && IsHexDigit(s[i + 5])) {
            // Only the low byte of the code unit fits an 8-bit string.
            result.AppendChar(static_cast<char>(16 * HexDigitValue(s[i + 4]) + HexDigitValue(s[i + 5])));
            i += 6;
        } else {
            result.AppendChar(s[i]);
            ++i;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Tokenising

int SplitTokens(const char *text, CStringArray &tokens, int flags, const char *delimiters)
{
    tokens.RemoveAll();
    if (!text || !*text)
        return 0;
    const bool quotes = (flags & SPLIT_QUOTES) != 0;
    const bool whitespace = (flags & SPLIT_WHITESPACE) != 0;
    const bool keepEmpty = (flags & SPLIT_KEEP_EMPTY) != 0;
    auto isDelimiter = [&](char c) {
        return InSet(static_cast<unsigned char>(c), delimiters) || (whitespace && IsSpaceChar(c));
    };

    const int length = static_cast<int>(std::strlen(text));
    int i = 0;
    while (i < length) {
        if (!keepEmpty) {
            while (i < length && isDelimiter(text[i]))
                ++i;
            if (i >= length)
                break;
        }
        const int start = i;
        char openQuote = 0;
        while (i < length) {
            const char c = text[i];
            if (openQuote) {
                if (c == openQuote)
                    openQuote = 0;
            } else if (quotes && IsQuoteChar(c)) {
                openQuote = c;
            } else if (isDelimiter(c)) {
                break;
            }
            ++i;
        }
        CString token(text + start, i - start);
        const int tokenLength = token.GetLength();
        if (tokenLength >= 2 && IsQuoteChar(token[0]) && token[tokenLength - 1] == token[0])
            token = token.Mid(1, tokenLength - 2);
        tokens.Add(token);
        if (i < length) {
            // A trailing delimiter closes one more, empty, field.
            if (keepEmpty && i == length - 1)
                tokens.Add(CString());
            ++i;
        }
    }
    return tokens.GetSize();
}

CString SplitCommandLine(CString &cmd)
{
    cmd.Trim();
    if (cmd.IsEmpty())
        return CString();
    CString args;
    if (cmd[0] == '"' && cmd.GetLength() > 1) {
        const int close = cmd.Find('"', 1);
        if (close > 0) {
            args = cmd.Mid(close + 1);
            args.Trim();
            cmd = cmd.Mid(1, close - 1);
            return args;
        }
    }
    const int space = cmd.Find(' ');
    if (space >= 0) {
        args = cmd.Mid(space + 1);
        args.Trim();
        cmd = cmd.Left(space);
    }
    return args;
}

// ---------------------------------------------------------------------------
// Address tests

bool AllCharsAllowed(const char *text, const char *extra)
{
    if (!text || !*text)
        return false;
    for (const char *p = text; *p; ++p)
        if (!IsIdentChar(*p) && !InSet(static_cast<unsigned char>(*p), extra))
            return false;
    return true;
}

bool IsTopLevelDomain(const char *text)
{
    if (!text)
        return false;
    for (const char *tld : kTopLevelDomains)
        if (std::strcmp(text, tld) == 0)
            return true;
    return false;
}

bool IsDomainPart(const char *text)
{
    if (!text)
        return false;
    const char *dot = std::strchr(text, '.');
    const size_t length = std::strlen(text);
    if (!dot || dot == text || text[length - 1] == '.' || std::strstr(text, "..") != nullptr)
        return false;
    for (const char *p = text; *p; ++p)
        if (!IsAsciiLetter(*p) && !IsDigitChar(*p) && *p != '.' && *p != '-')
            return false;
    return true;
}

bool IsEmailAddress(const char *text)
{
    if (!text)
        return false;
    // The prefix of a mail link is not part of the address.
    static const char kMailto[] = "mailto:";
    if (std::strncmp(text, kMailto, sizeof kMailto - 1) == 0)
        text += sizeof kMailto - 1;
    const char *at = std::strchr(text, '@');
    if (!at || at == text || at[1] == '\0')
        return false;
    return IsDomainPart(at + 1);
}

bool IsDomainName(const char *text)
{
    if (!text || !*text || !std::strchr(text, '.') || std::strchr(text, '_'))
        return false;
    for (const char *p = text; *p; ++p)
        if (*p >= 'A' && *p <= 'Z')
            return false;
    bool hasTopLevel = false;
    const char *part = text;
    for (;;) {
        const char *end = std::strchr(part, '.');
        const CString piece = end ? CString(part, static_cast<int>(end - part)) : CString(part);
        if (!AllCharsAllowed(piece, ""))
            return false;
        if (IsTopLevelDomain(piece))
            hasTopLevel = true;
        if (!end)
            break;
        part = end + 1;
    }
    return hasTopLevel;
}
