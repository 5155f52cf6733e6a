#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "CString.h"

namespace {

// Bytes >= 0x80 as they come from an ANSI code page: Latin-1 e-acute and
// E-acute, no-break space and the C1 "next line" control.
const char kHighBytes[] = "\xE9\xC9\xA0\x85";

std::vector<std::string> AllTokens(const CString &s, const char *delimiters)
{
    std::vector<std::string> tokens;
    int pos = 0;
    for (;;) {
        const CString token = s.Tokenize(delimiters, pos);
        if (pos == -1) {
            EXPECT_TRUE(token.IsEmpty()) << "the call that ends tokenizing returns nothing";
            break;
        }
        tokens.push_back(token.Str());
        if (tokens.size() > 20) {
            ADD_FAILURE() << "Tokenize does not terminate";
            break;
        }
    }
    return tokens;
}

}  // namespace

TEST(CString, NullAndNonPositiveLengthsGiveEmptyStrings)
{
    EXPECT_STREQ(CString(static_cast<const char *>(nullptr)), "");
    EXPECT_STREQ(CString(static_cast<const char *>(nullptr), 4), "");
    EXPECT_STREQ(CString("abc", 0), "");
    EXPECT_STREQ(CString("abc", -1), "");
    EXPECT_STREQ(CString('x', 0), "");
    EXPECT_STREQ(CString('x', -3), "");
    EXPECT_STREQ(CString('x', 3), "xxx");

    CString s("abc");
    s = static_cast<const char *>(nullptr);
    EXPECT_TRUE(s.IsEmpty());

    // An explicit length keeps embedded 0 bytes.
    EXPECT_EQ(CString("a\0b", 3).GetLength(), 3);
}

TEST(CString, CharacterAccessOutsideTheStringIsHarmless)
{
    CString s("ab");
    EXPECT_EQ(s.GetAt(1), 'b');
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s.GetAt(2), '\0');
    EXPECT_EQ(s[5], '\0');

    s.SetAt(0, 'X');
    s.SetAt(-1, 'Y');
    s.SetAt(2, 'Z');
    EXPECT_STREQ(s, "Xb");
    EXPECT_EQ(CString().GetAt(0), '\0');
}

TEST(CString, ConcatenationAcceptsNullAndItself)
{
    CString s("ab");
    s += static_cast<const char *>(nullptr);
    s.Append(nullptr, 3);
    s.Append("xyz", -1);
    s.Append("xyz", 2);
    s += 'c';
    EXPECT_STREQ(s, "abxyc");

    s += s;
    EXPECT_STREQ(s, "abxycabxyc");

    const CString a("a");
    EXPECT_STREQ(a + "b", "ab");
    EXPECT_STREQ("b" + a, "ba");
    EXPECT_STREQ(a + 'c', "ac");
    EXPECT_STREQ('c' + a, "ca");
    EXPECT_STREQ(a + CString("d"), "ad");
    EXPECT_STREQ(static_cast<const char *>(nullptr) + a, "a");
    EXPECT_STREQ(a + static_cast<const char *>(nullptr), "a");
}

TEST(CString, SubstringsClampIndexesAndCounts)
{
    const CString s("abcdef");
    struct Case {
        const char *what;
        CString got;
        const char *want;
    } const cases[] = {
        {"Mid(2,2)", s.Mid(2, 2), "cd"},
        {"Mid(4,10)", s.Mid(4, 10), "ef"},
        {"Mid(-3,2)", s.Mid(-3, 2), "ab"},
        {"Mid(10)", s.Mid(10), ""},
        {"Mid(6)", s.Mid(6), ""},
        {"Mid(-1)", s.Mid(-1), "abcdef"},
        {"Mid(2,-1)", s.Mid(2, -1), ""},
        {"Mid(1,INT_MAX)", s.Mid(1, 0x7FFFFFFF), "bcdef"},
        {"Left(2)", s.Left(2), "ab"},
        {"Left(-1)", s.Left(-1), ""},
        {"Left(99)", s.Left(99), "abcdef"},
        {"Right(2)", s.Right(2), "ef"},
        {"Right(0)", s.Right(0), ""},
        {"Right(-1)", s.Right(-1), ""},
        {"Right(99)", s.Right(99), "abcdef"},
        {"empty Mid", CString().Mid(0, 3), ""},
        {"empty Right", CString().Right(3), ""},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.got, c.want) << c.what;
}

