#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BusyFeedback.h"
#include "CharClasses.h"
#include "SettingValues.h"
#include "SharedSection.h"

namespace {

// Sets the shared NonDelimiter list for one test and restores all 32 bytes.
class NonDelimiterScope {
public:
    explicit NonDelimiterScope(const char *value)
    {
        std::memcpy(m_saved, NonDelimiter, sizeof m_saved);
        SetSharedString(NonDelimiter, value);
    }
    ~NonDelimiterScope() { std::memcpy(NonDelimiter, m_saved, sizeof m_saved); }
    NonDelimiterScope(const NonDelimiterScope &) = delete;
    NonDelimiterScope &operator=(const NonDelimiterScope &) = delete;

private:
    char m_saved[sizeof NonDelimiter];
};

class ConcatenatorsScope {
public:
    explicit ConcatenatorsScope(const char *value) : m_saved(g_strWordConcatenators) { g_strWordConcatenators = value; }
    ~ConcatenatorsScope() { g_strWordConcatenators = m_saved; }
    ConcatenatorsScope(const ConcatenatorsScope &) = delete;
    ConcatenatorsScope &operator=(const ConcatenatorsScope &) = delete;

private:
    CString m_saved;
};

std::string Sorted(const char *text, int options)
{
    std::string buffer(text);
    SortLines(&buffer[0], options);
    return buffer;
}

std::string Transformed(void (*transform)(char *), const char *text)
{
    std::string buffer(text);
    transform(&buffer[0]);
    return buffer;
}

}  // namespace

// ---------------------------------------------------------------------------
// Character classes

TEST(CharClasses, WordCharsAreAsciiLettersDigitsLatin1ByFlagAndNonDelimiter)
{
    const NonDelimiterScope none("");
    struct Case {
        int c;
        BOOL plain;
        BOOL latin1;
    } const cases[] = {
        {'a', TRUE, TRUE},   {'z', TRUE, TRUE},   {'A', TRUE, TRUE},   {'Z', TRUE, TRUE},
        {'0', TRUE, TRUE},   {'9', TRUE, TRUE},   {'@', FALSE, FALSE}, {'[', FALSE, FALSE},
        {'`', FALSE, FALSE}, {'{', FALSE, FALSE}, {'/', FALSE, FALSE}, {':', FALSE, FALSE},
        {'_', FALSE, FALSE}, {'-', FALSE, FALSE}, {' ', FALSE, FALSE}, {0, FALSE, FALSE},
        {0xE9, FALSE, TRUE}, {0xC0, FALSE, TRUE}, {0xFF, FALSE, TRUE}, {0xBF, FALSE, FALSE},
        {0xD7, FALSE, FALSE}, {0xF7, FALSE, FALSE}, {0x80, FALSE, FALSE},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(IsWordChar(k.c, FALSE), k.plain) << k.c;
        EXPECT_EQ(IsWordChar(k.c, TRUE), k.latin1) << k.c;
        // A plain (possibly signed) char classifies like its byte value.
        EXPECT_EQ(IsWordChar(static_cast<char>(k.c), TRUE), k.latin1) << k.c;
        EXPECT_EQ(IsLatin1Letter(k.c), k.latin1 && !k.plain) << k.c;
    }

    {
        const NonDelimiterScope underscore("_\xB5");
        EXPECT_TRUE(IsWordChar('_', FALSE));
        EXPECT_TRUE(IsWordChar(static_cast<char>(0xB5), FALSE));
        EXPECT_FALSE(IsWordChar('-', TRUE));
        // The terminator of the list is not a member.
        EXPECT_FALSE(IsWordChar(0, TRUE));
    }
    EXPECT_FALSE(IsWordChar('_', TRUE));
}

TEST(CharClasses, NonDelimiterIsReadWithinItsArray)
{
    // Another process may have overwritten the terminator; only the first 31
    // bytes are the list (the sanitizer build catches a read past the array).
    const NonDelimiterScope scope("");
    std::memset(NonDelimiter, '#', sizeof NonDelimiter);
    EXPECT_TRUE(IsWordChar('#', FALSE));
    EXPECT_FALSE(IsWordChar('%', FALSE));
    EXPECT_EQ(CountWords("a#b %"), 1);
}

