// The prompt's entries and layout arithmetic, without windows.
#include <gtest/gtest.h>

#include <vector>

#include "Candidates.h"
#include "EngineSettings.h"
#include "MatchItem.h"
#include "PromptListsLayout.h"
#include "WordPromptLayout.h"

namespace {
class CandidateFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto &c : g_WordCandidates)
            c = WRecord_X();
        for (auto &c : g_ShCandidates)
            c = SHRecord_X();
    }
    void TearDown() override { SetUp(); }

    static void Words(std::initializer_list<const char *> words)
    {
        int i = 0;
        for (const char *word : words)
            g_WordCandidates[i++].word = word;
    }
    static std::vector<CString> Texts(const std::vector<CMatchItem> &items)
    {
        std::vector<CString> texts;
        for (const CMatchItem &item : items)
            texts.push_back(item.m_strText);
        return texts;
    }
};
}  // namespace

TEST_F(CandidateFixture, WordsAreAppendedInRankWithTheTypedCase)
{
    Words({"hello", "help", "Hello", "hello", "world", "helm"});
    std::vector<CMatchItem> items;
    // "world" completes nothing typed; the second "hello" is listed already,
    // "Hello" differs in case and is listed too.
    EXPECT_EQ(6, AppendCandidateItems(items, 6, RESULT_WORDS, "say hel", 12));
    EXPECT_EQ((std::vector<CString>{"hello", "help", "Hello", "helm"}), Texts(items));
    EXPECT_FALSE(items[0].IsShorthand());
    EXPECT_EQ(CString("hello"), items[0].GetDisplayText());

    // The typed case is given to the completion.
    items.clear();
    AppendCandidateItems(items, 2, RESULT_WORDS, "say Hel", 12);
    EXPECT_EQ((std::vector<CString>{"Hello", "Help"}), Texts(items));
}

TEST_F(CandidateFixture, AnEmptyCandidateEndsTheList)
{
    Words({"alpha", "", "alps"});
    std::vector<CMatchItem> items;
    AppendCandidateItems(items, 3, RESULT_WORDS, "al", 12);
    EXPECT_EQ((std::vector<CString>{"alpha"}), Texts(items));
}

TEST_F(CandidateFixture, ShorthandsCarryTheirNameAndShowIt)
{
    g_ShCandidates[0].expansion = "as soon as possible";
    std::strcpy(g_ShCandidates[0].name, "asap");
    std::vector<CMatchItem> items;
    AppendCandidateItems(items, 1, RESULT_SHORTHANDS, "call me asap", 12);
    ASSERT_EQ(1u, items.size());
    EXPECT_TRUE(items[0].IsShorthand());
    EXPECT_EQ(CString("asap=as soon as possible"), items[0].GetDisplayText());
    EXPECT_EQ(CString("asap=as soon as possible"), items[0].m_strDisplay);
}

// The count arrives in a window message: whatever it says, the prompt holds
// no more than "PromptNum" entries and reads no candidate past the lists.
TEST_F(CandidateFixture, CountsAreCutToThePromptAndTheLists)
{
    for (int i = 0; i < MAX_CANDIDATES; ++i)
        g_WordCandidates[i].word.Format("word%03d", i);
    struct Case {
        int listed, n, promptNum;
        int considered, size;
    } cases[] = {
        {10, 5, 12, 2, 12},                          // only two more fit
        {12, 5, 12, 0, 12},                          // full: nothing
        {0, 100000, 256, 256, 256},                  // a huge count reads only the lists
        {0, 300, 1000, 256, 256},                    // a "PromptNum" beyond the lists is cut too
        {0, -3, 12, 0, 0},                           // a negative count adds nothing
    };
    for (const Case &c : cases) {
        std::vector<CMatchItem> items;
        for (int i = 0; i < c.listed; ++i)
            items.emplace_back(CString("listed") + CString(static_cast<char>('a' + i % 26)) + CString(static_cast<char>('a' + i / 26)));
        EXPECT_EQ(c.considered, AppendCandidateItems(items, c.n, RESULT_WORDS, "wor", c.promptNum))
            << c.listed << " " << c.n << " " << c.promptNum;
        EXPECT_EQ(static_cast<size_t>(c.size), items.size()) << c.listed << " " << c.n << " " << c.promptNum;
    }
}

TEST(PromptLabels, RowsAreLabelledWithTheKeysThatChooseThem)
{
    struct Case {
        int row;
        const char *label;
    } cases[] = {{0, "1. w"}, {8, "9. w"}, {9, "0. w"}, {10, "a. w"}, {34, "y. w"},
                 {35, "*. w"}, {36, "*. w"}, {200, "*. w"}, {-1, "*. w"}};
    for (const Case &c : cases) {
        EXPECT_EQ(CString(c.label), FormatRowLabel(c.row, "w")) << c.row;
        // The vertical list labels the same way.
        EXPECT_EQ(CString(c.label), FormatNumberedItem("w", c.row)) << c.row;
    }
}

TEST(PromptLabels, LongTextsAreShortenedInTheHorizontalList)
{
    const CString forty('x', 40), fortyOne('y', 41), fifty('z', 50);
    EXPECT_EQ(forty, ShortenForHList(forty));
    EXPECT_EQ(CString('y', 37) + "...", ShortenForHList(fortyOne));
    EXPECT_EQ(CString('z', 37) + "...", ShortenForHList(fifty));
    EXPECT_EQ(40, ShortenForHList(fifty).GetLength());
}