TEST(CString, FindReturnsMinusOneWhenNothingMatches)
{
    const CString s("abcabc");
    struct Case {
        const char *what;
        int got;
        int want;
    } const cases[] = {
        {"char", s.Find('c'), 2},
        {"char from 3", s.Find('c', 3), 5},
        {"char from last", s.Find('c', 5), 5},
        {"char from length", s.Find('a', 6), -1},
        {"char from negative", s.Find('a', -1), -1},
        {"char missing", s.Find('z'), -1},
        {"text", s.Find("ca"), 2},
        {"text from 3", s.Find("bc", 3), 4},
        {"text from negative", s.Find("a", -2), -1},
        {"text past end", s.Find("a", 7), -1},
        {"text running past end", s.Find("bca", 4), -1},
        {"empty text", s.Find(""), 0},
        {"empty text at end", s.Find("", 6), 6},
        {"null text", s.Find(static_cast<const char *>(nullptr)), -1},
        {"in empty string", CString().Find('a'), -1},
        {"reverse", s.ReverseFind('a'), 3},
        {"reverse missing", s.ReverseFind('z'), -1},
        {"one of", s.FindOneOf("xc"), 2},
        {"one of none", s.FindOneOf("xyz"), -1},
        {"one of empty set", s.FindOneOf(""), -1},
        {"one of null set", s.FindOneOf(nullptr), -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(CString, SpansStopAtTheFirstCharacterOutsideOrInsideTheSet)
{
    const CString s("1234-56");
    EXPECT_STREQ(s.SpanIncluding("0123456789"), "1234");
    EXPECT_STREQ(s.SpanIncluding("x"), "");
    EXPECT_STREQ(s.SpanIncluding(""), "");
    EXPECT_STREQ(s.SpanIncluding(nullptr), "");
    EXPECT_STREQ(s.SpanExcluding("-"), "1234");
    EXPECT_STREQ(s.SpanExcluding("x"), "1234-56");
    EXPECT_STREQ(s.SpanExcluding(""), "1234-56");
    EXPECT_STREQ(s.SpanExcluding(nullptr), "1234-56");
}

TEST(CString, CompareGivesTheSignOfByteOrder)
{
    struct Case {
        const char *a;
        const char *b;
        int compare;
        int noCase;
    } const cases[] = {
        {"abc", "abc", 0, 0},
        {"abc", "ABC", 1, 0},
        {"abc", "abd", -1, -1},
        {"ab", "abc", -1, -1},
        {"", "", 0, 0},
        {"a", "", 1, 1},
        // Both sides fold to lower case, so '_' (0x5F) sorts before every
        // letter whatever its case, while a plain compare puts it after
        // the capitals.
        {"a_", "aB", 1, -1},
        {"_", "A", 1, -1},
        {"_", "a", -1, -1},
        // Bytes >= 0x80 are unsigned and are not folded.
        {"\xE9", "z", 1, 1},
        {"\xE9", "\xC9", 1, 1},
        {"Z", "\xFA", -1, -1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CString(c.a).Compare(c.b), c.compare) << c.a << " vs " << c.b;
        EXPECT_EQ(CString(c.a).CompareNoCase(c.b), c.noCase) << c.a << " vs " << c.b;
        EXPECT_EQ(CString(c.b).CompareNoCase(c.a), -c.noCase) << c.b << " vs " << c.a;
        EXPECT_EQ(AsciiCompareNoCase(c.a, c.b) > 0, c.noCase > 0) << c.a << " vs " << c.b;
        EXPECT_EQ(AsciiCompareNoCase(c.a, c.b) < 0, c.noCase < 0) << c.a << " vs " << c.b;
    }

    EXPECT_EQ(CString("").Compare(nullptr), 0);
    EXPECT_EQ(CString("a").Compare(nullptr), 1);
    EXPECT_EQ(CString("").CompareNoCase(nullptr), 0);

    EXPECT_TRUE(CString("B") < CString("a"));
    EXPECT_TRUE(CString("abc") == "abc");
    EXPECT_TRUE("abd" != CString("abc"));
}

TEST(CString, CompareNoCaseNStopsAfterNCharactersOrAtTheEnd)
{
    EXPECT_EQ(AsciiCompareNoCaseN("HELLO world", "hello there", 6), 0);
    EXPECT_GT(AsciiCompareNoCaseN("HELLO world", "hello there", 7), 0);
    EXPECT_EQ(AsciiCompareNoCaseN("abc", "xyz", 0), 0);
    EXPECT_EQ(AsciiCompareNoCaseN("Ab", "aB", 50), 0);
    EXPECT_LT(AsciiCompareNoCaseN("ab", "abc", 50), 0);
}

TEST(CString, AsciiCaseHelpersTouchOnlyAsciiLetters)
{
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool isUpper = b >= 'A' && b <= 'Z';
        const bool isLower = b >= 'a' && b <= 'z';
        EXPECT_EQ(AsciiToLower(c), isUpper ? static_cast<char>(b + 32) : c) << b;
        EXPECT_EQ(AsciiToUpper(c), isLower ? static_cast<char>(b - 32) : c) << b;
    }
}

// Whole-string case changes follow the ANSI code page, so accented letters
// change too. The host build uses Windows-1252; a Windows run checks the same
// table when its code page is 1252.
TEST(CString, MakeUpperAndMakeLowerFollowTheAnsiCodePage)
{
#ifdef _WIN32
    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not 1252";
#endif
    // Upper/lower pairs of Windows-1252; every other byte keeps its value,
    // among them the multiplication and division signs (0xD7, 0xF7), sharp s
    // (0xDF) and micro sign (0xB5), which have no partner in the code page.
    std::vector<std::pair<int, int>> pairs = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
    for (int b = 'A'; b <= 'Z'; ++b)
        pairs.push_back({b, b + 32});
    for (int b = 0xC0; b <= 0xDE; ++b)
        if (b != 0xD7)
            pairs.push_back({b, b + 32});
    int upperOf[256], lowerOf[256];
    for (int b = 0; b < 256; ++b)
        upperOf[b] = lowerOf[b] = b;
    for (const auto &p : pairs) {
        upperOf[p.second] = p.first;
        lowerOf[p.first] = p.second;
    }

    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    CString upper(all.c_str()), lower(all.c_str());
    upper.MakeUpper();
    lower.MakeLower();
    ASSERT_EQ(upper.GetLength(), 255);
    ASSERT_EQ(lower.GetLength(), 255);
    for (int b = 1; b < 256; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(upper[b - 1]), upperOf[b]) << "MakeUpper of 0x" << std::hex << b;
        EXPECT_EQ(static_cast<unsigned char>(lower[b - 1]), lowerOf[b]) << "MakeLower of 0x" << std::hex << b;
    }

    CString word("\xC9" "cole \x8Akoda na\xEFve \xDF\xB5");
    EXPECT_STREQ(word.MakeUpper(), "\xC9" "COLE \x8AKODA NA\xCFVE \xDF\xB5");
    EXPECT_STREQ(word.MakeLower(), "\xE9" "cole \x9Akoda na\xEFve \xDF\xB5");

    CString empty;
    EXPECT_STREQ(empty.MakeUpper(), "");
    EXPECT_STREQ(empty.MakeLower(), "");
    CString s("abc");
    EXPECT_STREQ(s.MakeReverse(), "cba");
}

TEST(CString, TrimRemovesCWhiteSpaceOnly)
{
    const std::string high(kHighBytes);
    struct Case {
        std::string in;
        std::string both;
        std::string left;
        std::string right;
    } const cases[] = {
        {" \t\n\v\f\rab c \t\n\v\f\r", "ab c", "ab c \t\n\v\f\r", " \t\n\v\f\rab c"},
        {"   ", "", "", ""},
        {"", "", "", ""},
        {"x", "x", "x", "x"},
        // No-break space and NEL are not white space in the C locale.
        {high + " a " + high, high + " a " + high, high + " a " + high, high + " a " + high},
        {" " + high + " ", high, high + " ", " " + high},
    };
    for (const Case &c : cases) {
        CString both(c.in.c_str()), left(c.in.c_str()), right(c.in.c_str());
        EXPECT_EQ(both.Trim().Str(), c.both) << '"' << c.in << '"';
        EXPECT_EQ(left.TrimLeft().Str(), c.left) << '"' << c.in << '"';
        EXPECT_EQ(right.TrimRight().Str(), c.right) << '"' << c.in << '"';
    }
}

TEST(CString, TrimTargetsRemovesOnlyThoseCharacters)
{
    CString s("xxyabcyx");
    EXPECT_STREQ(s.Trim("xy"), "abc");
    s = "--a--";
    EXPECT_STREQ(s.TrimLeft('-'), "a--");
    EXPECT_STREQ(s.TrimRight('-'), "a");
    s = "..";
    EXPECT_STREQ(s.Trim('.'), "");
    s = " a ";
    EXPECT_STREQ(s.Trim(""), " a ");
    EXPECT_STREQ(s.Trim(static_cast<const char *>(nullptr)), " a ");
    EXPECT_STREQ(s.Trim('\0'), " a ");
}

TEST(CString, ReplaceTextScansLeftToRightWithoutOverlap)
{
    struct Case {
        const char *in;
        const char *from;
        const char *to;
        const char *out;
        int count;
    } const cases[] = {
        {"aaaa", "aa", "b", "bb", 2},
        {"aaa", "aa", "b", "ba", 1},
        {"abab", "aba", "x", "xb", 1},
        {"a.b.c", ".", "::", "a::b::c", 2},
        // The result is not scanned again, so this cannot run away.
        {"aa", "a", "aa", "aaaa", 2},
        {"a-b-", "-", "", "ab", 2},
        {"a-b-", "-", nullptr, "ab", 2},
        {"abc", "x", "y", "abc", 0},
        {"abc", "", "y", "abc", 0},
        {"abc", nullptr, "y", "abc", 0},
        {"", "a", "b", "", 0},
        {"abc", "abc", "", "", 1},
        {"abc", "abcd", "", "abc", 0},
    };
    for (const Case &c : cases) {
        CString s(c.in);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.in << " / " << (c.from ? c.from : "(null)");
        EXPECT_STREQ(s, c.out) << c.in << " / " << (c.from ? c.from : "(null)");
    }
}

TEST(CString, ReplaceAndRemoveCharactersCountChanges)
{
    CString s("a,b,,c");
    EXPECT_EQ(s.Replace(',', ';'), 3);
    EXPECT_STREQ(s, "a;b;;c");
    EXPECT_EQ(s.Replace('x', 'y'), 0);
    EXPECT_EQ(s.Remove(';'), 3);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(s.Remove('x'), 0);
    EXPECT_STREQ(s, "abc");
}

TEST(CString, InsertClampsTheIndex)
{
    struct Case {
        int index;
        const char *withText;
        const char *withChar;
    } const cases[] = {
        {0, "XYabc", "Xabc"}, {1, "aXYbc", "aXbc"}, {3, "abcXY", "abcX"},
        {99, "abcXY", "abcX"}, {-5, "XYabc", "Xabc"},
    };
    for (const Case &c : cases) {
        CString s("abc");
        EXPECT_EQ(s.Insert(c.index, "XY"), 5) << c.index;
        EXPECT_STREQ(s, c.withText) << c.index;
        CString t("abc");
        EXPECT_EQ(t.Insert(c.index, 'X'), 4) << c.index;
        EXPECT_STREQ(t, c.withChar) << c.index;
    }
    CString s("abc");
    EXPECT_EQ(s.Insert(1, static_cast<const char *>(nullptr)), 3);
    EXPECT_EQ(s.Insert(1, s.GetString()), 6);
    EXPECT_STREQ(s, "aabcbc");
}

TEST(CString, DeleteClampsIndexAndCount)
{
    struct Case {
        int index;
        int count;
        const char *out;
    } const cases[] = {
        {0, 1, "bcdef"},
        {2, 2, "abef"},
        {4, 99, "abcd"},
        {1, 0x7FFFFFFF, "a"},
        {2, 0, "abcdef"},
        {2, -3, "abcdef"},
        {6, 1, "abcdef"},
        {99, 1, "abcdef"},
        // A negative index counts from the start, like every other index.
        {-1, 2, "cdef"},
        {-1, 99, ""},
    };
    for (const Case &c : cases) {
        CString s("abcdef");
        const int length = s.Delete(c.index, c.count);
        EXPECT_STREQ(s, c.out) << c.index << "," << c.count;
        EXPECT_EQ(length, s.GetLength()) << c.index << "," << c.count;
    }
    CString one("ab");
    one.Delete(0);
    EXPECT_STREQ(one, "b");
}

TEST(CString, TokenizeSkipsDelimiterRunsAtBothEnds)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(AllTokens("a,b", ","), (V{"a", "b"}));
    EXPECT_EQ(AllTokens(",,a,,b,,", ","), (V{"a", "b"}));
    EXPECT_EQ(AllTokens("a b\tc", " \t"), (V{"a", "b", "c"}));
    EXPECT_EQ(AllTokens("x", ","), (V{"x"}));
    EXPECT_EQ(AllTokens(",", ","), V{});
    EXPECT_EQ(AllTokens(",,,", ","), V{});
    EXPECT_EQ(AllTokens("", ","), V{});
    // Without delimiters the whole rest is one token.
    EXPECT_EQ(AllTokens("a,b", ""), (V{"a,b"}));
    EXPECT_EQ(AllTokens("a,b", nullptr), (V{"a,b"}));
}