TEST(CharClasses, PrintableAndDelimiterChars)
{
    const NonDelimiterScope none("");
    struct Case {
        int c;
        BOOL printable;
        BOOL printableLatin1;
        BOOL delimiter;
    } const cases[] = {
        {' ', TRUE, TRUE, TRUE},      {',', TRUE, TRUE, TRUE},      {'\n', TRUE, TRUE, TRUE},
        {'\t', TRUE, TRUE, TRUE},     {'\r', TRUE, TRUE, TRUE},     {'~', TRUE, TRUE, TRUE},
        {'_', TRUE, TRUE, TRUE},      {'a', TRUE, TRUE, FALSE},     {'7', TRUE, TRUE, FALSE},
        {0x01, FALSE, FALSE, FALSE},  {0x0B, FALSE, FALSE, FALSE},  {0x0C, FALSE, FALSE, FALSE},
        {0x1F, FALSE, FALSE, FALSE},  {0x7F, FALSE, FALSE, FALSE},  {0x80, FALSE, FALSE, FALSE},
        {0xA0, FALSE, FALSE, FALSE},  {0xE9, FALSE, TRUE, FALSE},   {0xD7, FALSE, FALSE, FALSE},
        {0, FALSE, FALSE, FALSE},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(IsPrintableChar(k.c, FALSE), k.printable) << k.c;
        EXPECT_EQ(IsPrintableChar(k.c, TRUE), k.printableLatin1) << k.c;
        EXPECT_EQ(IsDelimiterChar(k.c), k.delimiter) << k.c;
    }
}

TEST(CharClasses, IdentifierAddressAndConcatenatorChars)
{
    const NonDelimiterScope none("");
    const ConcatenatorsScope concatenators(" &-");
    struct Case {
        int c;
        BOOL ident;
        BOOL identLatin1;
        BOOL address;
        BOOL wordOrConcat;
    } const cases[] = {
        {'a', TRUE, TRUE, TRUE, TRUE},     {'5', TRUE, TRUE, TRUE, TRUE},
        {'_', TRUE, TRUE, TRUE, FALSE},    {'.', FALSE, FALSE, TRUE, FALSE},
        {'@', FALSE, FALSE, TRUE, FALSE},  {'-', FALSE, FALSE, FALSE, TRUE},
        {' ', FALSE, FALSE, FALSE, TRUE},  {'&', FALSE, FALSE, FALSE, TRUE},
        {',', FALSE, FALSE, FALSE, FALSE}, {0xE9, FALSE, TRUE, FALSE, TRUE},
        {0xF7, FALSE, FALSE, FALSE, FALSE}, {0, FALSE, FALSE, FALSE, FALSE},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(IsIdentCharEx(k.c, FALSE), k.ident) << k.c;
        EXPECT_EQ(IsIdentCharEx(k.c, TRUE), k.identLatin1) << k.c;
        EXPECT_EQ(IsAddressChar(k.c), k.address) << k.c;
        EXPECT_EQ(IsWordOrConcatChar(k.c), k.wordOrConcat) << k.c;
    }
}

// ---------------------------------------------------------------------------
// Text tests

