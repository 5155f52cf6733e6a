#include "TextHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Exact-size heap copy, so a read past the terminator is caught by
// AddressSanitizer in the native build (string literals and short
// std::strings would hide it).
std::unique_ptr<char[]> HeapCopy(const std::string &s)
{
    std::unique_ptr<char[]> buf(new char[s.size() + 1]);
    std::memcpy(buf.get(), s.c_str(), s.size() + 1);
    return buf;
}

std::vector<std::string> ToVector(const CStringArray &a)
{
    std::vector<std::string> v;
    for (const CString &s : a)
        v.push_back(s.Str());
    return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// Character classes

TEST(TextHelpersChars, SignedAndUnsignedFormsOfAByteClassifyAlike)
{
    for (int b = 0; b < 256; ++b) {
        const int asChar = static_cast<char>(b);  // negative for b >= 0x80 on signed-char targets
        const int wide = b + 0x100;               // only the low byte counts
        for (int form : {asChar, wide}) {
            SCOPED_TRACE(testing::Message() << "byte " << b << " passed as " << form);
            EXPECT_EQ(IsIdentChar(form), IsIdentChar(b));
            EXPECT_EQ(IsDigitChar(form), IsDigitChar(b));
            EXPECT_EQ(IsSpaceChar(form), IsSpaceChar(b));
            EXPECT_EQ(IsHexDigit(form), IsHexDigit(b));
            EXPECT_EQ(HexDigitValue(form), HexDigitValue(b));
            EXPECT_EQ(IsAsciiLetter(form), IsAsciiLetter(b));
            EXPECT_EQ(IsClosingPunct(form), IsClosingPunct(b));
        }
    }
}

TEST(TextHelpersChars, HighBytesAreOnlyNoBreakSpace)
{
    for (int b = 0x80; b < 256; ++b) {
        SCOPED_TRACE(b);
        EXPECT_FALSE(IsIdentChar(b));
        EXPECT_FALSE(IsDigitChar(b));
        EXPECT_FALSE(IsHexDigit(b));
        EXPECT_FALSE(IsAsciiLetter(b));
        EXPECT_FALSE(IsClosingPunct(b));
        EXPECT_EQ(IsSpaceChar(b), b == 0xA0);
    }
    EXPECT_TRUE(IsSpaceChar(0xA0));
    EXPECT_TRUE(IsSpaceChar(static_cast<char>(0xA0)));
}

TEST(TextHelpersChars, AsciiMembership)
{
    std::string space, ident, digit, hex, letter, punct;
    for (int c = 1; c < 0x80; ++c) {
        if (IsSpaceChar(c)) space += static_cast<char>(c);
        if (IsIdentChar(c)) ident += static_cast<char>(c);
        if (IsDigitChar(c)) digit += static_cast<char>(c);
        if (IsHexDigit(c)) hex += static_cast<char>(c);
        if (IsAsciiLetter(c)) letter += static_cast<char>(c);
        if (IsClosingPunct(c)) punct += static_cast<char>(c);
    }
    EXPECT_EQ(space, "\t\n\v\f\r ");
    EXPECT_EQ(ident, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(digit, "0123456789");
    EXPECT_EQ(hex, "0123456789ABCDEFabcdef");
    EXPECT_EQ(letter, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(punct, "!),.:;?");
    EXPECT_FALSE(IsClosingPunct(0));
    EXPECT_FALSE(IsSpaceChar(0));
}

TEST(TextHelpersChars, HexDigitValue)
{
    const struct {
        int c;
        int value;
    } cases[] = {
        {'0', 0}, {'9', 9}, {'A', 10}, {'a', 10}, {'F', 15}, {'f', 15}, {'G', 16},
        {'z', 35}, {'Z', 35}, {'@', 0}, {'[', 0}, {'`', 0}, {'{', 0}, {' ', 0}, {0xC1, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HexDigitValue(c.c), c.value) << "char " << c.c;
}

TEST(TextHelpersChars, SeparatorZeroMeansWhiteSpace)
{
    EXPECT_TRUE(IsSeparatorChar(' ', 0));
    EXPECT_TRUE(IsSeparatorChar('\t', 0));
    EXPECT_TRUE(IsSeparatorChar(static_cast<char>(0xA0), 0));
    EXPECT_FALSE(IsSeparatorChar('a', 0));
    EXPECT_TRUE(IsSeparatorChar(',', ','));
    EXPECT_FALSE(IsSeparatorChar(' ', ','));
    EXPECT_FALSE(IsSeparatorChar(';', ','));
    // A separator given as a (negative) char matches the same byte in text.
    EXPECT_TRUE(IsSeparatorChar(static_cast<char>(0xE9), 0xE9));
    EXPECT_TRUE(IsSeparatorChar(0xE9, static_cast<char>(0xE9)));
}

// ---------------------------------------------------------------------------
// Fields and words

TEST(TextHelpersFields, CountAndPick)
{
    const struct {
        const char *text;
        int sep;
        std::vector<std::string> fields;
    } cases[] = {
        {"  a  b ", 0, {"a", "b"}},
        {"one\ttwo\xA0three\r\n", 0, {"one", "two", "three"}},
        {",a,,bc,", ',', {"a", "bc"}},
        {"a b,c", ',', {"a b", "c"}},
        {"", 0, {}},
        {"   ", 0, {}},
        {",,", ',', {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        auto text = HeapCopy(c.text);
        const int count = static_cast<int>(c.fields.size());
        EXPECT_EQ(CountFields(text.get(), c.sep), count);
        for (int n = 0; n < count; ++n)
            EXPECT_EQ(GetNthField(text.get(), n, c.sep).Str(), c.fields[static_cast<size_t>(n)]);
        EXPECT_TRUE(GetNthField(text.get(), count, c.sep).IsEmpty());
        EXPECT_TRUE(GetNthField(text.get(), -1, c.sep).IsEmpty());
    }
}

TEST(TextHelpersFields, WordStart)
{
    auto text = HeapCopy("  one two\t\xA0three ");
    EXPECT_EQ(GetWordStart(text.get(), 0), 2);
    EXPECT_EQ(GetWordStart(text.get(), 1), 6);
    EXPECT_EQ(GetWordStart(text.get(), 2), 11);
    EXPECT_EQ(GetWordStart(text.get(), 3), -1);
    EXPECT_EQ(GetWordStart(text.get(), -1), -1);
    EXPECT_EQ(GetWordStart("word", 0), 0);
    EXPECT_EQ(GetWordStart("", 0), -1);
    EXPECT_EQ(GetWordStart("   ", 0), -1);
}

// ---------------------------------------------------------------------------
// Prefix, trimming, numbers, formatting

TEST(TextHelpersStartsWith, Cases)
{
    const struct {
        const char *text;
        const char *prefix;
        bool caseSensitive;
        bool expected;
    } cases[] = {
        {"", "", true, false},
        {"", "", false, false},
        {"abc", "", true, false},
        {"abc", "ab", true, true},
        {"abc", "abc", true, true},
        {"abc", "AB", true, false},
        {"abc", "AB", false, true},
        {"ABC", "ab", false, true},
        {"ab", "abc", true, false},
        {"ab", "abc", false, false},
        {"", "a", false, false},
        {"a", "abcd", true, false},
        {"a", "abcd", false, false},
        {"abc", "b", true, false},
        // Case folding is ASCII only.
        {"\xE9t\xE9", "\xC9T", false, false},
        {"\xE9t\xE9", "\xE9T", false, true},
    };
    for (const auto &c : cases) {
        auto text = HeapCopy(c.text);
        auto prefix = HeapCopy(c.prefix);
        EXPECT_EQ(StartsWith(text.get(), prefix.get(), c.caseSensitive), c.expected)
            << '"' << c.text << "\" / \"" << c.prefix << "\" case-sensitive " << c.caseSensitive;
    }
}

TEST(TextHelpersTrim, CopyAndInPlace)
{
    const struct {
        const char *text;
        const char *trimmed;
    } cases[] = {
        {" \t a b \r\n\v\f", "a b"},
        {"ab", "ab"},
        {"   ", ""},
        {"", ""},
        {"x ", "x"},
        {" x", "x"},
        // The no-break space is not standard white space.
        {"\xA0x\xA0", "\xA0x\xA0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TrimmedCopy(c.text).Str(), c.trimmed);
        auto buffer = HeapCopy(c.text);
        TrimInPlace(buffer.get());
        EXPECT_STREQ(buffer.get(), c.trimmed);
    }
}

TEST(TextHelpersIntToString, RadixAndSign)
{
    const struct {
        int value;
        int radix;
        const char *text;
    } cases[] = {
        {0, 10, "0"},
        {0, 2, "0"},
        {123, 10, "123"},
        {-123, 10, "-123"},
        {INT_MAX, 10, "2147483647"},
        {INT_MIN, 10, "-2147483648"},
        {255, 16, "ff"},
        {5, 2, "101"},
        {35, 36, "z"},
        {INT_MAX, 36, "zik0zj"},
        // Outside decimal a negative value prints as its unsigned 32-bit pattern.
        {-1, 16, "ffffffff"},
        {-16, 16, "fffffff0"},
        {-1, 8, "37777777777"},
        {-1, 2, "11111111111111111111111111111111"},
        {INT_MIN, 16, "80000000"},
        {-1, 36, "1z141z3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IntToString(c.value, c.radix).Str(), c.text) << c.value << " radix " << c.radix;
}

TEST(TextHelpersFormatStr, FormatsArgumentsAndKeepsPercentInArguments)
{
    EXPECT_EQ(FormatStr("%s=%d", "a%sb%n", 42).Str(), "a%sb%n=42");
    EXPECT_EQ(FormatStr("%04x|%c|%-3s|", 0xBEEF, 'q', "z").Str(), "beef|q|z  |");
    EXPECT_EQ(FormatStr("%s", "").Str(), "");
    const std::string longText(5000, 'x');
    EXPECT_EQ(FormatStr("<%s>", longText.c_str()).Str(), "<" + longText + ">");
}

// ---------------------------------------------------------------------------
// Escaping

TEST(TextHelpersEscape, ControlCharsBothWays)
{
    const struct {
        const char *plain;
        const char *escaped;
    } cases[] = {
        {"\r\n", "\\r\\n"},
        {"a\tb\r\nc", "a\\tb\\r\\nc"},
        {"no controls", "no controls"},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.escaped);
        EXPECT_EQ(EscapeControlChars(c.plain, true).Str(), c.escaped);
        EXPECT_EQ(EscapeControlChars(c.escaped, false).Str(), c.plain);
    }
    // Backslashes are not escaped, so a literal backslash-n comes back as LF.
    EXPECT_EQ(EscapeControlChars("C:\\new", true).Str(), "C:\\new");
    EXPECT_EQ(EscapeControlChars("C:\\new", false).Str(), "C:\new");
}

TEST(TextHelpersUrl, Encode)
{
    EXPECT_EQ(UrlEncode(" ").Str(), "%20");
    EXPECT_EQ(UrlEncode("\xE9").Str(), "%E9");
    EXPECT_EQ(UrlEncode("\x01\x0F\xFF").Str(), "%01%0F%FF");
    EXPECT_EQ(UrlEncode("a+b%c/d=e&f").Str(), "a%2Bb%25c%2Fd%3De%26f");
    const char *safe = "ABCXYZabcxyz0189_-.~";
    EXPECT_EQ(UrlEncode(safe).Str(), safe);
    EXPECT_EQ(UrlEncode("").Str(), "");
}

TEST(TextHelpersUrl, Decode)
{
    const struct {
        const char *text;
        bool keepPlus;
        std::string decoded;
    } cases[] = {
        {"a%20b", false, "a b"},
        {"a+b", false, "a b"},
        {"a+b", true, "a+b"},
        {"%2B", false, "+"},  // an encoded plus is never a space
        {"%41", false, "A"},
        {"a%41", false, "aA"},
        {"%41%42", false, "AB"},
        {"%e9", false, "\xE9"},
        {"%%41", false, "%A"},
        // Incomplete or malformed escapes stay as they are.
        {"%", false, "%"},
        {"ab%", false, "ab%"},
        {"ab%4", false, "ab%4"},
        {"%zz", false, "%zz"},
        {"%4g", false, "%4g"},
        // Four-digit escapes keep only the low byte.
        {"%u00E9", false, "\xE9"},
        {"%u1234x", false, "4x"},
        {"%u004", false, "%u004"},
        {"%u00G1", false, "%u00G1"},
        {"", false, ""},
    };
    for (const auto &c : cases) {
        auto text = HeapCopy(c.text);
        EXPECT_EQ(UrlDecode(text.get(), c.keepPlus).Str(), c.decoded) << '"' << c.text << '"';
    }
}

TEST(TextHelpersUrl, RoundTripOfEveryByte)
{
    std::string all;
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        auto encoded = HeapCopy(UrlEncode(one.c_str()).Str());
        EXPECT_EQ(UrlDecode(encoded.get(), false).Str(), one) << "byte " << b;
        all += one;
    }
    auto encoded = HeapCopy(UrlEncode(all.c_str()).Str());
    EXPECT_EQ(UrlDecode(encoded.get(), false).Str(), all);
}

// ---------------------------------------------------------------------------
// Tokenising

TEST(TextHelpersSplitTokens, Cases)
{
    const struct {
        const char *text;
        int flags;
        const char *delimiters;
        std::vector<std::string> tokens;
    } cases[] = {
        {"a,,b", 0, ",", {"a", "b"}},
        {"a,,b", SPLIT_KEEP_EMPTY, ",", {"a", "", "b"}},
        {",a,", 0, ",", {"a"}},
        {",a,", SPLIT_KEEP_EMPTY, ",", {"", "a", ""}},
        {",", SPLIT_KEEP_EMPTY, ",", {"", ""}},
        {",,,", 0, ",", {}},
        {"a;b,c", 0, ";,", {"a", "b", "c"}},
        {"a b", 0, ",", {"a b"}},
        {" a b\t\xA0""c,d ", SPLIT_WHITESPACE, ",", {"a", "b", "c", "d"}},
        {"a b", SPLIT_WHITESPACE, nullptr, {"a", "b"}},
        {"'x,y',z", SPLIT_QUOTES, ",", {"x,y", "z"}},
        {"'x,y',z", 0, ",", {"'x", "y'", "z"}},
        {"\"a b\" `c d` e", SPLIT_QUOTES | SPLIT_WHITESPACE, "", {"a b", "c d", "e"}},
        // Only the quote that opened a part closes it.
        {"'x,\"y',z", SPLIT_QUOTES, ",", {"x,\"y", "z"}},
        // A quote inside a token opens a part too, but only enclosing quotes are removed.
        {"ab'c,d'e,f", SPLIT_QUOTES, ",", {"ab'c,d'e", "f"}},
        {"'a'b,c", SPLIT_QUOTES, ",", {"'a'b", "c"}},
        // An unclosed quote runs to the end of the text.
        {"'abc,d", SPLIT_QUOTES, ",", {"'abc,d"}},
        {"''", SPLIT_QUOTES, ",", {""}},
        {"'", SPLIT_QUOTES, ",", {"'"}},
        // Enclosing quotes go even when quotes are not honoured for splitting.
        {"'a',b", 0, ",", {"a", "b"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" flags " << c.flags);
        auto text = HeapCopy(c.text);
        CStringArray tokens;
        tokens.Add("left over");
        EXPECT_EQ(SplitTokens(text.get(), tokens, c.flags, c.delimiters), static_cast<int>(c.tokens.size()));
        EXPECT_EQ(ToVector(tokens), c.tokens);
    }
}

TEST(TextHelpersSplitTokens, EmptyTextClearsArray)
{
    CStringArray tokens;
    tokens.Add("left over");
    EXPECT_EQ(SplitTokens("", tokens, SPLIT_KEEP_EMPTY, ","), 0);
    EXPECT_TRUE(tokens.IsEmpty());
}

TEST(TextHelpersSplitCommandLine, Cases)
{
    const struct {
        const char *line;
        const char *program;
        const char *args;
    } cases[] = {
        {"  \"C:\\Program Files\\x.exe\"  /a /b ", "C:\\Program Files\\x.exe", "/a /b"},
        {"\"C:\\x y\\p.exe\"", "C:\\x y\\p.exe", ""},
        {"\"\" x", "", "x"},
        {"notepad", "notepad", ""},
        {" notepad  file.txt ", "notepad", "file.txt"},
        {"   ", "", ""},
        {"\"", "\"", ""},
        // Without a closing quote the line splits at the first space.
        {"\"a b", "\"a", "b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        CString cmd(c.line);
        EXPECT_EQ(SplitCommandLine(cmd).Str(), c.args);
        EXPECT_EQ(cmd.Str(), c.program);
    }
}

// ---------------------------------------------------------------------------
// Address tests

TEST(TextHelpersAddress, AllCharsAllowed)
{
    EXPECT_FALSE(AllCharsAllowed("", ""));
    EXPECT_FALSE(AllCharsAllowed("", "-"));
    EXPECT_TRUE(AllCharsAllowed("abc_XYZ_09", ""));
    EXPECT_FALSE(AllCharsAllowed("a-b", ""));
    EXPECT_TRUE(AllCharsAllowed("a-b", "-"));
    EXPECT_FALSE(AllCharsAllowed("a.b", "-"));
    EXPECT_TRUE(AllCharsAllowed("a.b-c", ".-"));
    EXPECT_FALSE(AllCharsAllowed("caf\xE9", ""));
}

TEST(TextHelpersAddress, TopLevelDomainTable)
{
    for (const char *tld : {"aero", "asia", "coop", "int", "jobs", "mobi", "museum", "name", "pro", "tel", "travel",
                            "xxx", "net", "edu", "org", "com", "biz", "gov", "mil", "info", "co", "cn"})
        EXPECT_TRUE(IsTopLevelDomain(tld)) << tld;
    for (const char *other : {"", "COM", "Com", "uk", "de", "comm", "co.", ".com", "c"})
        EXPECT_FALSE(IsTopLevelDomain(other)) << other;
}

TEST(TextHelpersAddress, DomainPart)
{
    const struct {
        const char *text;
        bool expected;
    } cases[] = {
        {"a.b", true},        {"mail-1.Example.com", true}, {"a.b.c", true},
        {"", false},          {"ab", false},                {".ab", false},
        {"ab.", false},       {"a.b.", false},              {"a..b", false},
        {".", false},         {"a_b.c", false},             {"a b.c", false},
        {"a.b\xE9", false},   {"a.b/c", false},
    };
    for (const auto &c : cases) {
        auto text = HeapCopy(c.text);
        EXPECT_EQ(IsDomainPart(text.get()), c.expected) << '"' << c.text << '"';
    }
}

TEST(TextHelpersAddress, EmailAddress)
{
    const struct {
        const char *text;
        bool expected;
    } cases[] = {
        {"joe@example.com", true},
        {"mailto:joe@example.com", true},
        {"@example.com", false},
        {"mailto:@example.com", false},
        {"joe@", false},
        {"joe@localhost", false},
        {"joe@.com", false},
        {"joe@exa mple.com", false},
        {"a@b@c.com", false},
        {"joe", false},
        {"", false},
    };
    for (const auto &c : cases) {
        auto text = HeapCopy(c.text);
        EXPECT_EQ(IsEmailAddress(text.get()), c.expected) << '"' << c.text << '"';
    }
}

TEST(TextHelpersAddress, DomainName)
{
    const struct {
        const char *text;
        bool expected;
    } cases[] = {
        {"www.example.com", true},
        {"example.org", true},
        {"example.co.uk", true},
        {"net.example", true},  // any part may be the listed one
        {"host42.cn", true},
        {"www.Example.com", false},
        {"example.COM", false},
        {"example.xyz", false},
        {"com", false},
        {"", false},
        {"a..com", false},
        {".com", false},
        {"com.", false},
        {"my_site.com", false},
        {"my-site.com", false},  // parts allow identifier characters only
        {"example.com/path", false},
        {"caf\xE9.com", false},
    };
    for (const auto &c : cases) {
        auto text = HeapCopy(c.text);
        EXPECT_EQ(IsDomainName(text.get()), c.expected) << '"' << c.text << '"';
    }
}