TEST(CString, TokenizeFromAnyStartPosition)
{
    const CString s("ab,cd");
    int pos = 1;
    EXPECT_STREQ(s.Tokenize(",", pos), "b");
    EXPECT_EQ(pos, 3);
    pos = 2;
    EXPECT_STREQ(s.Tokenize(",", pos), "cd");
    pos = 4;
    EXPECT_STREQ(s.Tokenize(",", pos), "d");

    for (int bad : {-1, 5, 99}) {
        pos = bad;
        EXPECT_STREQ(s.Tokenize(",", pos), "") << bad;
        EXPECT_EQ(pos, -1) << bad;
    }
}

TEST(CString, FormatBuildsAnyLength)
{
    CString s("old");
    s.Format("%d-%s-%c-%05.1f-%x", -42, "ab", 'z', 3.14159, 255u);
    EXPECT_STREQ(s, "-42-ab-z-003.1-ff");

    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());

    const std::string big(5000, 'q');
    s.Format("<%s>%*d", big.c_str(), 3000, 7);
    ASSERT_EQ(s.GetLength(), 1 + 5000 + 1 + 3000);
    EXPECT_STREQ(s.Left(6), "<qqqqq");
    EXPECT_STREQ(s.Mid(5000, 3), "q> ");
    EXPECT_STREQ(s.Right(2), " 7");

    s = "abc";
    s.Format("%s%s", s.GetString(), s.GetString());
    EXPECT_STREQ(s, "abcabc");

    const unsigned long long large = 12345678901234567890ull;
    const size_t count = 3000000000u;
    s.Format("%llu %lld %zu", large, -1234567890123ll, count);
    EXPECT_STREQ(s, "12345678901234567890 -1234567890123 3000000000");
}