namespace {
RowWidth Widths(const std::vector<int> &widths)
{
    return [widths](int index, int) { return widths[static_cast<size_t>(index)]; };
}
}  // namespace

TEST(PromptHList, RowsFillOneLineAndAWideFirstRowStandsAlone)
{
    // Client width 100, gap 10.
    EXPECT_EQ(3, FitRowsForward(Widths({20, 20, 20, 20}), 0, 4, 100, 10));  // 0-20, 30-50, 60-80, 90 would reach 110
    EXPECT_EQ(1, FitRowsForward(Widths({150, 20, 20}), 0, 3, 100, 10));     // wider than the list, still shown
    EXPECT_EQ(2, FitRowsForward(Widths({150, 20, 20}), 1, 3, 100, 10));     // the next page starts with the second
    EXPECT_EQ(0, FitRowsForward(Widths({20}), 1, 1, 100, 10));               // nothing from the end on
    EXPECT_EQ(1, FitRowsForward(Widths({20, 70}), 0, 2, 100, 10));           // 30 + 70 reaches the edge
}

TEST(PromptHList, APageBackWalksOverTheEntriesJustBeforeIt)
{
    // Pages of width 100: [0,1,2] [3,4] [5,...]: from the third page the walk
    // covers the second page's entries, not the first page's.
    const RowWidth width = Widths({20, 20, 20, 40, 40, 30});
    EXPECT_EQ(3, WalkBackFirst(width, 5, 100, 10));
    EXPECT_EQ(0, WalkBackFirst(width, 3, 100, 10));
    EXPECT_EQ(0, WalkBackFirst(width, 0, 100, 10));
    // The entry just before the page is taken even when it is too wide.
    EXPECT_EQ(1, WalkBackFirst(Widths({20, 500, 20}), 2, 100, 10));
}

TEST(PromptHList, HitRangesStartWhereThePaintingStarts)
{
    const std::vector<int> widths = {30, 40};
    struct Case {
        int x, row;
    } cases[] = {
        {0, -1},   // left of the margin: no row
        {2, -1},   // still inside the margin
        {3, 0},    // the first painted pixel of row 0
        {32, 0},   // its last one
        {33, -1},  // the gap of 10
        {42, -1},
        {43, 1},   // row 1 starts after the gap
        {82, 1},
        {83, -1},  // right of the last row
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.row, HitTestRow(widths, 3, 10, c.x)) << "x " << c.x;
}

namespace {
CaretPlacement Placement(int x, int y, int cx, int cy)
{
    CaretPlacement p;
    p.caretX = x;
    p.caretY = y;
    p.lineHeight = 0;
    p.cx = cx;
    p.cy = cy;
    p.desktop = {0, 0, 1280, 1024};
    p.screenCx = 1280;
    p.screenCy = 1024;
    return p;
}
}  // namespace

TEST(PromptPlacement, BelowRightOfTheCaretUnlessItLeavesTheDesktopOrCoversAWindow)
{
    PromptBox box;
    // Free space: below right; an unknown line height counts 25, plus 5.
    EXPECT_EQ(0, ChoosePromptBox(Placement(100, 100, 200, 150), box));
    EXPECT_EQ(105, box.left);
    EXPECT_EQ(130, box.top);
    EXPECT_EQ(305, box.right);
    EXPECT_EQ(280, box.bottom);

    // Near the bottom-right corner: both places below and the one above
    // right leave the desktop; above left fits.
    EXPECT_EQ(3, ChoosePromptBox(Placement(1200, 950, 200, 150), box));
    EXPECT_EQ(1005, box.left);
    EXPECT_EQ(795, box.top);
    EXPECT_EQ(1205, box.right);
    EXPECT_EQ(945, box.bottom);

    // Near the bottom edge: above right beats above left by rank.
    EXPECT_EQ(2, ChoosePromptBox(Placement(300, 950, 200, 150), box));

    // A window covering the free place below pushes the prompt above it.
    CaretPlacement covered = Placement(100, 100, 200, 150);
    covered.lineHeight = 20;
    covered.windows.push_back({0, 120, 1280, 400});
    EXPECT_EQ(2, ChoosePromptBox(covered, box));
    EXPECT_EQ(95, box.bottom);

    // Leaving the desktop (4) costs less than covering a window (8).
    CaretPlacement corner = Placement(1200, 100, 200, 150);
    corner.windows.push_back({900, 0, 1100, 100});  // covers both above
    corner.windows.push_back({1000, 130, 1200, 200});  // covers below left
    EXPECT_EQ(0, ChoosePromptBox(corner, box));
}

TEST(PromptPlacement, AWidePromptAlwaysGoesBelowRight)
{
    PromptBox box;
    // 40 % of 1280 is 512: 513 is wide, 512 is not.
    EXPECT_EQ(0, ChoosePromptBox(Placement(1200, 950, 513, 100), box));
    EXPECT_EQ(3, ChoosePromptBox(Placement(1200, 950, 512, 100), box));
    EXPECT_EQ(0, ChoosePromptBox(Placement(1200, 950, 100, 410), box));
}