TEST(CharClasses, PrintableNumberAndLetterTexts)
{
    const ConcatenatorsScope concatenators(" &-");
    EXPECT_TRUE(IsPrintableText("", FALSE));
    EXPECT_TRUE(IsPrintableText("Hello, world!\r\n\t~", FALSE));
    EXPECT_FALSE(IsPrintableText("caf\xE9", FALSE));
    EXPECT_TRUE(IsPrintableText("caf\xE9", TRUE));
    EXPECT_FALSE(IsPrintableText("a\x01", TRUE));
    EXPECT_FALSE(IsPrintableText(CString("a\0b", 3), TRUE));

    EXPECT_TRUE(IsNumberText(""));
    EXPECT_TRUE(IsNumberText("1,234 567\t8"));
    EXPECT_FALSE(IsNumberText("1.5"));
    EXPECT_FALSE(IsNumberText("-1"));
    EXPECT_FALSE(IsNumberText("12a"));

    EXPECT_TRUE(IsLetterWord("Rock & Roll"));
    EXPECT_TRUE(IsLetterWord("d\xE9j\xE0-vu"));
    EXPECT_FALSE(IsLetterWord("R2-D2"));
    EXPECT_FALSE(IsLetterWord("don't"));
    EXPECT_FALSE(IsLetterWord("\xD7"));
    {
        const ConcatenatorsScope noConcatenators("");
        EXPECT_FALSE(IsLetterWord("Rock & Roll"));
    }
}

TEST(CharClasses, EndsWithDelimiterLooksAtTheLastCharacterOnly)
{
    const NonDelimiterScope none("");
    EXPECT_FALSE(EndsWithDelimiter(""));
    EXPECT_TRUE(EndsWithDelimiter("word "));
    EXPECT_TRUE(EndsWithDelimiter("word,"));
    EXPECT_TRUE(EndsWithDelimiter("x\n"));
    EXPECT_FALSE(EndsWithDelimiter(" word"));
    EXPECT_FALSE(EndsWithDelimiter("caf\xE9"));
    EXPECT_FALSE(EndsWithDelimiter("x\x80"));
}

TEST(CharClasses, PhrasesAreTextsWithNonWordCharsExceptAddresses)
{
    const NonDelimiterScope none("");
    struct Case {
        const char *text;
        BOOL phrase;
    } const cases[] = {
        {"john@example.com", FALSE}, {"www.example.org", FALSE}, {"New York", TRUE},
        {"well-known", TRUE},        {"a_b", TRUE},               {"hello", FALSE},
        {"caf\xE9", FALSE},          {"", FALSE},                 {"example.zzz", TRUE},
    };
    for (const Case &k : cases)
        EXPECT_EQ(HasNonWordChar(k.text), k.phrase) << k.text;

    const NonDelimiterScope underscore("_");
    EXPECT_FALSE(HasNonWordChar("a_b"));
}

TEST(CharClasses, CountWordsCountsRunsOfWordChars)
{
    const NonDelimiterScope none("");
    EXPECT_EQ(CountWords(""), 0);
    EXPECT_EQ(CountWords("a-b c"), 3);
    EXPECT_EQ(CountWords("  one,two  "), 2);
    EXPECT_EQ(CountWords("caf\xE9 au lait"), 3);
    EXPECT_EQ(CountWords("!?"), 0);
    const NonDelimiterScope dash("-");
    EXPECT_EQ(CountWords("a-b c"), 2);
}

TEST(CharClasses, CaseTestsOfTexts)
{
    struct Case {
        const char *text;
        BOOL upper;
        BOOL lower;
        BOOL capitalized;
    } const cases[] = {
        {"Hello", FALSE, FALSE, FALSE}, {"McDonald", FALSE, FALSE, TRUE}, {"iPod", FALSE, FALSE, TRUE},
        {"IBM", TRUE, FALSE, FALSE},    {"ibm", FALSE, TRUE, FALSE},      {"aB", FALSE, FALSE, TRUE},
        {"B", TRUE, FALSE, FALSE},      {"", TRUE, TRUE, FALSE},          {"123-!", TRUE, TRUE, FALSE},
        // Only ASCII letters have a case here.
        {"\xE9\xC9", TRUE, TRUE, FALSE}, {"a\xC9", FALSE, TRUE, FALSE},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(IsUpperCaseText(k.text), k.upper) << k.text;
        EXPECT_EQ(IsLowerCaseText(k.text), k.lower) << k.text;
        EXPECT_EQ(IsCapitalizedWord(k.text), k.capitalized) << k.text;
    }
}

