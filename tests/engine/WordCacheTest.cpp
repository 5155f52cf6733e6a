#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "CharClasses.h"
#include "EngineSettings.h"
#include "LibFile.h"
#include "LibrarySet.h"
#include "MessageLog.h"
#include "SharedSection.h"
#include "WordCache.h"
#include "WordLists.h"
#include "WordStoreReset.h"

#ifdef _WIN32
#include "MessageBoxCatcher.h"
#endif

namespace {
WRecord_X Rec(const std::string &word, int count = 1, int seq = 0)
{
    WRecord_X record;
    record.word = word.c_str();
    record.useCount = count;
    record.useSeq = seq;
    return record;
}

// Puts exactly these records into the cache, in this order.
void SetCache(const std::vector<WRecord_X> &records)
{
    for (size_t i = 0; i < records.size(); ++i)
        g_WordCache[i] = records[i];
    g_nCacheCount = static_cast<int>(records.size());
}

void SetCacheWords(std::initializer_list<const char *> words)
{
    std::vector<WRecord_X> records;
    for (const char *w : words)
        records.push_back(Rec(w));
    SetCache(records);
}

std::vector<std::string> CacheWords()
{
    std::vector<std::string> words;
    for (int i = 0; i < g_nCacheCount; ++i)
        words.push_back(g_WordCache[i].word.GetString());
    return words;
}

std::vector<std::string> TableWords(const CLibFile &library)
{
    std::vector<std::string> words;
    for (const WRecord_X &record : library.m_WordTable)
        words.push_back(record.word.GetString());
    return words;
}

// Word library i of the set, held in memory only, with exactly these words.
CLibFile &SetLib(int i, const char *path, std::initializer_list<const char *> words)
{
    CLibFile &library = g_WordLibs[i];
    library.SetPath(path);
    library.m_WordTable.clear();
    for (const char *w : words)
        library.m_WordTable.push_back(Rec(w));
    g_nWordLibCount = std::max(g_nWordLibCount, i + 1);
    return library;
}

bool AnyBucketFilled(const CLibFile &library)
{
    for (const auto &bucket : library.m_WordBuckets)
        if (!bucket.empty())
            return true;
    return false;
}

// Strictly ascending in the library order: sorted, no byte-equal pair.
::testing::AssertionResult StrictlyAscending(const std::vector<std::string> &words)
{
    for (size_t i = 1; i < words.size(); ++i)
        if (CompareWords(words[i - 1].c_str(), words[i].c_str(), TRUE) >= 0)
            return ::testing::AssertionFailure() << "'" << words[i - 1] << "' before '" << words[i] << "'";
    return ::testing::AssertionSuccess();
}

// The way learning adds a word: search, then insert at the position found.
void Learn(const std::string &word, int count, int64_t time = 0)
{
    int pos = 0;
    ASSERT_FALSE(FindInWordCache(word.c_str(), pos, TRUE)) << word;
    AddToWordCache(word.c_str(), time, pos, count);
}

// Distinct lower-case dictionary words, in list order.
std::vector<std::string> LowerCaseWords(size_t n)
{
    std::vector<std::string> words;
    for (const std::string &w : ReadWordList("american-english")) {
        if (words.size() == n)
            break;
        if (std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(w);
    }
    return words;
}

// The cache, the word libraries and every setting the cache reads start clean
// and are put back afterwards.
class CacheFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearWordStore();
        Answers({});
    }
    void TearDown() override
    {
        m_questions.reset();
        ClearWordStore();
        g_nCacheSeq = m_seq;
        g_nWordLibCount = m_libCount;
        g_pUserLib = m_userLib;
        g_bLearnWord = m_learn;
        g_nFlushPercentage = m_flush;
        g_nMinWordAddCount = m_minWord;
        g_nMinPhraseAddCount = m_minPhrase;
        g_nPromptNum = m_promptNum;
        CompWordKey = m_compKey;
    }
    // Answers for the questions asked from now on (then Cancel).
    void Answers(std::vector<bool> answers)
    {
        m_questions.reset();
        m_questions = std::make_unique<QuestionLog>(std::move(answers));
    }
    static const std::vector<std::string> &Questions() { return QuestionLog::Questions(); }

    // Makes word library 0 the user library.
    CLibFile &UserLib(std::initializer_list<const char *> words)
    {
        g_pUserLib = &SetLib(0, "user.lib", words);
        return *g_pUserLib;
    }

private:
    int m_seq = g_nCacheSeq, m_libCount = g_nWordLibCount;
    CLibFile *m_userLib = g_pUserLib;
    int m_learn = g_bLearnWord, m_flush = g_nFlushPercentage, m_minWord = g_nMinWordAddCount;
    int m_minPhrase = g_nMinPhraseAddCount, m_promptNum = g_nPromptNum;
    UINT m_compKey = CompWordKey;
    std::unique_ptr<QuestionLog> m_questions;
};

class WordCacheSearch : public CacheFixture {};
class WordCacheAdd : public CacheFixture {};
class WordCacheFlush : public CacheFixture {};
class WordCacheLookup : public CacheFixture {};
class WordCacheDelete : public CacheFixture {};
}  // namespace

