#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BusyFeedback.h"
#include "Candidates.h"
#include "CharClasses.h"
#include "EngineSettings.h"
#include "Learning.h"
#include "LibFile.h"
#include "LibrarySet.h"
#include "MessageLog.h"
#include "PasswordList.h"
#include "RecordBuilders.h"
#include "Retrieve.h"
#include "SettingValues.h"
#include "SharedSection.h"
#include "StringCipher.h"
#include "TempDir.h"
#include "WordStoreReset.h"
#include "WordCache.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "RetrieveThread.h"
#include "SearchSignals.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
std::string LicensePath(const char *name)
{
#ifdef _WIN32
    return std::string("Z:\\usr\\share\\common-licenses\\") + name;
#else
    return std::string("/usr/share/common-licenses/") + name;
#endif
}

// The cache's words in the order they were added or last used.
std::vector<std::string> CacheWordsByUse()
{
    std::vector<WRecord_X> records(g_WordCache, g_WordCache + g_nCacheCount);
    std::stable_sort(records.begin(), records.end(),
                     [](const WRecord_X &a, const WRecord_X &b) { return a.useSeq < b.useSeq; });
    std::vector<std::string> words;
    for (const WRecord_X &r : records)
        words.push_back(r.word.GetString());
    return words;
}

const WRecord_X *CacheRecord(const char *word)
{
    int pos = 0;
    return FindInWordCache(word, pos, TRUE) ? &g_WordCache[pos] : nullptr;
}

struct BusyCount {
    static int &On() { static int n = 0; return n; }
    static int &Off() { static int n = 0; return n; }
    static void Cursor(BOOL on) { ++(on ? On() : Off()); }
    static void Message(const char *) {}
};
const BusyFeedbackHandler kBusyCounter = {&BusyCount::Cursor, &BusyCount::Message};

// Empty cache, no libraries, no passwords, the learning settings at known
// values; everything put back afterwards.
class Learning : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memcpy(m_nonDelimiter, NonDelimiter, sizeof m_nonDelimiter);
        SetSharedString(NonDelimiter, "");
        g_strWordConcatenators = " &-";
        ClearEngine();
        g_bLearnWord = 1;
        g_nMinLength = 6;
        g_nMinPhraseLength = 1;
        g_bLearnPhrase = 1;
        g_nMaxWordInPhrase = 4;
        g_bRejectPhraseThe = 0;
        g_bRejectPhraseA = 0;
        g_bNoLearnNumber = 1;
        g_nPhraseAckCount = 3;
        g_nMinWordAddCount = 3;
    }
    void TearDown() override
    {
        ClearEngine();
        std::memcpy(NonDelimiter, m_nonDelimiter, sizeof m_nonDelimiter);
        g_strWordConcatenators = m_concatenators;
        g_bLearnWord = m_learnWord;
        g_nMinLength = m_minLength;
        g_nMinPhraseLength = m_minPhraseLength;
        g_bLearnPhrase = m_learnPhrase;
        g_nMaxWordInPhrase = m_maxWords;
        g_bRejectPhraseThe = m_rejectThe;
        g_bRejectPhraseA = m_rejectA;
        g_bNoLearnNumber = m_noNumber;
        g_nPhraseAckCount = m_ack;
        g_nMinWordAddCount = m_minAdd;
        SetBusyFeedbackHandler(nullptr);
    }

    static void ClearEngine()
    {
        ClearWordStore();
        for (int i = 0; i < MAX_PASSWORDS; ++i) {
            g_PassNames[i].Empty();
            g_PassValues[i].Empty();
        }
        g_nPassCount = 0;
        ClearWordCandidates();
    }

    // Word library 0, in memory only, with these records.
    static CLibFile &Library(std::vector<WRecord_X> records)
    {
        g_WordLibs[0].SetPath("words.lib");
        g_WordLibs[0].m_WordTable = std::move(records);
        g_WordLibs[0].RefreshSearchIndex();
        g_nWordLibCount = 1;
        return g_WordLibs[0];
    }