TEST(CharClasses, BlankTextsHoldOnlyWhiteSpace)
{
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText(" \t\r\n\v\f"));
    EXPECT_FALSE(IsBlankText(" a "));
    EXPECT_FALSE(IsBlankText("\xA0"));
}

// ---------------------------------------------------------------------------
// Comparisons

TEST(CharClasses, CompareWordsFoldsAsciiToLowerCase)
{
    struct Case {
        const char *a;
        const char *b;
        int loose;
        int exact;
    } const cases[] = {
        {"apple", "Apple", 0, 1},
        {"Apple", "apple", 0, -1},
        {"apple", "apple", 0, 0},
        {"abc", "ABD", -1, -1},
        {"ab", "abc", -1, -1},
        {"", "", 0, 0},
        {"", "a", -1, -1},
        // Both sides fold to lower case, so '_' sorts before every letter.
        {"a_b", "aab", -1, -1},
        {"_x", "A", -1, -1},
        {"a_", "aB", -1, -1},
        // Bytes >= 0x80 are unsigned and not folded.
        {"\xE9", "z", 1, 1},
        {"\xE9", "\xC9", 1, 1},
        {"a\xE9", "A\xE9", 0, 1},
    };
    for (const Case &k : cases) {
        EXPECT_EQ(CompareWords(k.a, k.b, FALSE), k.loose) << k.a << " vs " << k.b;
        EXPECT_EQ(CompareWords(k.a, k.b, TRUE), k.exact) << k.a << " vs " << k.b;
        EXPECT_EQ(CompareWords(k.b, k.a, TRUE), -k.exact) << k.b << " vs " << k.a;
    }

    std::vector<std::string> words = {"apple", "aab", "APPLE", "_x", "Apple", "a_b", "b"};
    std::sort(words.begin(), words.end(),
              [](const std::string &a, const std::string &b) { return CompareWords(a.c_str(), b.c_str(), TRUE) < 0; });
    EXPECT_EQ(words, (std::vector<std::string>{"_x", "a_b", "aab", "APPLE", "Apple", "apple", "b"}));
}

TEST(CharClasses, CheckPrefixMatchFoldsAsciiLettersOnly)
{
    struct Case {
        const char *word;
        const char *prefix;
        int level;
    } const cases[] = {
        {"Card", "car", 1}, {"car", "CAR", 2},   {"ca", "car", 0},     {"card", "cat", 0},
        {"abc", "", 1},     {"", "", 2},         {"", "a", 0},
        // '[' and '{', '@' and '`' differ by the case bit but are not letters.
        {"a[", "A{", 0},    {"@x", "`", 0},      {"\xC9t\xE9", "\xE9", 0}, {"\xE9t\xE9", "\xE9T", 1},
    };
    for (const Case &k : cases)
        EXPECT_EQ(CheckPrefixMatch(k.word, k.prefix), k.level) << k.word << " / " << k.prefix;
}

TEST(CharClasses, GetMatchLevelAndSigns)
{
    EXPECT_EQ(GetMatchLevel("Paris", "Paris"), 2);
    EXPECT_EQ(GetMatchLevel("Paris", "paris"), 1);
    EXPECT_EQ(GetMatchLevel("Paris", "Pari"), 0);
    EXPECT_EQ(GetMatchLevel("", ""), 2);
    // Accented letters fold too (ANSI code page).
    EXPECT_EQ(GetMatchLevel("\xC9t\xE9", "\xE9T\xC9"), 1);
    EXPECT_EQ(GetMatchLevel("\xC9t\xE9", "et\xE9"), 0);

    struct FloatCase {
        float x;
        int sign;
    } const floats[] = {{1.0f, 1}, {0.0002f, 1}, {0.00005f, 0}, {0.0f, 0}, {-0.00005f, 0}, {-0.0002f, -1}, {-7.0f, -1}};
    for (const FloatCase &k : floats)
        EXPECT_EQ(FloatSign(k.x), k.sign) << k.x;
    EXPECT_EQ(IntSign(INT_MIN), -1);
    EXPECT_EQ(IntSign(-1), -1);
    EXPECT_EQ(IntSign(0), 0);
    EXPECT_EQ(IntSign(INT_MAX), 1);
}