TEST_F(WordCacheSearch, ExactAndFoldedRules)
{
    const struct {
        std::vector<const char *> cache;
        const char *word;
        BOOL exact;
        BOOL found;
        int pos;
    } cases[] = {
        {{"Apple", "apple", "banana"}, "apple", TRUE, TRUE, 1},
        // Without exact, equal but for case counts at the first or last entry...
        {{"Apple", "apple", "banana"}, "apple", FALSE, TRUE, 0},
        {{"Apple", "apple", "banana"}, "Banana", FALSE, TRUE, 2},
        {{"Apple", "apple", "banana"}, "Apple", TRUE, TRUE, 0},
        {{"Apple", "apple", "banana"}, "APPLE", TRUE, FALSE, 0},
        {{"Apple", "apple", "banana"}, "Banana", TRUE, FALSE, 2},
        {{"Apple", "apple", "banana"}, "apricot", TRUE, FALSE, 2},
        {{"Apple", "apple", "banana"}, "cherry", FALSE, FALSE, 3},
        {{"Apple", "apple", "banana"}, "aardvark", FALSE, FALSE, 0},
        // ...and not in the middle.
        {{"ant", "Bee", "cat"}, "bee", FALSE, FALSE, 1},
        {{"ant", "Bee", "cat"}, "bee", TRUE, FALSE, 2},
        {{"ant", "Bee", "bee", "cat"}, "bee", TRUE, TRUE, 2},
        {{}, "anything", TRUE, FALSE, 0},
    };
    for (const auto &c : cases) {
        std::vector<WRecord_X> records;
        for (const char *w : c.cache)
            records.push_back(Rec(w));
        SetCache(records);
        int pos = -7;
        EXPECT_EQ(FindInWordCache(c.word, pos, c.exact), c.found) << c.word << " exact " << c.exact;
        EXPECT_EQ(pos, c.pos) << c.word << " exact " << c.exact;
    }
}

TEST_F(WordCacheSearch, RealWordsFoundAtTheirPlaceOthersAtTheirInsertionPoint)
{
    // Every 40th word of the list (it holds pairs such as Bill and bill), in cache order.
    const std::vector<std::string> list = ReadWordList("american-english");
    ASSERT_GT(list.size(), 80000u) << "word list missing";
    std::vector<std::string> cached, others;
    for (size_t i = 0; i < list.size(); ++i)
        (i % 40 == 0 && cached.size() < WORD_CACHE_SIZE - 1 ? cached : others).push_back(list[i]);
    std::sort(cached.begin(), cached.end(),
              [](const std::string &a, const std::string &b) { return CompareWords(a.c_str(), b.c_str(), TRUE) < 0; });
    cached.erase(std::unique(cached.begin(), cached.end()), cached.end());
    std::vector<WRecord_X> records;
    for (const std::string &w : cached)
        records.push_back(Rec(w));
    SetCache(records);
    ASSERT_TRUE(CheckWordCache());

    for (size_t i = 0; i < cached.size(); ++i) {
        int pos = -1;
        ASSERT_TRUE(FindInWordCache(cached[i].c_str(), pos, TRUE)) << cached[i];
        ASSERT_EQ(pos, static_cast<int>(i)) << cached[i];
    }
    const std::set<std::string> inCache(cached.begin(), cached.end());
    for (size_t i = 0; i < others.size(); i += 7) {
        const std::string &w = others[i];
        if (inCache.count(w))
            continue;
        int pos = -1;
        ASSERT_FALSE(FindInWordCache(w.c_str(), pos, TRUE)) << w;
        ASSERT_GE(pos, 0);
        ASSERT_LE(pos, g_nCacheCount);
        if (pos > 0) {
            ASSERT_LT(CompareWords(g_WordCache[pos - 1].word, w.c_str(), TRUE), 0) << w;
        }
        if (pos < g_nCacheCount) {
            ASSERT_GT(CompareWords(g_WordCache[pos].word, w.c_str(), TRUE), 0) << w;
        }
    }
}