private:
    char m_nonDelimiter[sizeof NonDelimiter] = {};
    CString m_concatenators = g_strWordConcatenators;
    int m_learnWord = g_bLearnWord, m_minLength = g_nMinLength, m_minPhraseLength = g_nMinPhraseLength;
    int m_learnPhrase = g_bLearnPhrase, m_maxWords = g_nMaxWordInPhrase, m_rejectThe = g_bRejectPhraseThe;
    int m_rejectA = g_bRejectPhraseA, m_noNumber = g_bNoLearnNumber, m_ack = g_nPhraseAckCount;
    int m_minAdd = g_nMinWordAddCount;
};
}  // namespace

TEST_F(Learning, LearnWordRaisesKnownWordsAndAddsNewOnesInNormalCase)
{
    g_nMinLength = 5;
    int pos = 0;
    AddToWordCache("hello", 0, pos, 1);
    Library({Word("library", 7, 1700000000)});

    int count = -1;
    // Not found as typed, found in its normal case in the second pass.
    EXPECT_EQ(LearnWord("Hello", TRUE, 1, &count, FALSE), 0);
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(CacheRecord("hello")->lastUsed, static_cast<double>(std::time(nullptr)), 5.0);

    // Known in a library: exactly +1 whatever newCount says; no stamp gives time 0.
    EXPECT_EQ(LearnWord("library", FALSE, 5, &count, FALSE), 1);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(g_WordLibs[0].m_WordTable[0].lastUsed, 0);
    EXPECT_TRUE(g_WordLibs[0].m_bDirty);

    const struct {
        const char *word;
        const char *stored;
    } added[] = {{"Paris", "paris"}, {"HELLOS", "hellos"}, {"iPod", "iPod"}, {"McDonald", "McDonald"}};
    for (const auto &a : added) {
        EXPECT_EQ(LearnWord(a.word, TRUE, 4, &count, TRUE), LEARN_NEW) << a.word;
        EXPECT_EQ(count, 4);
        ASSERT_NE(CacheRecord(a.stored), nullptr) << a.stored;
        EXPECT_EQ(CacheRecord(a.stored)->useCount, 4);
    }
    EXPECT_EQ(CacheRecord("Paris"), nullptr);
}

TEST_F(Learning, LearnWordRefusals)
{
    g_nMinPhraseLength = 10;
    const std::string longest(MAX_LEARNED_LENGTH, 'x');
    const struct {
        std::string word;
        BOOL noLengthCheck;
        int result;
    } cases[] = {
        {"short", FALSE, LEARN_REFUSED},         // 5 characters, MinLength 6
        {"short", TRUE, LEARN_NEW},
        {"twelve chars", FALSE, LEARN_NEW},      // a phrase of 12, MinPhraseLength 10
        {"two words", FALSE, LEARN_REFUSED},     // a phrase of 9
        {"", TRUE, LEARN_REFUSED},
        {longest, FALSE, LEARN_NEW},
        {longest + "y", TRUE, LEARN_REFUSED},    // longer than a word can be
    };
    for (const auto &c : cases)
        EXPECT_EQ(LearnWord(c.word.c_str(), TRUE, 1, nullptr, c.noLengthCheck), c.result) << c.word;
    EXPECT_EQ(g_nCacheCount, 3);

    g_nMinLength = -1;  // compared unsigned: nothing is long enough
    EXPECT_EQ(LearnWord("anything", TRUE, 1, nullptr, FALSE), LEARN_REFUSED);
}