// ---------------------------------------------------------------------------
// Transforms

TEST(CharClasses, ToUpperAsciiChangesOnlyAsciiLowerCase)
{
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(ToUpperAscii(c), (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : c) << b;
    }
}

TEST(CharClasses, NormalizeWordCaseKeepsInnerCapitals)
{
    struct Case {
        const char *in;
        const char *out;
    } const cases[] = {
        {"Hello", "hello"},       {"HELLO", "hello"},       {"iPod", "iPod"},
        {"McDonald", "McDonald"}, {"hELLO", "hELLO"},       {"A", "a"},
        {"", ""},                 {"X1", "x1"},             {"O'Neil", "O'Neil"},
        // Lower-casing follows the code page: accented capitals change too.
        {"\xC9", "\xE9"},         {"\xC9" "COLE", "\xE9" "cole"},
    };
    for (const Case &k : cases) {
        CString word(k.in);
        NormalizeWordCase(word);
        EXPECT_STREQ(word, k.out) << k.in;
    }
}

TEST(CharClasses, CapitalizeWordsUpperCasesWordStarts)
{
    const NonDelimiterScope none("");
    struct Case {
        const char *in;
        const char *out;
    } const cases[] = {
        {"hello world", "Hello World"},
        {"a_b", "A_B"},
        {"don't stop", "Don'T Stop"},
        {"x1 2y", "X1 2y"},
        {"\xE9t\xE9 bon", "\xE9t\xE9 Bon"},
        {"  (new) york", "  (New) York"},
        {"", ""},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Transformed(CapitalizeWords, k.in), k.out) << k.in;

    const NonDelimiterScope underscore("_");
    EXPECT_EQ(Transformed(CapitalizeWords, "a_b"), "A_b");
}

TEST(CharClasses, CapitalizeSentencesUpperCasesSentenceStarts)
{
    struct Case {
        const char *in;
        const char *out;
    } const cases[] = {
        {"hi. there!\nyes", "Hi. There!\nYes"},
        {"e.g.x", "E.g.x"},
        {"ok.  \"so\" he said? no", "Ok.  \"So\" he said? No"},
        {"wait...what", "Wait...what"},
        {"\nabc", "\nAbc"},
        {"a.b. c", "A.b. C"},
        {"1. item", "1. Item"},
        {"", ""},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Transformed(CapitalizeSentences, k.in), k.out) << k.in;
}