TEST_F(WordCacheSearch, PrefixRanges)
{
    const struct {
        std::vector<const char *> cache;
        const char *prefix;
        UINT key;
        BOOL found;
        int first, last;
    } cases[] = {
        {{"car", "card", "care"}, "car", 9, TRUE, 1, 2},
        {{"car", "card", "care"}, "car", 32, TRUE, 0, 2},  // space completes: the word itself too
        {{"car", "Card", "care"}, "CAR", 9, TRUE, 1, 2},
        {{"Car", "car", "cart"}, "car", 9, TRUE, 2, 2},
        {{"car"}, "car", 9, FALSE, -1, -1},
        {{"car"}, "car", 32, TRUE, 0, 0},
        {{"yak", "zebra", "zoo"}, "z", 9, TRUE, 1, 2},
        {{"zebra", "zoo", "{brace}"}, "z", 9, TRUE, 0, 1},
        {{"car", "card", "care"}, "dog", 9, FALSE, -1, -1},
        {{"car", "card", "care"}, "cars", 9, FALSE, -1, -1},
        {{"car", "card", "care"}, "zz", 9, FALSE, -1, -1},
        {{}, "a", 9, FALSE, -1, -1},
        // The range ends with the last word that begins with the prefix, also
        // where no single character sorts right after the last one typed:
        // '_' stands between '@' and the folded letters.
        {{"john@example.com", "john_smith", "johnny"}, "john@", 9, TRUE, 0, 0},
        // Latin-1 letters are not folded, so upper-casing must not move the end.
        {{"zebra", "\xE9" "cole", "\xE9" "gal"}, "\xE9", 9, TRUE, 1, 2},
        {{"zebra", "\xE9" "cole", "\xE9" "gal"}, "\xE9" "c", 9, TRUE, 1, 1},
    };
    for (const auto &c : cases) {
        std::vector<WRecord_X> records;
        for (const char *w : c.cache)
            records.push_back(Rec(w));
        SetCache(records);
        CompWordKey = c.key;
        int first = -1, last = -1;
        const BOOL found = CachePrefixRange(c.prefix, first, last);
        EXPECT_EQ(found, c.found) << c.prefix << " key " << c.key;
        if (c.found) {
            EXPECT_EQ(first, c.first) << c.prefix << " key " << c.key;
            EXPECT_EQ(last, c.last) << c.prefix << " key " << c.key;
        }
    }
}

TEST_F(WordCacheSearch, CountOutsideTheTableIsReadClamped)
{
    g_nCacheCount = WORD_CACHE_SIZE + 100;
    int pos = -1, first = -1, last = -1;
    EXPECT_FALSE(FindInWordCache("x", pos, TRUE));
    EXPECT_EQ(pos, WORD_CACHE_SIZE);
    EXPECT_FALSE(CachePrefixRange("x", first, last));
    EXPECT_TRUE(CheckWordCache());
    AddToWordCache("x", 0, pos, 1);  // no room: nothing written
    EXPECT_EQ(g_nCacheSeq, 0);
    EXPECT_EQ(GetWordRecord(0, WORD_CACHE_SIZE), nullptr);

    g_nCacheCount = -3;  // as empty
    EXPECT_FALSE(FindInWordCache("x", pos, TRUE));
    EXPECT_EQ(pos, 0);
    AddToWordCache("x", 0, pos, 1);
    EXPECT_EQ(CacheWords(), (std::vector<std::string>{"x"}));
}

TEST_F(WordCacheAdd, InsertsInOrderWithNormalisedCaseAndStamps)
{
    const struct {
        const char *typed;
        const char *stored;
    } words[] = {{"Hello", "hello"}, {"HELLO", ""}, {"iPod", "iPod"}, {"ipod", "ipod"},
                 {"McDonald", "McDonald"}, {"a", "a"}, {"Zebra", "zebra"}, {"good morning", "good morning"}};
    int64_t time = 0x123456789LL;  // beyond 32 bits: the low half is kept
    for (const auto &w : words) {
        CString normalized = w.typed;
        NormalizeWordCase(normalized);
        int pos = 0;
        if (FindInWordCache(normalized, pos, TRUE)) {
            EXPECT_STREQ(w.stored, "") << w.typed << " is already there as " << normalized.GetString();
            continue;
        }
        const int seq = g_nCacheSeq, before = g_nCacheCount;
        AddToWordCache(w.typed, time, pos, 5);
        ASSERT_EQ(g_nCacheCount, before + 1) << w.typed;
        const WRecord_X &entry = g_WordCache[pos];
        EXPECT_EQ(entry.word, w.stored);
        EXPECT_EQ(entry.useSeq, seq);
        EXPECT_EQ(g_nCacheSeq, seq + 1);
        EXPECT_EQ(entry.lastUsed, static_cast<int>(time & 0xFFFFFFFF));
        EXPECT_EQ(entry.useCount, 5);
        time += 100;
    }
    EXPECT_EQ(CacheWords(),
              (std::vector<std::string>{"a", "good morning", "hello", "iPod", "ipod", "McDonald", "zebra"}));
    EXPECT_TRUE(StrictlyAscending(CacheWords()));
    EXPECT_TRUE(CheckWordCache());
}

TEST_F(WordCacheAdd, PositionThatBreaksTheOrderInsertsNothing)
{
    const struct {
        const char *word;
        int pos;
    } cases[] = {
        {"apple", 2},   // belongs before banana
        {"zebra", 0},   // belongs at the end
        {"cherry", -1},
        {"cherry", 4},  // beyond the entries in use
        {"banana", 0},  // already there: no second copy
        {"banana", 1},
    };
    SetCacheWords({"banana", "cherry", "date"});
    g_WordCache[3] = Rec("stale");
    g_nCacheSeq = 40;
    for (const auto &c : cases) {
        int pos = c.pos;
        AddToWordCache(c.word, 1000, pos, 1);
        EXPECT_EQ(CacheWords(), (std::vector<std::string>{"banana", "cherry", "date"})) << c.word << " at " << c.pos;
        EXPECT_EQ(g_nCacheSeq, 40);
        EXPECT_EQ(g_WordCache[3].word, "stale");
    }
    int pos = 3;
    AddToWordCache("elder", 1000, pos, 1);  // the end is a good place for it
    EXPECT_EQ(CacheWords(), (std::vector<std::string>{"banana", "cherry", "date", "elder"}));
}