TEST_F(Learning, LearnPhrasesCases)
{
    const struct {
        const char *text;
        int maxWords;
        std::vector<std::string> learnt;  // in learning order
    } cases[] = {
        {"we will meet tomorrow", 4,
         {"we will meet tomorrow", "will meet tomorrow", "meet tomorrow", "we will meet", "will meet", "we will"}},
        {"we will meet tomorrow", 2, {"meet tomorrow", "will meet", "we will"}},
        {"Then: we will meet", 4, {"we will meet", "will meet", "we will"}},  // only the run of words at the end
        {"we will meet, ", 4, {}},
        {"alone", 4, {}},
        // '&' joins words but is none: phrases begin and end with a word.
        {"rock & roll band", 4, {"rock & roll band", "roll band", "rock & roll"}},
        // A number is no phrase; the phrase around it is.
        {"call 555 1234", 4, {"call 555 1234", "call 555"}},
    };
    for (const auto &c : cases) {
        SetUp();
        g_nMaxWordInPhrase = c.maxWords;
        EXPECT_EQ(LearnPhrases(c.text), 1) << c.text;
        EXPECT_EQ(CacheWordsByUse(), c.learnt) << c.text;
    }

    SetUp();
    g_bRejectPhraseThe = 1;
    for (const char *text : {"see the", "The house", "theory of sets"})
        LearnPhrases(text);
    EXPECT_EQ(CacheWordsByUse(), (std::vector<std::string>{"theory of sets", "of sets", "theory of"}));

    SetUp();
    g_bRejectPhraseA = 1;
    for (const char *text : {"a house", "such a", "area code"})
        LearnPhrases(text);
    EXPECT_EQ(CacheWordsByUse(), std::vector<std::string>{"area code"});

    SetUp();
    g_nMinPhraseLength = 10;
    LearnPhrases("big red balloon");
    EXPECT_EQ(CacheWordsByUse(), (std::vector<std::string>{"big red balloon", "red balloon"}));

    SetUp();
    g_bLearnPhrase = 0;
    EXPECT_EQ(LearnPhrases("we will meet"), 0);
    g_bLearnPhrase = 1;
    g_nMaxWordInPhrase = 0;
    EXPECT_EQ(LearnPhrases("we will meet"), 0);
    EXPECT_EQ(g_nCacheCount, 0);
}

TEST_F(Learning, AcknowledgedPhraseEndsTheCycle)
{
    int pos = 0;
    AddToWordCache("meet tomorrow", 0, pos, 2);
    g_nCacheSeq = 100;
    LearnPhrases("we will meet tomorrow");
    // The two longer ones, then meet tomorrow reaches 3 and the next cycle
    // works on "we will" alone.
    EXPECT_EQ(CacheWordsByUse(),
              (std::vector<std::string>{"we will meet tomorrow", "will meet tomorrow", "meet tomorrow", "we will"}));
    EXPECT_EQ(CacheRecord("meet tomorrow")->useCount, 3);
    EXPECT_EQ(CacheRecord("will meet"), nullptr);
}

TEST_F(Learning, TypedTextLearnsWordsAddressesAndPhrases)
{
    LearnTypedText("please write to john.smith@example.com", ' ');
    // The address as one word; "com" is too short.
    EXPECT_EQ(CacheWordsByUse(), std::vector<std::string>{"john.smith@example.com"});

    SetUp();
    LearnTypedText("visit www.example.org", ',');
    EXPECT_EQ(CacheWordsByUse(), std::vector<std::string>{"www.example.org"});

    SetUp();
    LearnTypedText("see you tomorrow", ' ');  // a concatenator: the phrase goes on
    EXPECT_EQ(CacheWordsByUse(), std::vector<std::string>{"tomorrow"});
    SetUp();
    LearnTypedText("see you tomorrow", '.');
    EXPECT_EQ(CacheWordsByUse(), (std::vector<std::string>{"see you tomorrow", "you tomorrow", "see you", "tomorrow"}));

    for (const char *ended : {"tomorrow.", "", "tomorrow "}) {
        SetUp();
        LearnTypedText(ended, ' ');
        EXPECT_EQ(g_nCacheCount, 0) << ended;
    }
    SetUp();
    g_bLearnPhrase = 0;
    LearnTypedText("numbers 12345678", '\n');
    EXPECT_EQ(CacheWordsByUse(), std::vector<std::string>{});
    g_bLearnWord = 0;
    LearnTypedText("nothing learned", '\n');
    EXPECT_EQ(g_nCacheCount, 0);
}

#ifdef _WIN32
namespace {
// A word ended while learning runs: the main window would learn it at once.
const UINT WM_TEST_WORD_ENDED = WM_APP + 1;
int g_nWordEndedCalls = 0;
std::atomic<bool> g_bInReport{false};

LRESULT CALLBACK WordEndedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TEST_WORD_ENDED)
        return DefWindowProcA(window, message, wParam, lParam);
    ++g_nWordEndedCalls;
    LearnTypedText("typing", ' ');
    return 0;
}

