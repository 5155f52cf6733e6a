// What accepting an entry types, for word and shorthand entries, without a
// desktop.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AcceptPlan.h"
#include "EngineSettings.h"

namespace {
class AcceptPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tag = g_chShorthandTag;
        m_spaceAfterPunct = g_bSpaceAfterPunct;
        m_doubleSpace = g_bDoubleSpace;
        g_chShorthandTag = '$';
        g_bSpaceAfterPunct = 0;
        g_bDoubleSpace = 0;
    }
    void TearDown() override
    {
        g_chShorthandTag = m_tag;
        g_bSpaceAfterPunct = m_spaceAfterPunct;
        g_bDoubleSpace = m_doubleSpace;
    }
    // An entry chosen with the space bar as completion key.
    static AcceptInput BySpace(const char *typed, const char *entry, const char *key = "")
    {
        AcceptInput in;
        in.typed = typed;
        in.itemText = entry;
        in.itemKey = key;
        in.lastChar = ' ';
        in.keyDriven = TRUE;
        in.compWordKey = 32;
        return in;
    }

    char m_tag = '$';
    int m_spaceAfterPunct = 0;
    int m_doubleSpace = 0;
};

std::string S(const CString &s) { return std::string(s.GetString(), static_cast<size_t>(s.GetLength())); }
}  // namespace

TEST_F(AcceptPlanTest, WordEntries)
{
    struct Case {
        const char *name;
        const char *typed;
        const char *entry;
        bool appendSpace;
        const char *toType;
        int erase;
        bool learn;
        const char *currentWord;
    };
    const Case cases[] = {
        // The space chose the entry: only the missing letters, no space.
        {"rest only", "I like the", "their", false, "ir", 0, true, "I like their"},
        // An inner capital: the typed prefix is replaced by the entry's spelling.
        {"case differs", "I met mcd", "McDonald", false, "McDonald", 3, false, "I met McDonald"},
        // Typed in full: nothing of the word, but the space that chose it.
        {"already complete", "their", "their", false, " ", 0, true, "their"},
        {"append space", "the", "their", true, "ir ", 0, true, "their"},
        // "\ns" stops the automatic space and is never typed.
        {"no-space code", "hel", "hello\\ns", true, "lo", 0, true, "hello"},
        // A title keeps its name on the same line.
        {"title", "Mr", "Mr. Smith", false, ".\xA0Smith", 0, true, "Mr.\xA0Smith"},
        {"no-break space code", "new", "new\\hsyork", false, "\xA0york", 0, true, "new\xA0york"},
        {"no-break hyphen code", "well", "well\\hhknown", false, "-known", 0, true, "well-known"},
    };
    for (const Case &c : cases) {
        AcceptInput in = BySpace(c.typed, c.entry);
        in.appendSpace = c.appendSpace;
        const AcceptPlan plan = PlanAcceptedEntry(in);
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(plan.insert);
        EXPECT_FALSE(plan.shorthand);
        EXPECT_EQ(S(plan.toType), c.toType);
        EXPECT_EQ(plan.erase, c.erase);
        EXPECT_EQ(plan.caseDiffers, c.erase != 0);
        EXPECT_EQ(plan.learn, c.learn);
        EXPECT_EQ(S(plan.newCurrentWord), c.currentWord);
    }
}

TEST_F(AcceptPlanTest, WordProcessorKeepsItsOwnHyphenCode)
{
    AcceptInput in = BySpace("well", "well\\hhknown");
    in.wordProcessor = TRUE;
    EXPECT_EQ(S(PlanAcceptedEntry(in).toType), "\\hhknown");
}

TEST_F(AcceptPlanTest, TrailingDelimiterSpacesAndAppendStr)
{
    // A delimiter that completed automatically is typed after the word.
    AcceptInput in = BySpace("hel", "hello");
    in.keyDriven = FALSE;
    in.lastChar = ',';
    in.autoCompleteUponDelimiter = TRUE;
    EXPECT_EQ(S(PlanAcceptedEntry(in).toType), "lo,");

    // Closing punctuation with "SpaceAfterPunct" and "DoubleSpace".
    g_bSpaceAfterPunct = 1;
    g_bDoubleSpace = 1;
    in.lastChar = '.';
    EXPECT_EQ(S(PlanAcceptedEntry(in).toType), "lo.  ");
    g_bDoubleSpace = 0;
    EXPECT_EQ(S(PlanAcceptedEntry(in).toType), "lo. ");

    // "AppendStr" follows single words only.
    AcceptInput word = BySpace("hel", "hello");
    word.appendSpace = TRUE;
    word.appendStr = "!";
    EXPECT_EQ(S(PlanAcceptedEntry(word).toType), "lo !");
    AcceptInput phrase = BySpace("new", "new york");
    phrase.appendStr = "!";
    EXPECT_EQ(S(PlanAcceptedEntry(phrase).toType), " york");
}

TEST_F(AcceptPlanTest, EmptyEntriesInsertNothing)
{
    EXPECT_FALSE(PlanAcceptedEntry(BySpace("abc", "")).insert);
    EXPECT_FALSE(PlanAcceptedEntry(BySpace("abc", "\\ns")).insert);
}