TEST_F(WordCacheAdd, FillingTheLastEntryFlushesAtOnce)
{
    // FlushPercentage 33 keeps 1372 entries: the 1024 most recently used and
    // the 348 most used of the rest. No word qualifies for the user library.
    std::vector<std::string> words = LowerCaseWords(WORD_CACHE_SIZE);
    ASSERT_EQ(words.size(), static_cast<size_t>(WORD_CACHE_SIZE)) << "word list missing";
    std::shuffle(words.begin(), words.end(), std::mt19937(7));
    CLibFile &user = UserLib({"aaa", "zzz"});
    g_nFlushPercentage = 33;
    g_nMinWordAddCount = g_nMinPhraseAddCount = INT_MAX;

    // Inserted i-th: the older half has 348 heavily used words (i * 7 % 1024
    // picks them all over the half); the recent half is never used again.
    std::vector<std::string> expected;
    for (int i = 0; i < WORD_CACHE_SIZE; ++i) {
        const bool recent = i >= 1024, heavy = !recent && i * 7 % 1024 < 348;
        if (recent || heavy)
            expected.push_back(words[static_cast<size_t>(i)]);
        const int count = recent ? 0 : heavy ? 1000 + i : i % 50;
        Learn(words[static_cast<size_t>(i)], count, 1700000000 + i);
        if (i == WORD_CACHE_SIZE - 2) {
            ASSERT_EQ(g_nCacheCount, WORD_CACHE_SIZE - 1);
        }
    }
    ASSERT_EQ(expected.size(), 1372u);
    EXPECT_EQ(g_nCacheCount, 1372);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(CacheWords(), expected);
    EXPECT_TRUE(CheckWordCache());
    // The records survive whole.
    for (int i = 0; i < g_nCacheCount; ++i) {
        const WRecord_X &entry = g_WordCache[i];
        const size_t inserted = static_cast<size_t>(entry.useSeq);
        ASSERT_LT(inserted, words.size());
        EXPECT_EQ(entry.word, words[inserted].c_str());
        EXPECT_EQ(entry.lastUsed, 1700000000 + entry.useSeq);
    }
    EXPECT_EQ(TableWords(user), (std::vector<std::string>{"aaa", "zzz"}));
    EXPECT_FALSE(user.m_bDirty);
}

TEST_F(WordCacheAdd, FullCacheAlwaysLeavesRoomForTheNextWord)
{
    // A flush percentage that would keep everything still frees one entry,
    // so insertions never reach past the table.
    for (int percent : {0, -20}) {
        std::vector<WRecord_X> records;
        for (int i = 0; i < WORD_CACHE_SIZE - 1; ++i) {
            char word[16];
            std::snprintf(word, sizeof word, "w%04d", i * 2);
            records.push_back(Rec(word, i, i));
        }
        SetCache(records);
        g_nCacheSeq = WORD_CACHE_SIZE;
        g_nFlushPercentage = percent;
        g_nMinWordAddCount = INT_MAX;
        for (const char *word : {"w0001", "w0003", "w0005"}) {
            Learn(word, 1);
            ASSERT_EQ(g_nCacheCount, WORD_CACHE_SIZE - 1) << percent;
            ASSERT_TRUE(CheckWordCache());
        }
        // The least used older words made room; the new ones stay.
        const std::vector<std::string> words = CacheWords();
        for (const char *gone : {"w0000", "w0002", "w0004"})
            EXPECT_FALSE(std::binary_search(words.begin(), words.end(), gone)) << gone;
        for (const char *kept : {"w0001", "w0003", "w0005", "w0006"})
            EXPECT_TRUE(std::binary_search(words.begin(), words.end(), kept)) << kept;
    }
}

TEST_F(WordCacheFlush, KeepsTheMostRecentlyUsedShareOfTheTable)
{
    // Fewer than 1024 entries left: only recency decides, however much the
    // older words were used.
    const struct {
        int entries, percent, kept;
    } cases[] = {
        {1000, 60, 819}, {1000, 33, 1000}, {1000, 100, 0}, {1000, 250, 0}, {1000, -50, 1000}, {500, 80, 409},
    };
    for (const auto &c : cases) {
        // Cache order w0000, w0001...; recency in a scattered order.
        std::vector<WRecord_X> records;
        for (int i = 0; i < c.entries; ++i) {
            char word[16];
            std::snprintf(word, sizeof word, "w%04d", i);
            const int seq = i * 389 % c.entries;
            records.push_back(Rec(word, 100000 - seq, seq));
        }
        SetCache(records);
        FlushWordCache(nullptr, c.percent, FALSE);
        ASSERT_EQ(g_nCacheCount, c.kept) << c.percent;
        EXPECT_TRUE(CheckWordCache());
        for (int i = 0; i < g_nCacheCount; ++i)
            ASSERT_GE(g_WordCache[i].useSeq, c.entries - c.kept) << c.percent;
    }
}