TEST(CharClasses, SortLinesHonoursItsOptions)
{
    struct Case {
        const char *in;
        int options;
        const char *out;
    } const cases[] = {
        // Byte order puts capitals first.
        {"pear\napple\nZebra", 0, "Zebra\napple\npear"},
        {"pear\napple\nZebra", SORTLINES_IGNORE_CASE, "apple\npear\nZebra"},
        {"pear\napple\nZebra", SORTLINES_DESCENDING, "pear\napple\nZebra"},
        {"pear\napple\nZebra", SORTLINES_IGNORE_CASE | SORTLINES_DESCENDING, "Zebra\npear\napple"},
        {"  pear\napple\n b", SORTLINES_SKIP_LEADING_SPACE, "apple\n b\n  pear"},
        {"  pear\napple\n b", 0, "  pear\n b\napple"},
        // Ignoring case folds to lower case: '_' comes before the letters.
        {"b\n_\nA", SORTLINES_IGNORE_CASE, "_\nA\nb"},
        {"b\n_\nA", 0, "A\n_\nb"},
        // Unsigned bytes: accented letters after ASCII.
        {"\xE9t\xE9\nzoo", 0, "zoo\n\xE9t\xE9"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Sorted(k.in, k.options), k.out) << k.in << " / " << k.options;
}

TEST(CharClasses, SortLinesKeepsEveryLineBreakInPlace)
{
    struct Case {
        const char *in;
        const char *out;
    } const cases[] = {
        {"pear\r\napple\r\nZebra\r\n", "Zebra\r\napple\r\npear\r\n"},
        {"pear\r\napple\r\nZebra", "Zebra\r\napple\r\npear"},
        {"pear\napple\nZebra\n", "Zebra\napple\npear\n"},
        // Mixed breaks: the i-th break of the result is the i-th of the text.
        {"b\r\nc\na\r\n", "a\r\nb\nc\r\n"},
        {"b\nc\r\na", "a\nb\r\nc"},
        // A CR is not part of its line: "a" sorts before "a\tb".
        {"a\r\na\tb\n", "a\r\na\tb\n"},
        {"a\tb\na\r\n", "a\na\tb\r\n"},
        // A lone CR is an ordinary character.
        {"b\ra\na", "a\nb\ra"},
        // Empty lines inside the text are lines; after a final break there is none.
        {"b\n\na", "\na\nb"},
        {"b\na\n\n", "\na\nb\n"},
        {"x", "x"},
        {"", ""},
        {"\n", "\n"},
        {"\r\n", "\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(Sorted(k.in, 0), k.out) << k.in;
}

TEST(CharClasses, SortLinesKeepsLengthBreaksAndLinesOfMixedTexts)
{
    std::mt19937 random(20240601);
    const char *const breaks[] = {"\n", "\r\n"};
    for (int round = 0; round < 50; ++round) {
        std::string text;
        std::vector<std::string> lines, breakOrder;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            std::string line;
            for (int n = static_cast<int>(random() % 5); n > 0; --n)
                line.push_back("aB_ \t\r\xE9z"[random() % 8]);
            if (!line.empty() && line.back() == '\r')
                line.back() = 'x';  // keep a CR of the content away from the break
            lines.push_back(line);
            text += line;
            // Breaks between lines, and sometimes one at the end.
            if (i + 1 < count || random() % 2) {
                breakOrder.push_back(breaks[random() % 2]);
                text += breakOrder.back();
            }
        }

        const std::string sorted = Sorted(text.c_str(), static_cast<int>(random() % 8));
        ASSERT_EQ(sorted.size(), text.size()) << text;

        std::vector<std::string> gotLines, gotBreaks;
        size_t start = 0;
        for (size_t i = 0; i < sorted.size(); ++i) {
            if (sorted[i] != '\n')
                continue;
            const bool crlf = i > start && sorted[i - 1] == '\r';
            gotLines.push_back(sorted.substr(start, i - start - (crlf ? 1 : 0)));
            gotBreaks.push_back(crlf ? "\r\n" : "\n");
            start = i + 1;
        }
        if (start < sorted.size() || gotBreaks.size() < lines.size())
            gotLines.push_back(sorted.substr(start));

        EXPECT_EQ(gotBreaks, breakOrder) << text;
        std::vector<std::string> want = lines;
        std::sort(want.begin(), want.end());
        std::sort(gotLines.begin(), gotLines.end());
        EXPECT_EQ(gotLines, want) << text;
    }
}

namespace {
std::vector<std::string> g_busyCalls;
void RecordCursor(BOOL on) { g_busyCalls.push_back(on ? "cursor on" : "cursor off"); }
void RecordMessage(const char *text) { g_busyCalls.push_back(std::string("message ") + text); }
}  // namespace

TEST(CharClassesBusyFeedback, SortLinesShowsTheWaitCursorAndMessage)
{
    static const BusyFeedbackHandler recorder = {RecordCursor, RecordMessage};
    g_busyCalls.clear();
    SetBusyFeedbackHandler(&recorder);
    EXPECT_EQ(Sorted("b\na", 0), "a\nb");
    SetBusyFeedbackHandler(nullptr);
    EXPECT_EQ(g_busyCalls, (std::vector<std::string>{"cursor on", "message Sorting lines...", "cursor off"}));

    // Without a handler the calls do nothing.
    g_busyCalls.clear();
    EXPECT_EQ(Sorted("b\na", 0), "a\nb");
    ShowWaitCursor(TRUE);
    SetWaitMessage("x");
    EXPECT_TRUE(g_busyCalls.empty());

    // A handler may leave out either function.
    static const BusyFeedbackHandler cursorOnly = {RecordCursor, nullptr};
    SetBusyFeedbackHandler(&cursorOnly);
    SetWaitMessage("x");
    ShowWaitCursor(FALSE);
    SetBusyFeedbackHandler(nullptr);
    EXPECT_EQ(g_busyCalls, (std::vector<std::string>{"cursor off"}));
}

TEST(CharClasses, CountTextStats)
{
    struct Case {
        const char *text;
        TextStats want;
    } const cases[] = {
        {"one two\nthree", {3, 2, 11, 13}},
        {"", {0, 1, 0, 0}},
        {"  a\t\tb  \n\n", {2, 3, 2, 10}},
        {"\r\n", {0, 2, 0, 2}},
        {"\xA0x, y", {2, 1, 4, 5}},
    };
    for (const Case &k : cases) {
        TextStats got = {-1, -1, -1, -1};
        CountTextStats(k.text, got);
        EXPECT_EQ(got.words, k.want.words) << k.text;
        EXPECT_EQ(got.lines, k.want.lines) << k.text;
        EXPECT_EQ(got.nonSpaceChars, k.want.nonSpaceChars) << k.text;
        EXPECT_EQ(got.chars, k.want.chars) << k.text;
    }
}

TEST(CharClasses, AppendWordCharDropsTheOldestCharacterWhenFull)
{
    // Exactly WORD_BUFFER_SIZE bytes on the heap, so any overrun is caught.
    std::vector<char> buffer(WORD_BUFFER_SIZE, 0);
    AppendWordChar(buffer.data(), 'a');
    EXPECT_STREQ(buffer.data(), "a");

    std::string full;
    for (int i = 0; i < WORD_BUFFER_SIZE - 2; ++i)
        full.push_back(static_cast<char>('a' + i % 26));
    std::memcpy(buffer.data(), full.c_str(), full.size() + 1);
    AppendWordChar(buffer.data(), 'X');
    full += 'X';
    ASSERT_EQ(std::strlen(buffer.data()), 258u);
    EXPECT_EQ(std::string(buffer.data()), full);

    AppendWordChar(buffer.data(), 'Y');
    ASSERT_EQ(std::strlen(buffer.data()), 258u);
    EXPECT_EQ(std::string(buffer.data()), full.substr(1) + 'Y');

    // A buffer without terminator counts as full and gets one back.
    std::memset(buffer.data(), 'q', buffer.size());
    buffer[0] = 'p';
    AppendWordChar(buffer.data(), 'Z');
    ASSERT_EQ(std::strlen(buffer.data()), 258u);
    EXPECT_EQ(std::string(buffer.data()), std::string(257, 'q') + 'Z');
}

// ---------------------------------------------------------------------------
// Paths

TEST(CharClasses, FullPathsAndChangedExtensions)
{
    struct Case {
        const char *path;
        BOOL full;
    } const cases[] = {
        {"C:x", TRUE}, {"c:", TRUE}, {"\\\\server\\share", TRUE}, {"libs\\user.lib", FALSE},
        {"\\libs", FALSE}, {"C", FALSE}, {"", FALSE}, {"/home/x", FALSE},
    };
    for (const Case &k : cases)
        EXPECT_EQ(IsFullPath(k.path), k.full) << k.path;

    EXPECT_STREQ(ChangeExtension("C:\\d\\user.lib", "txt"), "C:\\d\\user.txt");
    EXPECT_STREQ(ChangeExtension("name", "lib"), "name.lib");
    EXPECT_STREQ(ChangeExtension("C:\\dir.old\\file", "bak"), "C:\\dir.old\\file.bak");
}