// The retrieving thread's report, held until the main thread waits for the
// pause, then sending the word-ended message the way another thread does.
HWND g_hWordEndedWindow = nullptr;
void SendWordEndedWhilePausing(int, int)
{
    if (g_bInReport.exchange(true))
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!g_bSearchPausePending.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    SendMessageA(g_hWordEndedWindow, WM_TEST_WORD_ENDED, 0, 0);
}
}  // namespace

// Filling the cache pauses the retrieving thread, and the pause handles the
// main thread's messages: a word ended meanwhile must not be learnt inside
// the running call.
TEST_F(Learning, TypedTextIsNotLearntAgainWhileItsLearningWaits)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WordEndedProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LearningWordEnded";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    g_hWordEndedWindow = CreateWindowA("LearningWordEnded", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       windowClass.hInstance, nullptr);
    ASSERT_NE(g_hWordEndedWindow, nullptr);

    g_pUserLib = &Library({});
    g_nMinWordAddCount = 1;  // the flush moves every cached word into the library
    for (int i = 0; i < WORD_CACHE_SIZE - 1; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "filler%04d", i);
        int pos = 0;
        ASSERT_FALSE(FindInWordCache(word, pos, TRUE));
        AddToWordCache(word, 0, pos, 1);
    }
    ASSERT_EQ(g_nCacheCount, WORD_CACHE_SIZE - 1);

    g_nWordEndedCalls = 0;
    g_bInReport = false;
    StartRetrieveThread({SendWordEndedWhilePausing, nullptr}, 0);
    SubmitRequest("typin");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!g_bInReport.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(g_bInReport.load());

    LearnTypedText("typing", ' ');  // the new word fills the cache
    StopRetrieveThread();
    DestroyWindow(g_hWordEndedWindow);
    UnregisterClassA("LearningWordEnded", windowClass.hInstance);

    EXPECT_EQ(g_nWordEndedCalls, 1);  // the nested call was made
    EXPECT_EQ(g_nPauseCount, 0);
    int pos = 0;
    ASSERT_TRUE(g_pUserLib->FindRecord("typing", pos, TRUE));
    EXPECT_EQ(g_pUserLib->m_WordTable[static_cast<size_t>(pos)].useCount, 1);
    EXPECT_EQ(g_pUserLib->m_WordTable.size(), static_cast<size_t>(WORD_CACHE_SIZE));
}
#endif