TEST_F(WordCacheFlush, WordsAndPhrasesMoveByTheirOwnThresholds)
{
    g_nFlushPercentage = 33;
    g_nMinWordAddCount = 3;
    g_nMinPhraseAddCount = 5;
    const struct {
        const char *word;
        int count;
        bool moves;
    } rows[] = {
        {"alpha", 3, true},          {"beta", 2, false},       {"delta", -1, true},  // counts compare unsigned
        {"good morning", 4, false},  {"see you", 5, true},     {"zeta", 4, true},
        {"theta", 0, false},
    };
    std::vector<WRecord_X> records;
    for (const auto &r : rows)
        records.push_back(Rec(r.word, r.count));
    std::sort(records.begin(), records.end(),
              [](const WRecord_X &a, const WRecord_X &b) { return CompareWordRecords(a, b) < 0; });

    for (BOOL clearAll : {FALSE, TRUE}) {
        SetCache(records);
        CLibFile &user = UserLib({"mid"});
        user.m_bDirty = FALSE;
        FlushWordCacheToUserLib(clearAll);
        std::vector<std::string> moved{"mid"}, stayed;
        for (const auto &r : rows)
            (r.moves ? moved : stayed).push_back(r.word);
        auto order = [](const std::string &a, const std::string &b) {
            return CompareWords(a.c_str(), b.c_str(), TRUE) < 0;
        };
        std::sort(moved.begin(), moved.end(), order);
        std::sort(stayed.begin(), stayed.end(), order);
        EXPECT_EQ(TableWords(user), moved) << clearAll;
        EXPECT_TRUE(user.m_bDirty);
        EXPECT_EQ(CacheWords(), clearAll ? std::vector<std::string>{} : stayed);
        const int alpha = static_cast<int>(std::find(moved.begin(), moved.end(), "alpha") - moved.begin());
        EXPECT_EQ(user.m_WordTable[static_cast<size_t>(alpha)].useCount, 3);
    }

    // No user library: nothing moves, the cache stays or is emptied.
    g_pUserLib = nullptr;
    SetCache(records);
    FlushWordCacheToUserLib(FALSE);
    EXPECT_EQ(g_nCacheCount, static_cast<int>(records.size()));
    FlushWordCacheToUserLib(TRUE);
    EXPECT_EQ(g_nCacheCount, 0);
}

TEST_F(WordCacheFlush, MergeKeepsTheLibraryOrderWithoutDuplicates)
{
    g_nMinWordAddCount = g_nMinPhraseAddCount = 1;
    CLibFile &user = UserLib({"apple", "Paris", "Rome", "zebra"});
    user.m_WordTable[1].useCount = 77;
    SetCacheWords({"aardvark", "PARIS", "Paris", "paris", "Rome", "rome", "zoo"});
    FlushWordCacheToUserLib(FALSE);
    EXPECT_EQ(TableWords(user), (std::vector<std::string>{"aardvark", "apple", "PARIS", "Paris", "paris", "Rome",
                                                          "rome", "zebra", "zoo"}));
    EXPECT_EQ(user.m_WordTable[3].useCount, 77);  // the library's own record stays
    EXPECT_EQ(g_nCacheCount, 0);
    EXPECT_TRUE(user.m_bDirty);

    // Only words already there: they leave the cache and the table is unchanged.
    SetCacheWords({"Paris", "zebra"});
    FlushWordCacheToUserLib(FALSE);
    EXPECT_EQ(user.m_WordTable.size(), 9u);
    EXPECT_EQ(g_nCacheCount, 0);
}

TEST_F(WordCacheFlush, MergeOfRealWordsWithCaseVariants)
{
    const std::vector<std::string> list = ReadWordList("american-english");
    ASSERT_GT(list.size(), 80000u) << "word list missing";
    auto order = [](const std::string &a, const std::string &b) {
        return CompareWords(a.c_str(), b.c_str(), TRUE) < 0;
    };
    // The library: every other word of the first 40000. The cache: words in
    // the library, their upper-case forms, and words not in it.
    std::vector<std::string> library, cache;
    for (size_t i = 0; i < 40000; i += 2)
        library.push_back(list[i]);
    std::sort(library.begin(), library.end(), order);
    for (size_t i = 0; cache.size() < WORD_CACHE_SIZE - 1; i += 37) {
        std::string w = list[i % list.size()];
        if (i % 3 == 1)
            std::transform(w.begin(), w.end(), w.begin(), [](char c) { return AsciiToUpper(c); });
        cache.push_back(w);
    }
    std::sort(cache.begin(), cache.end(), order);
    cache.erase(std::unique(cache.begin(), cache.end()), cache.end());

    CLibFile &user = UserLib({});
    for (const std::string &w : library)
        user.m_WordTable.push_back(Rec(w));
    ASSERT_TRUE(StrictlyAscending(TableWords(user)));
    std::vector<WRecord_X> records;
    for (const std::string &w : cache)
        records.push_back(Rec(w, 3));
    SetCache(records);
    g_nMinWordAddCount = g_nMinPhraseAddCount = 3;

    FlushWordCacheToUserLib(FALSE);
    EXPECT_EQ(g_nCacheCount, 0);
    const std::vector<std::string> merged = TableWords(user);
    EXPECT_TRUE(StrictlyAscending(merged));
    std::vector<std::string> expected(library);
    expected.insert(expected.end(), cache.begin(), cache.end());
    std::sort(expected.begin(), expected.end(), order);
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    EXPECT_GT(expected.size(), library.size() + 100);  // some new words...
    EXPECT_LT(expected.size(), library.size() + cache.size());  // ...and some already there
    EXPECT_EQ(merged, expected);
}

