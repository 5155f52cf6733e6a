#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Candidates.h"
#include "SharedSection.h"

namespace {

const int64_t kNow = 1700000000;  // a clock reading in 2023

// Saves every global the tests change and restores it, with both lists
// emptied, afterwards.
class CandidatesGlobals : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memcpy(m_nonDelimiter, NonDelimiter, sizeof(m_nonDelimiter));
        g_tNow = kNow;
        EmptyLists();
    }
    void TearDown() override
    {
        g_nPromptNum = m_promptNum;
        g_fFreqVsTime = m_freqVsTime;
        g_nMinPromptLen = m_minPromptLen;
        g_chShorthandTag = m_tag;
        g_tNow = m_now;
        std::memcpy(NonDelimiter, m_nonDelimiter, sizeof(m_nonDelimiter));
        EmptyLists();
        g_nLastWordCandidate = m_lastWord;
        g_nLastShCandidate = m_lastSh;
    }

    static void EmptyLists()
    {
        for (int i = 0; i < MAX_CANDIDATES; ++i) {
            InitWordCandidate(g_WordCandidates[i]);
            InitShCandidate(g_ShCandidates[i]);
        }
        g_nLastWordCandidate = -1;
        g_nLastShCandidate = -1;
    }

    static WRecord_X Word(const char *text, int count, int age = 100, int memoOffset = 0)
    {
        WRecord_X r;
        r.word = text;
        r.useCount = count;
        r.lastUsed = static_cast<int>(kNow - age);
        r.memoOffset = memoOffset;
        return r;
    }

    static SHRecord_X Shorthand(const char *name, const char *expansion, int count, int age = 100)
    {
        SHRecord_X r;
        std::strncpy(r.name, name, SH_NAME_SIZE - 1);
        r.expansion = expansion;
        r.useCount = count;
        r.lastUsed = static_cast<int>(kNow - age);
        return r;
    }

    static std::vector<std::string> ListedWords()
    {
        std::vector<std::string> words;
        for (int i = 0; i <= g_nLastWordCandidate; ++i)
            words.push_back(g_WordCandidates[i].word.GetString());
        return words;
    }

private:
    int m_promptNum = g_nPromptNum;
    float m_freqVsTime = g_fFreqVsTime;
    int m_minPromptLen = g_nMinPromptLen;
    char m_tag = g_chShorthandTag;
    int64_t m_now = g_tNow;
    int m_lastWord = g_nLastWordCandidate;
    int m_lastSh = g_nLastShCandidate;
    char m_nonDelimiter[sizeof(NonDelimiter)] = {};
};

class CandidatesRank : public CandidatesGlobals {};
class CandidatesList : public CandidatesGlobals {};
class CandidatesText : public CandidatesGlobals {};

}  // namespace

// ---------------------------------------------------------------------------
// Ranking

TEST_F(CandidatesRank, ExactPrefixFirstThenCaseInsensitiveWhateverTheUse)
{
    const WRecord_X exact = Word("New", 1, 100000);
    const WRecord_X folded = Word("new", 500, 10);
    const WRecord_X longer = Word("newer", 9000, 1);
    for (float f : {-1.0f, 0.0f, 0.5f, 2.0f}) {
        g_fFreqVsTime = f;
        EXPECT_GT(CompareWordRank(exact, folded, "New"), 0) << f;
        EXPECT_LT(CompareWordRank(folded, exact, "New"), 0) << f;
        EXPECT_GT(CompareWordRank(folded, longer, "New"), 0) << f;
        EXPECT_GT(CompareWordRank(exact, longer, "New"), 0) << f;
        EXPECT_LT(CompareWordRank(longer, exact, "New"), 0) << f;
    }
}

TEST_F(CandidatesRank, CountOnlyAndRecencyOnly)
{
    const WRecord_X often = Word("often", 50, 100000);
    const WRecord_X recent = Word("recent", 2, 10);
    g_fFreqVsTime = -1;
    EXPECT_EQ(CompareWordRank(often, recent, "x"), 1);
    EXPECT_EQ(CompareWordRank(recent, often, "x"), -1);
    g_fFreqVsTime = 0;
    EXPECT_EQ(CompareWordRank(recent, often, "x"), 1);
    EXPECT_EQ(CompareWordRank(often, recent, "x"), -1);

    // A word count read back negative is a very large unsigned count.
    g_fFreqVsTime = -1;
    EXPECT_EQ(CompareWordRank(Word("w", -1), Word("w", 5), "x"), 1);
}

