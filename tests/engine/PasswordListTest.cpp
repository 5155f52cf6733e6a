#include <gtest/gtest.h>

#include "PasswordList.h"

namespace {
class Passwords {
public:
    Passwords(std::initializer_list<const char *> values)
    {
        g_nPassCount = 0;
        for (const char *v : values)
            g_PassValues[g_nPassCount++] = v;
    }
    ~Passwords()
    {
        for (int i = 0; i < MAX_PASSWORDS; ++i)
            g_PassValues[i].Empty();
        g_nPassCount = 0;
    }
};
}  // namespace

TEST(PasswordList, WordsHoldingAPasswordAreExcluded)
{
    EXPECT_FALSE(ContainsExcludedWord("anything"));  // no list

    Passwords list({"Secret7", "", "pa55"});
    const struct {
        const char *word;
        bool excluded;
    } cases[] = {
        {"secret7", true}, {"MYSECRET7X", true}, {"pa55word", true}, {"secret", false},
        {"harmless", false}, {"", false},  // the empty password matches nothing
    };
    for (const auto &c : cases)
        EXPECT_EQ(ContainsExcludedWord(c.word), c.excluded) << c.word;

    g_nPassCount = 99;  // a corrupt count reads no further than the table
    EXPECT_TRUE(ContainsExcludedWord("xpa55"));
}