TEST_F(WordCacheLookup, FindsTheWordWhereverItLives)
{
    SetCacheWords({"cached", "hello"});
    SetLib(0, "user.lib", {"apple", "hello", "Mango"});
    SetLib(1, "fruit.lib", {"apple", "kiwi", "mango", "zucchini"});
    const struct {
        const char *word;
        BOOL learn;
        int lib, pos;
        int anyCaseLib, anyCasePos;
    } cases[] = {
        {"hello", TRUE, 0, 1, 0, 1},
        {"hello", FALSE, 1, 1, 1, 1},  // the cache is searched only while learning
        {"apple", TRUE, 1, 0, 1, 0},
        {"kiwi", TRUE, 2, 1, 2, 1},
        {"Kiwi", TRUE, -1, -1, 2, 1},  // the normalised form is found
        {"MANGO", TRUE, 1, 2, 1, 2},   // equal but for case to the last user word
        {"KIWI", TRUE, -1, -1, 2, 1},
        {"kIWI", TRUE, -1, -1, -1, -1},  // not a form that normalises
        {"plum", TRUE, -1, -1, -1, -1},
    };
    for (const auto &c : cases) {
        g_bLearnWord = c.learn;
        int pos = -1;
        EXPECT_EQ(FindWordRecord(c.word, pos), c.lib) << c.word;
        if (c.lib >= 0) {
            EXPECT_EQ(pos, c.pos) << c.word;
        }
        pos = -1;
        EXPECT_EQ(FindWordRecordAnyCase(c.word, pos), c.anyCaseLib) << c.word;
        if (c.anyCaseLib >= 0) {
            EXPECT_EQ(pos, c.anyCasePos) << c.word;
        }
    }
}

TEST_F(WordCacheLookup, RecordsByLibraryAndIndex)
{
    SetCacheWords({"cached", "hello"});
    g_WordCache[2] = Rec("stale");
    SetLib(0, "user.lib", {"apple"});
    SetLib(1, "fruit.lib", {"kiwi", "mango"});
    SetLib(2, "spare.lib", {"spare"});
    g_nWordLibCount = 2;  // the third is not in use

    const struct {
        int lib, index;
        const char *word;  // nullptr: no record
    } cases[] = {
        {0, 1, "hello"}, {1, 0, "apple"}, {2, 1, "mango"},
        {0, 2, nullptr}, {0, -1, nullptr}, {1, 1, nullptr}, {2, 2, nullptr},
        {3, 0, nullptr}, {-1, 0, nullptr}, {MAX_LIBRARIES + 1, 0, nullptr},
    };
    for (const auto &c : cases) {
        const WRecord_X *record = GetWordRecord(c.lib, c.index);
        if (c.word) {
            ASSERT_NE(record, nullptr) << c.lib << "," << c.index;
            EXPECT_EQ(record->word, c.word);
        } else {
            EXPECT_EQ(record, nullptr) << c.lib << "," << c.index;
        }
    }
    g_nWordLibCount = 99;  // read clamped
    EXPECT_EQ(GetWordRecord(3, 0)->word, "spare");
    EXPECT_EQ(GetWordRecord(MAX_LIBRARIES + 1, 0), nullptr);
}

TEST_F(WordCacheLookup, CountRelativeToAnotherWord)
{
    std::vector<WRecord_X> cache = {Rec("above", 40), Rec("below", 7)};
    SetCache(cache);
    CLibFile &user = SetLib(0, "user.lib", {"apple", "mango", "zebra"});
    user.m_WordTable[1].useCount = 12;
    CLibFile &other = SetLib(1, "fruit.lib", {"kiwi", "lime"});
    other.m_WordTable[0].useCount = INT_MAX;

    // A cache word: only the cache changes.
    EXPECT_TRUE(SetCountRelativeTo("below", "mango", 10));
    EXPECT_EQ(g_WordCache[1].useCount, 22);
    EXPECT_TRUE(SetCountRelativeTo("Above", "below", -1));  // equal but for case to the first entry
    EXPECT_EQ(g_WordCache[0].useCount, 21);
    EXPECT_FALSE(user.m_bDirty);
    EXPECT_FALSE(other.m_bDirty);
    EXPECT_FALSE(AnyBucketFilled(user));
    EXPECT_FALSE(AnyBucketFilled(other));

    // A library word: that library is dirty and its letter's bucket rebuilt.
    EXPECT_TRUE(SetCountRelativeTo("Mango", "above", 10));
    EXPECT_EQ(user.m_WordTable[1].useCount, 31);
    EXPECT_TRUE(user.m_bDirty);
    EXPECT_FALSE(other.m_bDirty);
    ASSERT_FALSE(user.m_WordBuckets['M' - 'A'].empty());
    EXPECT_EQ(user.m_WordBuckets['M' - 'A'][0].word, "mango");
    EXPECT_EQ(user.m_WordBuckets['M' - 'A'][0].useCount, 31);

    // The count does not wrap round.
    EXPECT_TRUE(SetCountRelativeTo("lime", "kiwi", 10));
    EXPECT_EQ(other.m_WordTable[1].useCount, INT_MAX);

    // Either word missing: nothing changes.
    EXPECT_FALSE(SetCountRelativeTo("plum", "mango", 1));
    EXPECT_FALSE(SetCountRelativeTo("mango", "plum", 1));
    EXPECT_EQ(user.m_WordTable[1].useCount, 31);
}