TEST(CString, AppendFormatKeepsTheExistingText)
{
    CString s("n=");
    s.AppendFormat("%d", 5);
    s.AppendFormat("%s", "");
    s.AppendFormat(",%s", s.GetString());
    EXPECT_STREQ(s, "n=5,n=5");

    CString t;
    const std::string big(4000, 'w');
    t.AppendFormat("%s", big.c_str());
    t.AppendFormat("%s!", big.c_str());
    EXPECT_EQ(t.GetLength(), 8001);
    EXPECT_STREQ(t.Right(2), "w!");
}

TEST(CString, ReleaseBufferMinusOneStopsAtTheFirstZeroByte)
{
    CString s;
    char *p = s.GetBuffer(10);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "ab\0cd", 6);
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_STREQ(s, "ab");

    // A buffer filled to the last character (the terminator slot is beyond).
    p = s.GetBuffer(4);
    std::memcpy(p, "wxyz", 5);
    s.ReleaseBuffer(-1);
    EXPECT_STREQ(s, "wxyz");
}

TEST(CString, GetBufferKeepsTheTextAndReleaseBufferSetsTheLength)
{
    CString empty;
    char *p = empty.GetBuffer(0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], '\0');
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());

    CString s("hello");
    p = s.GetBuffer(2);  // smaller than the text: nothing is lost
    EXPECT_STREQ(p, "hello");
    p[0] = 'j';
    s.ReleaseBuffer();
    EXPECT_STREQ(s, "jello");

    p = s.GetBuffer(8);
    EXPECT_EQ(std::string(p, 5), "jello");
    p[5] = '!';
    s.ReleaseBuffer(6);
    EXPECT_STREQ(s, "jello!");

    s.GetBuffer(0);
    s.ReleaseBuffer(99);  // longer than the buffer: keeps what is there
    EXPECT_STREQ(s, "jello!");
    s.GetBuffer(0);
    s.ReleaseBuffer(3);
    EXPECT_STREQ(s, "jel");

    p = s.GetBufferSetLength(5);
    EXPECT_EQ(s.GetLength(), 5);
    std::memcpy(p, "12345", 5);
    s.ReleaseBuffer(5);
    EXPECT_STREQ(s, "12345");
    s.GetBufferSetLength(-2);
    EXPECT_TRUE(s.IsEmpty());
}

