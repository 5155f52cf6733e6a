#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "Candidates.h"
#include "EngineSettings.h"
#include "LibrarySet.h"
#include "RecordBuilders.h"
#include "Retrieve.h"
#include "RetrieveThread.h"
#include "SettingValues.h"
#include "SharedSection.h"
#include "WordCache.h"

namespace {
std::vector<std::string> WordList()
{
    std::vector<std::string> words;
    for (int i = 0; i <= g_nLastWordCandidate; ++i)
        words.push_back(g_WordCandidates[i].word.GetString());
    return words;
}

// One word library and one shorthand library in the set, settings at their
// defaults with ranking by count; everything restored afterwards.
class RetrieveFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_WordLibs[0].SetPath("words.lib");
        g_WordLibs[0].m_WordTable = {Word("a new day", 4, 1700000000), Word("car", 9, 1700000000),      Word("card", 3, 1700000000),
                                     Word("care", 7, 1700000000),      Word("careful", 5, 1700000000),  Word("new", 2, 1700000000),
                                     Word("new york", 6, 1700000000),  Word("newer", 8, 1700000000),    Word("news", 1, 1700000000)};
        g_nWordLibCount = 1;
        g_ShLibs[0].SetPath("sh.slb");
        g_ShLibs[0].m_ShTable = {Shorthand("car", "Carrier Advice Record", 2), Shorthand("sig", "Best regards", 3)};
        g_nShLibCount = 1;
        m_savedConcat = g_strWordConcatenators;
        g_strWordConcatenators = " &-";
        g_fFreqVsTime = -1;
        g_nCacheCount = 0;
    }
    void TearDown() override
    {
        g_WordLibs[0].m_WordTable.clear();
        g_ShLibs[0].m_ShTable.clear();
        g_nWordLibCount = g_nShLibCount = 0;
        g_strWordConcatenators = m_savedConcat;
        g_fFreqVsTime = 0.5f;
        g_bPromptNoDelimiter = 1;
        g_mapTopWords.clear();
        g_nDefPromptType = 0;
    }
    CString m_savedConcat;
};
}  // namespace

TEST_F(RetrieveFixture, WordPrefixesOfTheLastWords)
{
    // "a new": the prefixes "new" and "a new" are both searched.
    // The typed word itself is not offered while space does not complete.
    EXPECT_EQ(RetrieveWords("a new", 1), 4);
    EXPECT_EQ(WordList(), (std::vector<std::string>{"newer", "new york", "a new day", "news"}));

    EXPECT_EQ(RetrieveWords("12,5", 1), 0);  // numbers are not word prefixes
    EXPECT_EQ(RetrieveWords("new.", 1), 0);  // ends with a delimiter

    // A trailing space (a word concatenator) searches the phrases that go on from the word.
    EXPECT_EQ(RetrieveWords("new ", 1), 0);
    g_bPromptNoDelimiter = 0;
    EXPECT_EQ(RetrieveWords("new ", 1), 1);
    EXPECT_EQ(WordList(), (std::vector<std::string>{"new york"}));
}

TEST_F(RetrieveFixture, TopWordTakesTheFirstPlace)
{
    g_mapTopWords["car"] = "carburettor";
    EXPECT_EQ(RetrieveWords("Car", 1), 3);
    EXPECT_EQ(g_WordCandidates[0].word, "carburettor");
    EXPECT_EQ(g_WordCandidates[1].word, "careful");
    EXPECT_EQ(RetrieveWords("zz", 1), 0);  // nothing found: nothing to replace
}

TEST_F(RetrieveFixture, ShorthandTokens)
{
    g_chShorthandTag = '$';
    EXPECT_EQ(RetrieveShorthands("Regards, $si", 1), 1);
    EXPECT_STREQ(g_ShCandidates[0].name, "sig");
    EXPECT_EQ(g_bFullSHMatch, 0);
    EXPECT_EQ(RetrieveShorthands("$sig[Bob]", 1), 1);
    EXPECT_TRUE(g_bShArgsGiven);
    EXPECT_EQ(g_bFullSHMatch, 1);
    g_bFullSHMatch = 0;
}

namespace {
struct Report {
    int id, count, kind;
};
std::mutex g_reportLock;
std::condition_variable g_reportArrived;
std::vector<Report> g_reports;

void Record(int id, int count)
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    g_reports.push_back({id, count, g_nResultKind});
    g_reportArrived.notify_all();
}

// Waits until a report for the id has arrived.
bool WaitForReport(int id)
{
    std::unique_lock<std::mutex> hold(g_reportLock);
    return g_reportArrived.wait_for(hold, std::chrono::seconds(20), [id] {
        for (const Report &r : g_reports)
            if (r.id == id)
                return true;
        return false;
    });
}