TEST_F(WordCacheLookup, OrderCheckAndSortOrders)
{
    SetCacheWords({"Paris", "paris", "rome"});
    EXPECT_TRUE(CheckWordCache());
    SetCacheWords({"paris", "Paris", "rome"});
    EXPECT_FALSE(CheckWordCache());
    SetCacheWords({"rome", "paris"});
    EXPECT_FALSE(CheckWordCache());
    SetCacheWords({"zebra"});
    EXPECT_TRUE(CheckWordCache());
    SetCacheWords({});
    EXPECT_TRUE(CheckWordCache());

    // Descending orders hold at the ends of the int range.
    EXPECT_GT(CompareBySeqDesc(Rec("a", 0, INT_MIN), Rec("b", 0, INT_MAX)), 0);
    EXPECT_LT(CompareBySeqDesc(Rec("a", 0, INT_MAX), Rec("b", 0, INT_MIN)), 0);
    EXPECT_EQ(CompareBySeqDesc(Rec("a", 0, 5), Rec("b", 0, 5)), 0);
    EXPECT_GT(CompareByCountDesc(Rec("a", INT_MIN), Rec("b", INT_MAX)), 0);
    EXPECT_LT(CompareByCountDesc(Rec("a", 2), Rec("b", -3)), 0);
    EXPECT_LT(CompareWordRecords(Rec("Paris"), Rec("paris")), 0);
    EXPECT_LT(CompareWordRecords(Rec("paris"), Rec("Rome")), 0);

    auto sh = [](const char *name, const char *expansion) {
        SHRecord_X record;
        std::snprintf(record.name, sizeof record.name, "%s", name);
        record.expansion = expansion;
        return record;
    };
    std::vector<SHRecord_X> shorthands = {sh("sig", "Regards"), sh("addr", "Main St"), sh("sig", "Best"),
                                          sh("Sig", "Zed"), sh("sig", "best")};
    std::sort(shorthands.begin(), shorthands.end(),
              [](const SHRecord_X &a, const SHRecord_X &b) { return CompareShRecords(a, b) < 0; });
    std::vector<std::string> order;
    for (const SHRecord_X &r : shorthands)
        order.push_back(std::string(r.name) + "=" + r.expansion.GetString());
    EXPECT_EQ(order, (std::vector<std::string>{"addr=Main St", "Sig=Zed", "sig=Best", "sig=best", "sig=Regards"}));
}

TEST_F(WordCacheLookup, MovesOpenAndCloseGaps)
{
    const struct {
        int from, n, d;
        const char *result;
    } cases[] = {
        {1, 3, 1, "abbcdf"},   // opens a gap at 1
        {2, 3, 2, "abcdcde"},  // overlapping, two places up
        {2, 4, -1, "acdeff"},  // closes the gap at 1
        {3, 3, -3, "defdef"},
        {0, 0, 1, "abcdef"},
        {2, 3, 0, "abcdef"},
    };
    for (const auto &c : cases) {
        std::vector<WRecord_X> words;
        std::vector<SHRecord_X> shorthands(7);
        for (int i = 0; i < 7; ++i) {
            words.push_back(Rec(i < 6 ? std::string(1, static_cast<char>('a' + i)) : std::string()));
            shorthands[static_cast<size_t>(i)].expansion = words.back().word;
        }
        MoveWordRecords(words.data() + c.from, c.n, c.d);
        MoveShRecords(shorthands.data() + c.from, c.n, c.d);
        std::string wordText, shText;
        for (int i = 0; i < 7; ++i) {
            wordText += words[static_cast<size_t>(i)].word.GetString();
            shText += shorthands[static_cast<size_t>(i)].expansion.GetString();
        }
        EXPECT_EQ(wordText, c.result) << c.from << " " << c.n << " " << c.d;
        EXPECT_EQ(shText, c.result) << c.from << " " << c.n << " " << c.d;
    }
}