TEST_F(CandidatesRank, EqualRankPutsTheLaterWordFirst)
{
    for (float f : {-1.0f, 0.0f, 0.5f}) {
        g_fFreqVsTime = f;
        EXPECT_EQ(CompareWordRank(Word("banana", 3), Word("apple", 3), "x"), 1) << f;
        EXPECT_EQ(CompareWordRank(Word("apple", 3), Word("banana", 3), "x"), -1) << f;
        // Equal but for case: the byte order decides ('w' after 'W').
        EXPECT_EQ(CompareWordRank(Word("word", 3), Word("Word", 3), "x"), 1) << f;
        EXPECT_EQ(CompareWordRank(Word("same", 3), Word("same", 3), "x"), 0) << f;
    }
}

TEST_F(CandidatesRank, RecencyAcrossTheWrapOfTheLowClockBits)
{
    g_fFreqVsTime = 0;
    g_tNow = 0x80000010LL;  // low 32 bits past the signed maximum
    WRecord_X older = Word("older", 1), newer = Word("newer", 1);
    older.lastUsed = 0x7FFFFFF0;                     // 32 s ago
    newer.lastUsed = static_cast<int>(0x80000000u - 0x100000000LL);  // 16 s ago, negative as int
    EXPECT_EQ(CompareWordRank(newer, older, "x"), 1);
    EXPECT_EQ(CompareWordRank(older, newer, "x"), -1);

    g_fFreqVsTime = 1;  // same counts: the shorter age wins the formula too
    EXPECT_EQ(CompareWordRank(newer, older, "x"), 1);
}

TEST_F(CandidatesRank, CountPowerOverAgeWithTolerance)
{
    // x = (countA / countB)^F / ageA * ageB - 1; equal words, so 0 means the
    // formula itself found them equal.
    const struct {
        float f;
        int countA, ageA, countB, ageB;
        int expected;
    } cases[] = {
        {1.0f, 4, 200, 1, 100, 1},          // 4/200*100 - 1 = 1
        {0.5f, 4, 200, 1, 100, 0},          // 2/200*100 - 1 = 0
        {0.25f, 4, 200, 1, 100, -1},        // 1.414/2 - 1 = -0.29
        {2.0f, 3, 900, 1, 100, 0},          // 9/900*100 - 1 = 0 (rounding stays inside the tolerance)
        {-0.5f, 4, 100, 1, 100, -1},        // 0.5 - 1
        {1.0f, 1, 20000, 1, 20001, 0},      // +0.00005 is inside the tolerance
        {1.0f, 1, 20000, 1, 20003, 1},      // +0.00015
        {1.0f, 1, 20003, 1, 20000, -1},     // -0.00015
        {0.5f, 1, 100, 0, 100, 1},          // count ratio infinite
        {0.5f, 0, 100, 0, 100, -1},         // 0/0: not a number
        {0.5f, 1, 0, 1, 100, 1},            // used this very second: one second old
        {0.5f, 1, 0, 1, 0, 0},              // both used this second: the same age
        {0.5f, 1, 0, 1, 1, 0},
        {1.0f, 1, -5, 1, 100, 1},           // stamped ahead of the clock: one second old too
    };
    for (const auto &c : cases) {
        g_fFreqVsTime = c.f;
        EXPECT_EQ(CompareWordRank(Word("same", c.countA, c.ageA), Word("same", c.countB, c.ageB), "x"),
                  c.expected)
            << "F " << c.f << " counts " << c.countA << "/" << c.countB << " ages " << c.ageA << "/" << c.ageB;
    }
    // Not a number ranks neither record above the other, whatever the words.
    g_fFreqVsTime = 0.5f;
    EXPECT_EQ(CompareWordRank(Word("b", 0), Word("a", 0), "x"), -1);
    EXPECT_EQ(CompareWordRank(Word("a", 0), Word("b", 0), "x"), -1);
}