std::vector<Report> ReportsFor(int id)
{
    std::lock_guard<std::mutex> hold(g_reportLock);
    std::vector<Report> found;
    for (const Report &r : g_reports)
        if (r.id == id)
            found.push_back(r);
    return found;
}
}  // namespace

TEST_F(RetrieveFixture, ThreadReportsWordsAndShorthandsInOrder)
{
    g_reports.clear();
    StartRetrieveThread({Record, nullptr}, 0);
    nLastChar = 'r';
    SubmitRequest("car");
    const int id = g_nRequestId;
    ASSERT_TRUE(WaitForReport(id));
    StopRetrieveThread();  // both reports of the request are in when it has ended
    std::vector<Report> reports = ReportsFor(id);
    ASSERT_EQ(reports.size(), 2u);
    // The shorthand named exactly as typed comes first; the best word is not the typed word.
    EXPECT_EQ(reports[0].kind, 1);
    EXPECT_EQ(reports[0].count, 1);
    EXPECT_EQ(reports[1].kind, 0);
    EXPECT_EQ(reports[1].count, 3);
    nLastChar = 0;
}

// A request whose text no longer ends with the last key is stale (the user
// typed on) and is answered with nothing found; not so after a Backspace
// (Toggle Prompt Mode sets that too), while an automatic completion waits,
// or while space completes.
TEST_F(RetrieveFixture, StaleRequestsFindNothing)
{
    struct Case {
        const char *what;
        char lastChar;
        BOOL autoCompletePending;
        UINT completionKey;
        bool searched;
    };
    const Case cases[] = {
        {"typed on", 'x', FALSE, 0, false},
        {"the last key ends the text", 'r', FALSE, 0, true},
        {"after a Backspace", 8, FALSE, 0, true},
        {"an automatic completion waits", 'x', TRUE, 0, true},
        {"space completes", 'x', FALSE, 32, true},
    };
    const UINT savedKey = CompWordKey;
    for (const Case &c : cases) {
        nLastChar = c.lastChar;
        g_bAutoCompletePending = c.autoCompletePending;
        CompWordKey = c.completionKey;
        g_reports.clear();
        StartRetrieveThread({Record, nullptr}, 0);
        SubmitRequest("car");
        const int id = g_nRequestId;
        EXPECT_TRUE(WaitForReport(id)) << c.what;
        StopRetrieveThread();
        const std::vector<Report> reports = ReportsFor(id);
        ASSERT_FALSE(reports.empty()) << c.what;
        EXPECT_EQ(reports[0].count > 0, c.searched) << c.what;
        if (!c.searched) {
            EXPECT_EQ(reports.size(), 1u) << c.what;
        }
    }
    nLastChar = 0;
    g_bAutoCompletePending = FALSE;
    CompWordKey = savedKey;
}

TEST_F(RetrieveFixture, NestedPauseReachesTheThreadOnce)
{
    g_reports.clear();
    StartRetrieveThread({Record, nullptr}, 0);
    EXPECT_TRUE(PauseRetrieveThread(TRUE));
    EXPECT_EQ(g_nPauseCount, 1);
    EXPECT_TRUE(PauseRetrieveThread(TRUE));
    EXPECT_EQ(g_nPauseCount, 2);

    // Requests while paused wait for the resume.
    nLastChar = 'r';
    SubmitRequest("car");
    const int id = g_nRequestId;
    EXPECT_TRUE(PauseRetrieveThread(FALSE));
    EXPECT_EQ(g_nPauseCount, 1);
    EXPECT_TRUE(ReportsFor(id).empty());
    EXPECT_TRUE(PauseRetrieveThread(FALSE));
    EXPECT_EQ(g_nPauseCount, 0);
    EXPECT_TRUE(WaitForReport(id));
    EXPECT_TRUE(PauseRetrieveThread(FALSE));  // an unpaired resume changes nothing
    StopRetrieveThread();
    nLastChar = 0;
}

TEST_F(RetrieveFixture, ANewerRequestReplacesARunningSearch)
{
    // A large library, so that the first search is still walking when the next request comes.
    std::vector<WRecord_X> table;
    for (int i = 0; i < 200000; ++i)
        table.push_back(Word(("ab" + std::to_string(1000000 + i)).c_str(), i % 97 + 1));
    g_WordLibs[0].m_WordTable = table;
    g_fFreqVsTime = 0.5f;  // no letter buckets
    g_reports.clear();
    StartRetrieveThread({Record, nullptr}, 0);
    nLastChar = 'a';
    SubmitRequest("a");
    SubmitRequest("a");
    SubmitRequest("a");
    const int last = g_nRequestId;
    ASSERT_TRUE(WaitForReport(last));
    StopRetrieveThread();
    // The newest request is answered once, with its full list.
    const std::vector<Report> reports = ReportsFor(last);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].count, PromptNum());
    nLastChar = 0;
}