TEST_F(AcceptPlanTest, ShorthandEntries)
{
    struct Case {
        const char *name;
        const char *typed;
        const char *key;
        const char *entry;
        const char *toType;
        int erase;
    };
    const Case cases[] = {
        {"after the tag", "Regards, $sig", "sig", "Best regards", "Best regards", 4},
        // The token opens the text: nothing in front of it to look at.
        {"at the start", "sig", "sig", "Best regards", "Best regards", 3},
        {"after a space", "see addr", "addr", "12 Main St", "12 Main St", 4},
        // The arguments fill the parameters and are erased with the token.
        {"arguments", "$addr[Bob,Paris]", "addr", "Dear %1 of %2", "Dear Bob of Paris", 16},
        // The typed capital carries over to the expansion.
        {"capital", "Sig", "sig", "best regards", "Best regards", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const AcceptPlan plan = PlanAcceptedEntry(BySpace(c.typed, c.entry, c.key));
        ASSERT_TRUE(plan.insert);
        EXPECT_TRUE(plan.shorthand);
        EXPECT_EQ(S(plan.toType), c.toType);
        EXPECT_EQ(plan.erase, c.erase);
        EXPECT_EQ(S(plan.newCurrentWord), c.toType);
    }

    AcceptInput spaced = BySpace("$sig", "Best regards", "sig");
    spaced.appendSpace = TRUE;
    EXPECT_EQ(S(PlanAcceptedEntry(spaced).toType), "Best regards ");
    spaced.itemText = "Best regards\\ns";
    EXPECT_EQ(S(PlanAcceptedEntry(spaced).toType), "Best regards");
    // A full match completed by punctuation ends with it.
    AcceptInput punct = BySpace("$sig", "Best regards", "sig");
    punct.fullShMatch = TRUE;
    punct.keyDriven = FALSE;
    punct.lastChar = ',';
    EXPECT_EQ(S(PlanAcceptedEntry(punct).toType), "Best regards,");
}

TEST(AcceptTextHelpers, KeyCodesSpacesAndAliases)
{
    EXPECT_TRUE(HasKeyCodes("Name:\\tb\\lt\\lt"));
    EXPECT_TRUE(HasKeyCodes("wait\\dl5"));
    EXPECT_FALSE(HasKeyCodes("plain\\cr text ^b"));

    EXPECT_EQ(CountReplaceableSpaces("word  "), 2);
    EXPECT_EQ(CountReplaceableSpaces("word   "), 2);
    EXPECT_EQ(CountReplaceableSpaces("word "), 1);
    EXPECT_EQ(CountReplaceableSpaces("word"), 0);
    EXPECT_EQ(CountReplaceableSpaces(""), 0);

    EXPECT_EQ(S(GetTrailingAlias("see goo")), "goo");
    EXPECT_EQ(S(GetTrailingAlias("goo")), "goo");
    EXPECT_EQ(S(GetTrailingAlias("goo ")), "");
    EXPECT_EQ(S(GetTrailingAlias("")), "");
}

// The row the hook types when a key chooses an entry: the plan's erase and
// body as characters, and a tail that gives, for any key, what the plan gives
// for it; entries that need real keys are left to the program.
TEST_F(AcceptPlanTest, OfferRowsTypeWhatThePlanTypes)
{
    g_bSpaceAfterPunct = 1;
    g_bDoubleSpace = 1;
    const struct {
        const char *typed;
        const char *entry;
        const char *key;
        const char *body;  // nullptr: the program types it
        int erase;
    } rows[] = {
        {"I like the", "their", "", "ir", 0},
        {"I met mcd", "McDonald", "", "McDonald", 3},
        {"Regards, $sig", "Best regards\\crJo", "sig", "Best regards\rJo", 4},
        {"note $b", "^bNOTE^b", "b", nullptr, 2},
        {"go $up", "(\\lt)", "up", nullptr, 3},
    };
    const struct {
        char last;
        BOOL keyDriven;
    } keys[] = {{' ', TRUE}, {'1', TRUE}, {0, FALSE}, {',', FALSE}, {'.', FALSE}, {'\r', FALSE}, {0, TRUE}};
    for (const auto &r : rows) {
        for (const auto &k : keys) {
            SCOPED_TRACE(std::string(r.typed) + " last " + std::to_string(static_cast<int>(k.last)));
            AcceptInput in = BySpace(r.typed, r.entry, r.key);
            in.lastChar = k.last;
            in.keyDriven = k.keyDriven;
            in.fullShMatch = TRUE;
            in.appendStr = "!";
            const AcceptPlan plan = PlanAcceptedEntry(in);
            const OfferRow row = MakeOfferRow(plan);
            EXPECT_EQ(row.erase, r.erase);
            if (!r.body) {
                EXPECT_EQ(row.length, OFFER_PROGRAM_TYPES);
                continue;
            }
            ASSERT_EQ(row.length, static_cast<int>(std::strlen(r.body)));
            EXPECT_EQ(std::string(row.body, static_cast<size_t>(row.length)), r.body);
            // The plan types its line break token as the line break the body posts.
            CString typed = plan.toType;
            typed.Replace("\\cr", "\r");
            EXPECT_EQ(S(CString(r.body) + AcceptTail(row.tail, k.last, k.keyDriven != FALSE)), S(typed));
        }
    }
}
