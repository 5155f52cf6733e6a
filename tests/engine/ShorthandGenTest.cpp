#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EngineSettings.h"
#include "SharedSection.h"
#include "ShorthandGen.h"

namespace {
class ShorthandGen : public ::testing::Test {
protected:
    void SetUp() override { std::memcpy(m_nonDelimiter, NonDelimiter, sizeof m_nonDelimiter); }
    void TearDown() override
    {
        std::memcpy(NonDelimiter, m_nonDelimiter, sizeof m_nonDelimiter);
        g_nShorthandGenMethod = m_method;
        g_strAutoGenRule = m_rule;
        g_strWordRule = m_wordRule;
        g_bAbbrWord = m_abbr;
    }

private:
    char m_nonDelimiter[sizeof NonDelimiter] = {};
    int m_method = g_nShorthandGenMethod, m_abbr = g_bAbbrWord;
    CString m_rule = g_strAutoGenRule, m_wordRule = g_strWordRule;
};
}  // namespace

TEST_F(ShorthandGen, RulesAndInitials)
{
    const struct {
        int method;
        const char *autoRule;
        const char *wordRule;
        BOOL abbrWord;
        const char *phrase;
        const char *name;
    } cases[] = {
        {1, "", "", FALSE, "read only memory", "romemo"},
        {1, "", "", FALSE, "  Read Only Memory  ", "romemo"},
        {1, "", "", FALSE, "don't stop", "dstop"},  // the apostrophe belongs to the word
        {0, "1~3;1~2;1;1;1;1;1", "", FALSE, "read only memory", "reaonm"},
        {0, "-1:1;csn(2)", "", FALSE, "operating system", "sopr"},  // an explicit word does not advance the count
        {0, "1~9", "", FALSE, "cat", "cat"},  // bounds lowered to the word's length
        {0, "4", "", FALSE, "cat", ""},
        {0, "-1", "", FALSE, "cat", "t"},
        {0, "-2~3", "", FALSE, "keyboard", "ar"},  // from the end, in the word's own order
        {0, "3~2,0,-,x", "", FALSE, "keyboard", ""},
        {0, "'x, 1 ,,csn(0)", "", FALSE, "Keyboard", "xkk"},
        {0, "2:1;1", "", FALSE, "alpha beta", "ba"},
        {0, "-5:1;9:1", "", FALSE, "alpha beta", ""},  // no such words
        {0, "1", "csn", TRUE, "keyboard", "kybrd"},     // the word rule for a single word
        {0, "1~2", "csn", TRUE, "key board", "ke"},      // the phrase rule for a phrase
        {0, "1", "csn", FALSE, "keyboard", "k"},
        {0, "1~99;1~99", "", FALSE, "Internationalization Internationalization", "internationalizatio"},
        {0, "1", "", FALSE, "   ", ""},
    };
    for (const auto &c : cases) {
        g_nShorthandGenMethod = c.method;
        g_strAutoGenRule = c.autoRule;
        g_strWordRule = c.wordRule;
        g_bAbbrWord = c.abbrWord;
        EXPECT_EQ(std::string(GenerateShorthand(c.phrase)), c.name) << c.phrase << " by " << c.autoRule;
    }
}

TEST_F(ShorthandGen, OwnWordCharactersLeaveTheSharedOnesAlone)
{
    SetSharedString(NonDelimiter, "-_");
    char before[sizeof NonDelimiter];
    std::memcpy(before, NonDelimiter, sizeof before);
    g_nShorthandGenMethod = 1;
    // '-' is a word character of the user's, not of generation.
    EXPECT_EQ(std::string(GenerateShorthand("wi-fi router")), "wfrout");
    EXPECT_EQ(std::memcmp(before, NonDelimiter, sizeof before), 0);
    // Outside generation the user's word characters count.
    EXPECT_EQ(std::string(GetWordAt("the wi-fi router", 1)), "wi-fi");
}

TEST_F(ShorthandGen, WordsAndConsonants)
{
    SetSharedString(NonDelimiter, "");
    EXPECT_EQ(std::string(GetWordAt("one, two  three", 1)), "two");
    EXPECT_EQ(std::string(GetWordAt("one, two  three", 3)), "");
    EXPECT_EQ(std::string(GetWordAt("caf\xE9 au lait", 0)), "caf\xE9");

    const struct {
        const char *word;
        int limit;
        const char *result;
    } cases[] = {
        {"apple", 0, "a"}, {"Yellow", -1, "yllw"}, {"operating", 2, "opr"}, {"", -1, ""},
        {"strength", 3, "strn"}, {"a1b2c", -1, "abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::string(DropVowels(c.word, c.limit)), c.result) << c.word << " " << c.limit;
}