TEST_F(CandidatesRank, ShorthandNamedByTheWholeTokenFirst)
{
    g_fFreqVsTime = -1;
    const SHRecord_X whole = Shorthand("SIG", "x", 1);
    const SHRecord_X longer = Shorthand("signature", "x", 100);
    EXPECT_GT(CompareShRank(whole, longer, "sig"), 0);
    EXPECT_LT(CompareShRank(longer, whole, "sig"), 0);
    // Only a name after the token yields to the whole token; one before it
    // is ranked by use.
    EXPECT_LT(CompareShRank(whole, Shorthand("abc", "x", 100), "sig"), 0);

    // Counts are signed here.
    EXPECT_EQ(CompareShRank(Shorthand("a", "x", -1), Shorthand("b", "x", 5), "z"), -1);
    g_fFreqVsTime = 1;
    EXPECT_EQ(CompareShRank(Shorthand("a", "x", 4, 200), Shorthand("b", "x", 1, 100), "z"), 1);
    EXPECT_EQ(CompareShRank(Shorthand("a", "x", -4, 200), Shorthand("b", "x", 1, 100), "z"), -1);
}

TEST_F(CandidatesRank, ShorthandTieBrokenByNameThenExpansion)
{
    g_fFreqVsTime = 0.5f;
    EXPECT_EQ(CompareShRank(Shorthand("sigb", "a", 3), Shorthand("siga", "z", 3), "s"), 1);
    EXPECT_EQ(CompareShRank(Shorthand("sig", "Best", 3), Shorthand("sig", "best", 3), "s"), -1);
    EXPECT_EQ(CompareShRank(Shorthand("sig", "two", 3), Shorthand("sig", "one", 3), "s"), 1);
    EXPECT_EQ(CompareShRank(Shorthand("sig", "one", 3), Shorthand("sig", "one", 3), "s"), 0);
}

TEST_F(CandidatesRank, ShorthandNameFillingItsWholeFieldIsReadWithinIt)
{
    SHRecord_X full = Shorthand("", "x", 1);
    std::memset(full.name, 'b', SH_NAME_SIZE);  // no terminator
    full.memoOffset = 0x7A7A7A7A;               // "zzzz" right after the field
    const SHRecord_X other = Shorthand("bc", "x", 5);
    const CString token(std::string(SH_NAME_SIZE, 'b'));
    g_fFreqVsTime = -1;
    // Read within its field the name is the whole token and ranks first.
    EXPECT_EQ(CompareShRank(full, other, token), 1);
    EXPECT_EQ(CompareShRank(other, full, token), -1);
}

// ---------------------------------------------------------------------------
// Ranked lists

TEST_F(CandidatesList, KeepsTheBestPromptNumInRankOrder)
{
    g_fFreqVsTime = -1;
    for (int promptNum : {12, 3, 1, 256}) {
        g_nPromptNum = promptNum;
        EmptyLists();
        const int total = 300;
        for (int k = 0; k < total; ++k) {
            const int count = (k * 7919) % total + 1;  // each of 1..300 once, shuffled
            const WRecord_X rec = Word(("w" + std::to_string(count)).c_str(), count);
            AddWordCandidate(&rec, "w");
            ASSERT_LE(g_nLastWordCandidate, promptNum - 1);
        }
        ASSERT_EQ(g_nLastWordCandidate, promptNum - 1);
        for (int i = 0; i < promptNum; ++i)
            EXPECT_EQ(g_WordCandidates[i].useCount, total - i) << "PromptNum " << promptNum << " row " << i;
    }
}

TEST_F(CandidatesList, PromptNumBeyondTheCapacityIsClamped)
{
    g_fFreqVsTime = -1;
    g_nPromptNum = 1000;
    for (int count = 1; count <= 300; ++count) {
        const WRecord_X rec = Word("w", count);
        AddWordCandidate(&rec, "w");
        const SHRecord_X sh = Shorthand("s", "x", count);
        AddShCandidate(&sh, "s");
    }
    EXPECT_EQ(g_nLastWordCandidate, MAX_CANDIDATES - 1);
    EXPECT_EQ(g_nLastShCandidate, MAX_CANDIDATES - 1);
    EXPECT_EQ(g_WordCandidates[0].useCount, 300);
    EXPECT_EQ(g_WordCandidates[MAX_CANDIDATES - 1].useCount, 300 - MAX_CANDIDATES + 1);
    EXPECT_EQ(g_ShCandidates[MAX_CANDIDATES - 1].useCount, 300 - MAX_CANDIDATES + 1);

    // A count left from a larger setting is cut back to the new capacity.
    g_nPromptNum = 3;
    const WRecord_X low = Word("w", 0);
    AddWordCandidate(&low, "w");
    EXPECT_EQ(g_nLastWordCandidate, 2);
}