// Short texts live inside the object and longer ones on the heap; every
// operation must give the same text on either side of that limit and when
// it crosses it, also when the argument is the string itself.
TEST(CString, TextsAcrossTheInlineLimitBehaveAlike)
{
    EXPECT_LE(sizeof(CString), 3 * sizeof(void *));
    for (size_t n : {0u, 1u, 9u, 10u, 11u, 21u, 22u, 23u, 24u, 45u, 300u}) {
        SCOPED_TRACE(n);
        std::string model;
        for (size_t i = 0; i < n; ++i)
            model += static_cast<char>('a' + i % 26);
        CString s(model.c_str());
        ASSERT_EQ(s.Str(), model);
        ASSERT_EQ(s.GetString()[n], '\0');

        CString grown(s);
        grown += grown;  // itself
        grown.Insert(1, grown.GetString() + (n > 2 ? 2 : 0));  // a pointer into itself
        std::string expect = model + model;
        expect.insert(n ? 1 : 0, expect.substr(n > 2 ? 2 : 0));
        EXPECT_EQ(grown.Str(), expect);

        CString chars;
        for (char c : model)
            chars.AppendChar(c);
        EXPECT_EQ(chars, s);
        chars.Delete(0, static_cast<int>(n / 2));
        EXPECT_EQ(chars.Str(), model.substr(n / 2));

        CString moved(std::move(grown));
        CString assigned;
        assigned = moved;
        moved = CString("x");
        EXPECT_EQ(assigned.Str(), expect);
        EXPECT_EQ(moved.Str(), "x");
        assigned = assigned.Mid(1);  // from itself, shrinking
        EXPECT_EQ(assigned.Str(), expect.empty() ? "" : expect.substr(1));

        CString replaced(s);
        replaced.Replace("a", "AAAA");
        std::string r;
        for (char c : model)
            r += c == 'a' ? std::string("AAAA") : std::string(1, c);
        EXPECT_EQ(replaced.Str(), r);
        replaced.Empty();
        EXPECT_TRUE(replaced.IsEmpty());
        EXPECT_STREQ(replaced.GetString(), "");

        CString buffer(s);
        char *raw = buffer.GetBuffer(static_cast<int>(n) + 30);
        std::memcpy(raw + n, "+tail", 6);
        buffer.ReleaseBuffer();
        EXPECT_EQ(buffer.Str(), model + "+tail");
    }
}