TEST_F(WordCacheDelete, EntriesOfTheCache)
{
    const struct {
        int index;
        std::vector<std::string> left;
    } cases[] = {
        {0, {"b", "c", "d"}}, {1, {"a", "c", "d"}}, {3, {"a", "b", "c"}},
        {4, {"a", "b", "c", "d"}}, {-1, {"a", "b", "c", "d"}},
    };
    for (const auto &c : cases) {
        SetCacheWords({"a", "b", "c", "d"});
        DeleteFromWordCache(c.index);
        EXPECT_EQ(CacheWords(), c.left) << c.index;
    }
    SetCacheWords({});
    DeleteFromWordCache(0);
    EXPECT_EQ(g_nCacheCount, 0);
}

TEST_F(WordCacheDelete, CacheFirstThenLibrariesWithConfirmation)
{
    SetCacheWords({"hello"});
    CLibFile &user = SetLib(0, "user.lib", {"hello", "world"});
    CLibFile &medical = SetLib(1, "Medical.lib", {"hello", "world"});
    CLibFile &legal = SetLib(2, "Legal.lib", {"world"});

    // In the cache: only the cache entry goes, no one is asked.
    EXPECT_TRUE(DeleteWordEverywhere("hello"));
    EXPECT_EQ(g_nCacheCount, 0);
    EXPECT_EQ(TableWords(user), (std::vector<std::string>{"hello", "world"}));
    EXPECT_EQ(TableWords(medical), (std::vector<std::string>{"hello", "world"}));
    EXPECT_FALSE(user.m_bDirty);
    EXPECT_TRUE(Questions().empty());

    // Library 0 goes without asking; the others only after OK.
    Answers({false, true});
    EXPECT_TRUE(DeleteWordEverywhere("world"));
    EXPECT_EQ(Questions(), (std::vector<std::string>{
                               "This word/phrase exists in Medical.lib\nDo you wish to delete it?",
                               "This word/phrase exists in Legal.lib\nDo you wish to delete it?"}));
    EXPECT_EQ(TableWords(user), (std::vector<std::string>{"hello"}));
    EXPECT_EQ(TableWords(medical), (std::vector<std::string>{"hello", "world"}));
    EXPECT_TRUE(legal.m_WordTable.empty());
    EXPECT_TRUE(user.m_bDirty);
    EXPECT_FALSE(medical.m_bDirty);

    // Exact search: another case form is not this word.
    Answers({true});
    EXPECT_FALSE(DeleteWordEverywhere("Hello"));
    EXPECT_FALSE(DeleteWordEverywhere("plum"));
    EXPECT_FALSE(DeleteWordEverywhere(""));
    EXPECT_TRUE(Questions().empty());
    Answers({false});
    EXPECT_FALSE(DeleteWordEverywhere("world"));  // cancelled: nothing deleted
    EXPECT_EQ(TableWords(medical), (std::vector<std::string>{"hello", "world"}));
}

TEST_F(WordCacheDelete, BothCaseForms)
{
    SetLib(0, "user.lib", {});
    CLibFile &medical = SetLib(1, "Medical.lib", {"Hello", "hello", "world"});
    CLibFile &legal = SetLib(2, "Legal.lib", {"Hello"});

    // Every confirmation cancelled and neither form in the cache: FALSE.
    EXPECT_FALSE(DeleteWordBothCases("Hello"));
    EXPECT_EQ(Questions().size(), 3u);
    EXPECT_EQ(TableWords(medical), (std::vector<std::string>{"Hello", "hello", "world"}));
    EXPECT_EQ(TableWords(legal), (std::vector<std::string>{"Hello"}));

    Answers({true, true, true});
    EXPECT_TRUE(DeleteWordBothCases("Hello"));
    EXPECT_EQ(TableWords(medical), (std::vector<std::string>{"world"}));
    EXPECT_TRUE(legal.m_WordTable.empty());

    // The cache holds one form and the user library the other: both go, unasked.
    Answers({});
    SetCacheWords({"hello"});
    CLibFile &user = SetLib(0, "user.lib", {"Hello"});
    EXPECT_TRUE(DeleteWordBothCases("Hello"));
    EXPECT_EQ(g_nCacheCount, 0);
    EXPECT_TRUE(user.m_WordTable.empty());
    EXPECT_TRUE(Questions().empty());

    // A form that does not normalise is deleted once.
    SetCacheWords({"iPod", "ipod"});
    EXPECT_TRUE(DeleteWordBothCases("iPod"));
    EXPECT_EQ(CacheWords(), (std::vector<std::string>{"ipod"}));
}

#ifdef _WIN32
// Without a question sink the user is asked in a real OK/Cancel box.
TEST_F(WordCacheDelete, ConfirmationBoxOnWindows)
{
    SetLib(0, "user.lib", {});
    CLibFile &medical = SetLib(1, "Medical.lib", {"hello"});
    Answers({});
    SetQuestionSink(nullptr);
    for (int answer : {IDCANCEL, IDOK}) {
        MessageBoxCatcher catcher(answer);
        ASSERT_TRUE(catcher.Installed());
        EXPECT_EQ(DeleteWordEverywhere("hello"), answer == IDOK);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].caption, "Lexanto");
        EXPECT_EQ(catcher.Boxes()[0].text, "This word/phrase exists in Medical.lib\nDo you wish to delete it?");
        EXPECT_EQ(medical.m_WordTable.size(), answer == IDOK ? 0u : 1u);
    }
}
#endif