TEST_F(CandidatesList, NewCandidateGoesBelowItsEquals)
{
    g_fFreqVsTime = -1;
    g_nPromptNum = 3;
    for (int offset = 1; offset <= 4; ++offset) {
        const WRecord_X rec = Word("same", 5, 100, offset);
        AddWordCandidate(&rec, "s");
    }
    // The fourth equal did not enter the full list.
    ASSERT_EQ(g_nLastWordCandidate, 2);
    EXPECT_EQ(g_WordCandidates[0].memoOffset, 1);
    EXPECT_EQ(g_WordCandidates[1].memoOffset, 2);
    EXPECT_EQ(g_WordCandidates[2].memoOffset, 3);

    const WRecord_X better = Word("same", 6, 100, 9);
    AddWordCandidate(&better, "s");
    EXPECT_EQ(g_WordCandidates[0].memoOffset, 9);
    EXPECT_EQ(g_WordCandidates[1].memoOffset, 1);
    EXPECT_EQ(g_WordCandidates[2].memoOffset, 2);
}

TEST_F(CandidatesList, OrderForAPrefix)
{
    g_nPromptNum = 12;
    const WRecord_X words[] = {Word("their", 100), Word("The", 50), Word("the", 1),
                               Word("there", 200), Word("apple", 3), Word("cherry", 3),
                               Word("banana", 3)};
    g_fFreqVsTime = -1;
    for (const WRecord_X &w : words)
        AddWordCandidate(&w, "the");
    EXPECT_EQ(ListedWords(),
              (std::vector<std::string>{"the", "The", "there", "their", "cherry", "banana", "apple"}));

    EmptyLists();
    g_fFreqVsTime = 0;
    const WRecord_X recent[] = {Word("a1", 9, 300), Word("a2", 1, 10), Word("a3", 5, 20)};
    for (const WRecord_X &w : recent)
        AddWordCandidate(&w, "a");
    EXPECT_EQ(ListedWords(), (std::vector<std::string>{"a2", "a3", "a1"}));
}

// A record used in the current second counts as one second old: records all
// used this second rank by their counts instead of all scoring alike, and a
// record just used still wins over older ones by its small age.
TEST_F(CandidatesList, RecordsUsedThisSecondRankByCount)
{
    g_nPromptNum = 12;
    const struct {
        float f;
        std::vector<WRecord_X> records;
        std::vector<std::string> expected;
    } cases[] = {
        {0.5f, {Word("a1", 1, 0), Word("a9", 9, 0), Word("a4", 4, 0)}, {"a9", "a4", "a1"}},
        {2.0f, {Word("b3", 3, 0), Word("b7", 7, 0), Word("b5", 5, 0)}, {"b7", "b5", "b3"}},
        // Used now and a second ago: the same age.
        {1.0f, {Word("c2", 2, 0), Word("c6", 6, 1)}, {"c6", "c2"}},
        // Older records keep their order: count^F / age.
        {1.0f, {Word("d1", 1, 0), Word("d50", 50, 100), Word("d8", 8, 4)}, {"d8", "d1", "d50"}},
        {0.5f, {Word("e4", 4, 200), Word("e1", 1, 90), Word("e9", 9, 2000)}, {"e1", "e4", "e9"}},
    };
    for (const auto &c : cases) {
        EmptyLists();
        g_fFreqVsTime = c.f;
        for (const WRecord_X &w : c.records)
            AddWordCandidate(&w, "x");
        EXPECT_EQ(ListedWords(), c.expected) << "F " << c.f << " first " << c.expected[0];
    }
    // Shorthands share the formula.
    g_fFreqVsTime = 0.5f;
    EXPECT_EQ(CompareShRank(Shorthand("a", "x", 9, 0), Shorthand("b", "x", 1, 0), "z"), 1);
    EXPECT_EQ(CompareShRank(Shorthand("a", "x", 1, 0), Shorthand("b", "x", 9, 0), "z"), -1);
}