TEST_F(Learning, TrailingWord)
{
    const std::string longest(MAX_LEARNED_LENGTH, 'w');
    const struct {
        std::string text;
        std::string word;
    } cases[] = {
        {"one two", "two"}, {"one two.", ""}, {"caf\xE9", "caf\xE9"}, {"x " + longest, longest},
        {longest + "w", ""}, {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::string(GetTrailingWord(c.text.c_str())), c.word) << c.text;
}

TEST_F(Learning, WholeTextLearnsWordsWithoutTimeOrPhrases)
{
    g_nMinLength = 5;
    Library({Word("quickly", 4, 1700000000)});
    EXPECT_EQ(LearnText("  The quick brown foxes, quickly jumped! quick  "), 4);
    EXPECT_EQ(CacheWordsByUse(), (std::vector<std::string>{"brown", "foxes", "jumped", "quick"}));
    EXPECT_EQ(CacheRecord("foxes")->useCount, 3);
    EXPECT_EQ(CacheRecord("quick")->useCount, 4);
    EXPECT_EQ(CacheRecord("quick")->lastUsed, 0);
    EXPECT_EQ(g_WordLibs[0].m_WordTable[0].useCount, 5);
    EXPECT_EQ(g_WordLibs[0].m_WordTable[0].lastUsed, 0);
}

TEST_F(Learning, PasswordsAreNeverLearnedNorOffered)
{
    ASSERT_TRUE(AcquireCryptProvider());
    g_PassNames[0] = "mail";
    g_PassValues[0] = "Hunter2";
    g_PassNames[1] = "empty";  // an empty password would match every word
    g_nPassCount = 2;

    // Found before the password was added.
    for (const char *word : {"myhunter2x", "myhuman"}) {
        int pos = 0;
        FindInWordCache(word, pos, TRUE);
        AddToWordCache(word, 0, pos, 5);
    }
    Library({Word("myhunter2y", 9)});

    EXPECT_EQ(LearnWord("xxHUNTER2", TRUE, 1, nullptr, FALSE), LEARN_REFUSED);
    LearnTypedText("login myHunter2z", ' ');
    LearnText("hunter22 hunter2");
    EXPECT_EQ(g_nCacheCount, 2);
    EXPECT_EQ(LearnWord("harmless", TRUE, 1, nullptr, FALSE), LEARN_NEW);

    EXPECT_EQ(RetrieveWords("myh", 1), 1);
    EXPECT_EQ(std::string(g_WordCandidates[0].word), "myhuman");

    // The stored form survives a restart and is the same on every platform.
    CString stored;
    ASSERT_TRUE(BuildPassArray(stored));
    EXPECT_EQ(std::string(stored), "mail\t8E75751565A2CF\tempty\t");
    ClearEngine();
    ReleaseCryptProvider();
    ASSERT_TRUE(AcquireCryptProvider());
    LoadPassArray(stored);
    ASSERT_EQ(g_nPassCount, 2);
    EXPECT_EQ(std::string(g_PassNames[0]), "mail");
    EXPECT_EQ(std::string(g_PassValues[0]), "Hunter2");
    EXPECT_EQ(std::string(g_PassNames[1]), "empty");
    EXPECT_TRUE(g_PassValues[1].IsEmpty());
    CString again;
    ASSERT_TRUE(BuildPassArray(again));
    EXPECT_EQ(again, stored);
    EXPECT_EQ(LearnWord("myhunter2x", TRUE, 1, nullptr, FALSE), LEARN_REFUSED);
    EXPECT_EQ(LearnWord("learning", TRUE, 1, nullptr, FALSE), LEARN_NEW);

    // Without the cipher the stored list is kept, not written without its password.
    ReleaseCryptProvider();
    CString kept = "old";
    EXPECT_FALSE(BuildPassArray(kept));
    EXPECT_EQ(std::string(kept), "old");
}

TEST_F(Learning, StoredPasswordListLoading)
{
    ASSERT_TRUE(AcquireCryptProvider());
    // An empty name keeps its place: the entries after it stay paired.
    LoadPassArray("\t8E75751565A2CF\tsecond\t8E75751565A2CF\tlone");
    ASSERT_EQ(g_nPassCount, 2);
    EXPECT_TRUE(g_PassNames[0].IsEmpty());
    EXPECT_EQ(std::string(g_PassValues[0]), "Hunter2");
    EXPECT_EQ(std::string(g_PassNames[1]), "second");
    EXPECT_EQ(std::string(g_PassValues[1]), "Hunter2");

    std::string many;
    for (int i = 0; i < 20; ++i)
        many += (i ? "\t" : "") + std::string("n") + std::to_string(i) + "\t8E75751565A2CF";
    LoadPassArray(many.c_str());
    EXPECT_EQ(g_nPassCount, MAX_PASSWORDS);
    EXPECT_EQ(std::string(g_PassNames[MAX_PASSWORDS - 1]), "n15");

    LoadPassArray("");
    EXPECT_EQ(g_nPassCount, 0);
    EXPECT_TRUE(g_PassNames[0].IsEmpty());
    ReleaseCryptProvider();
}

TEST_F(Learning, FileFillsTheUserLibraryWithWordsOnly)
{
    TempDir dir;
    CLibFile &user = g_WordLibs[0];
    user.SetPath(dir.Path("user.lib").c_str());
    ASSERT_TRUE(user.ReadAllRecordsFromLib(TRUE));
    g_nWordLibCount = 1;
    g_pUserLib = &user;
    SetBusyFeedbackHandler(&kBusyCounter);
    BusyCount::On() = BusyCount::Off() = 0;

    ASSERT_EQ(LearnFromFile(LicensePath("GPL-3").c_str()), 0);
    EXPECT_EQ(BusyCount::On(), 1);
    EXPECT_EQ(BusyCount::Off(), 1);
    EXPECT_EQ(g_bLearnPhrase, 1);  // left on, and still no phrase from a file
    for (int i = 0; i < g_nCacheCount; ++i)
        ASSERT_FALSE(HasNonWordChar(g_WordCache[i].word)) << g_WordCache[i].word.GetString();
    EXPECT_GT(g_nCacheCount, 500);
    ASSERT_NE(CacheRecord("software"), nullptr);
    EXPECT_GT(CacheRecord("software")->useCount, 20);

    FlushWordCacheToUserLib(TRUE);
    const size_t learnt = user.m_WordTable.size();
    EXPECT_GT(learnt, 150u);
    ASSERT_TRUE(user.CloseLib());
    CLibFile reread(dir.Path("user.lib").c_str());
    ASSERT_TRUE(reread.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(reread.m_WordTable.size(), learnt);
    int pos = 0;
    ASSERT_TRUE(reread.FindRecord("software", pos, TRUE));
    EXPECT_GT(reread.m_WordTable[static_cast<size_t>(pos)].useCount, 20);
}

TEST_F(Learning, FileIsReadToItsLastByte)
{
    TempDir dir;
    g_nMinLength = 1;
    // 0x1A ends a file read as text; 0xFF is a Latin-1 letter.
    const std::string path = dir.Write("bytes.txt", "alpha \x1A beta\xFF gamma\r\ndelta.");
    EXPECT_EQ(LearnFromFile(path.c_str()), 0);
    std::vector<std::string> words = CacheWordsByUse();
    EXPECT_EQ(words, (std::vector<std::string>{"alpha", "beta\xFF", "gamma", "delta"}));

    SetUp();
    g_bLearnWord = 0;
    EXPECT_EQ(LearnFromFile(path.c_str()), 0);
    EXPECT_EQ(g_nCacheCount, 0);

    MessageLog log;
    const std::string missing = dir.Path("missing.txt");
    EXPECT_EQ(LearnFromFile(missing.c_str()), -1);
    EXPECT_EQ(MessageLog::Messages(), std::vector<std::string>{"Can't open file" + missing});
}

TEST_F(Learning, CountMatchingFilesByPatternAndFolder)
{
    TempDir dir;
    for (const char *name : {"a.txt", "b.doc", "c.txt", "d.log", "sub/e.txt", "sub/f.doc", "sub/deep/g.txt"})
        dir.Write(name, "x");
    std::filesystem::create_directories(dir.Path("empty"));
    const CString root = dir.Path().c_str();
    const struct {
        const char *patterns;
        BOOL recurse;
        int count;
    } cases[] = {
        {"*.txt;*.doc", FALSE, 3}, {"", FALSE, 4}, {"*.txt", TRUE, 4}, {"*.txt;*.doc", TRUE, 6},
        {"*.txt;*.t?t", FALSE, 4},  // a file matching two patterns counts twice
        {"*.none", TRUE, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CountMatchingFiles(root, c.patterns, c.recurse), c.count) << c.patterns << " " << c.recurse;

    MessageLog log;
    const std::string missing = dir.Path("missing");
    EXPECT_EQ(CountMatchingFiles(missing.c_str(), "", TRUE), -1);
    EXPECT_EQ(MessageLog::Messages(), std::vector<std::string>{missing + " not accessible!"});
}

#ifndef _WIN32
// A link back up the tree is not followed (it would recurse without end);
// a subfolder that can't be read counts 0 instead of spoiling the total.
TEST_F(Learning, CountMatchingFilesSkipsLinksAndUnreadableFolders)
{
    TempDir dir;
    for (const char *name : {"a.txt", "sub/b.txt", "locked/c.txt"})
        dir.Write(name, "x");
    std::filesystem::create_directory_symlink(dir.Path(), dir.Path("sub/loop"));
    ASSERT_EQ(chmod(dir.Path("locked").c_str(), 0), 0);
    const CString root = dir.Path().c_str();

    // Root reads every folder: the check runs as an ordinary user then.
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(2);
            MessageLog log;
            const int subfolders = CountMatchingFiles(root, "*.txt", TRUE);
            _exit(subfolders == 2 && MessageLog::Messages().empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    chmod(dir.Path("locked").c_str(), 0755);
}
#endif