TEST_F(CandidatesList, ShortWordsAreNotOffered)
{
    g_fFreqVsTime = -1;
    g_nMinPromptLen = 4;
    const WRecord_X shortWord = Word("abc", 9), longEnough = Word("abcd", 1);
    AddWordCandidate(&shortWord, "a");
    AddWordCandidate(&longEnough, "a");
    EXPECT_EQ(ListedWords(), std::vector<std::string>{"abcd"});

    g_nMinPromptLen = -1;  // as an unsigned length: nothing is long enough
    const WRecord_X longer = Word("abcdefgh", 20);
    AddWordCandidate(&longer, "a");
    EXPECT_EQ(ListedWords(), std::vector<std::string>{"abcd"});

    // Shorthands have no length limit.
    g_nMinPromptLen = 4;
    const SHRecord_X sh = Shorthand("s", "", 1);
    AddShCandidate(&sh, "s");
    EXPECT_EQ(g_nLastShCandidate, 0);
}

TEST_F(CandidatesList, ShorthandsRankedAsTheyArrive)
{
    g_fFreqVsTime = -1;
    g_nPromptNum = 3;
    const SHRecord_X shs[] = {Shorthand("sigx", "a", 10), Shorthand("sig", "b", 1), Shorthand("sigy", "c", 20),
                              Shorthand("sigz", "d", 5)};
    for (const SHRecord_X &s : shs)
        AddShCandidate(&s, "sig");
    ASSERT_EQ(g_nLastShCandidate, 2);
    EXPECT_STREQ(g_ShCandidates[0].name, "sig");
    EXPECT_STREQ(g_ShCandidates[1].name, "sigy");
    EXPECT_STREQ(g_ShCandidates[2].name, "sigx");
    EXPECT_EQ(g_ShCandidates[2].expansion, "a");
}

TEST_F(CandidatesList, RecordTakenFromTheListsWorkSpace)
{
    g_fFreqVsTime = -1;
    g_nPromptNum = 4;
    for (int count : {30, 20, 10}) {
        const WRecord_X rec = Word(("c" + std::to_string(count)).c_str(), count);
        AddWordCandidate(&rec, "c");
    }
    // An entry past the last listed one, as a bucket rebuild may leave it.
    g_WordCandidates[3] = Word("c25", 25);
    AddWordCandidate(&g_WordCandidates[3], "c");
    EXPECT_EQ(ListedWords(), (std::vector<std::string>{"c30", "c25", "c20", "c10"}));
}

TEST_F(CandidatesList, ClearEmptiesThePromptNumFirstEntries)
{
    g_fFreqVsTime = -1;
    g_nPromptNum = 5;
    for (int count = 1; count <= 5; ++count) {
        const WRecord_X rec = Word("w", count, 100, count);
        AddWordCandidate(&rec, "w");
        const SHRecord_X sh = Shorthand("s", "x", count);
        AddShCandidate(&sh, "s");
    }
    g_nPromptNum = 3;
    ClearWordCandidates();
    ClearShCandidates();
    EXPECT_EQ(g_nLastWordCandidate, -1);
    EXPECT_EQ(g_nLastShCandidate, -1);
    for (int i = 0; i < 3; ++i) {
        const WRecord_X &w = g_WordCandidates[i];
        EXPECT_TRUE(w.word.IsEmpty() && w.useCount == 0 && w.lastUsed == 0 && w.memoOffset == 0 && w.useSeq == 0);
        const SHRecord_X &s = g_ShCandidates[i];
        EXPECT_TRUE(s.expansion.IsEmpty() && s.name[0] == 0 && s.useCount == 0 && s.lastUsed == 0);
    }
    EXPECT_EQ(g_WordCandidates[3].useCount, 2);  // beyond PromptNum: left alone
    EXPECT_EQ(g_ShCandidates[4].useCount, 1);
}

// ---------------------------------------------------------------------------
// Text helpers

TEST_F(CandidatesText, NumberedItemLabels)
{
    const struct {
        int row;
        const char *expected;
    } cases[] = {
        {0, "1. go"}, {8, "9. go"}, {9, "0. go"}, {10, "a. go"},
        {34, "y. go"}, {35, "*. go"}, {200, "*. go"}, {-1, "*. go"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatNumberedItem("go", c.row), c.expected) << c.row;
    EXPECT_EQ(FormatNumberedItem("", 0), "1. ");
}

TEST_F(CandidatesText, ShorthandToken)
{
    g_chShorthandTag = '$';
    SetSharedString(NonDelimiter, "-");
    const std::string twenty(20, 'k');
    const std::string nineteen(19, 'k');
    const struct {
        std::string text;
        const char *loose;   // stopAtDelimiter FALSE
        const char *strict;  // stopAtDelimiter TRUE
    } cases[] = {
        {"hello $sig", "sig", "sig"},
        {"$sig[Bob]", "sig", "sig"},
        {"see:sig", "see:sig", "sig"},
        {"wi-fi", "wi-fi", "wi-fi"},      // '-' is a NonDelimiter character
        {"a\xA0sig", "sig", "sig"},       // no-break space
        {"a\tsig", "sig", "sig"},
        {"sig", "sig", "sig"},
        {"sig ", "", ""},
        {"ab$", "", ""},
        {"abc]", "abc]", ""},             // no "[": the bracket belongs to the token
        {"[x]", "", ""},
        {"", "", ""},
        {nineteen, nineteen.c_str(), nineteen.c_str()},
        {twenty, "", ""},
        {"$" + twenty + "[x]", "", ""},
    };
    for (const auto &c : cases) {
        const CString text(c.text.c_str());
        EXPECT_EQ(GetShorthandToken(text, FALSE), c.loose) << c.text;
        EXPECT_EQ(GetShorthandToken(text, TRUE), c.strict) << c.text;
    }

    g_chShorthandTag = '#';
    EXPECT_EQ(GetShorthandToken("a#b$c", FALSE), "b$c");
}

TEST_F(CandidatesText, ShorthandArgumentsAndTrigger)
{
    g_chShorthandTag = '$';
    const struct {
        const char *text;
        const char *args;
        BOOL trigger;
    } cases[] = {
        {"$sig", "", TRUE},
        {"text $sig[Bob]", "Bob", TRUE},
        {"$sig[]", "", TRUE},
        {"$", "", TRUE},
        {"x$[y]", "y", TRUE},
        {"a[b[c]", "c", FALSE},
        {"sig", "", FALSE},
        {"$si g", "", FALSE},
        {"a$b.c", "", FALSE},
        {"$sig]", "", FALSE},
        {"$sig[x]y", "", FALSE},
        {"[x]", "x", FALSE},
        {"", "", FALSE},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(GetShorthandArgs(c.text), c.args) << c.text;
        EXPECT_EQ(EndsWithShorthandTrigger(c.text), c.trigger) << c.text;
    }

    g_chShorthandTag = '#';
    EXPECT_FALSE(EndsWithShorthandTrigger("$sig"));
    EXPECT_TRUE(EndsWithShorthandTrigger("#sig"));
}

TEST_F(CandidatesText, MatchedPrefixIsAWordAlignedTail)
{
    SetSharedString(NonDelimiter, "");
    const struct {
        const char *text;
        const char *word;
        const char *expected;
    } cases[] = {
        {"I like a ne", "a new day", "a ne"},
        {"hello wor", "World", "wor"},
        {"THE QU", "the quick", "THE QU"},
        {"abc", "abcdef", "abc"},
        {"new ", "new york", "new "},
        {"well, ba", "bar", "ba"},
        {"hello", "llo", ""},   // never from inside a word
        {"x y", "zzz", ""},
        {"", "a", ""},
        {"a", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetMatchedPrefix(c.text, c.word), c.expected) << c.text << " / " << c.word;
}

TEST_F(CandidatesText, DropFirstWord)
{
    SetSharedString(NonDelimiter, "");
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"a new day", "new day"},
        {"a, b", "b"},
        {"  lead", "lead"},
        {"caf\xE9 ole", "ole"},  // Latin-1 letters are word characters
        {"one", ""},
        {"one ", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DropFirstWord(c.text), c.expected) << c.text;
}
