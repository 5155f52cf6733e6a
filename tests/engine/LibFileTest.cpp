#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Candidates.h"
#include "CharClasses.h"
#include "EngineSettings.h"
#include "LibFile.h"
#include "RecordBuilders.h"
#include "LibFormats.h"
#include "MessageLog.h"
#include "SearchSignals.h"
#include "SharedSection.h"
#include "TempDir.h"
#include "WordLists.h"

namespace {
std::vector<std::string> Keys(const CLibFile &library)
{
    std::vector<std::string> keys;
    for (int i = 0; i < library.GetRecordCount(); ++i)
        keys.push_back(library.GetKeyAt(i).GetString());
    return keys;
}

// A word library whose table holds exactly these words, in this order.
void Fill(CLibFile &library, std::initializer_list<const char *> words)
{
    library.m_WordTable.clear();
    for (const char *w : words)
        library.m_WordTable.push_back(Word(w));
}

// Record file bytes: the header of its kind, then one record per memo offset
// (shorthands named "sN", or by the given 20 name bytes).
std::string RecordFile(bool shorthand, std::initializer_list<int> memoOffsets, const std::string &name = "")
{
    std::vector<unsigned char> bytes;
    AppendLibHeader(bytes, shorthand);
    int n = 0;
    for (int offset : memoOffsets) {
        if (shorthand) {
            SHRecord_X record = Shorthand(("s" + std::to_string(n++)).c_str(), "");
            record.memoOffset = offset;
            AppendShDiskRecord(bytes, record);
            if (!name.empty())
                std::copy(name.begin(), name.end(), bytes.end() - SH_REC_SIZE);
        } else {
            WRecord_X record = Word("");
            record.memoOffset = offset;
            AppendWordDiskRecord(bytes, record);
        }
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string Header(const char *text, size_t size)
{
    std::string header(size, '\0');
    header.replace(0, std::string(text).size(), text);
    return header;
}

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Names as TempDir::List gives them: sorted, blank-separated.
std::string Listed(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string &name : names)
        list += (list.empty() ? "" : " ") + name;
    return list;
}

class CompletionKey {
public:
    explicit CompletionKey(UINT key) : m_saved(CompWordKey) { CompWordKey = key; }
    ~CompletionKey() { CompWordKey = m_saved; }

private:
    UINT m_saved;
};
}  // namespace

TEST(LibFile, NewLibrariesAndTheirKinds)
{
    TempDir dir;
    MessageLog log;
    CLibFile words(dir.Path("user_en.lib").c_str());
    EXPECT_FALSE(words.ReadAllRecordsFromLib(FALSE));
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], dir.Path("user_en.lib") + " doesn't exist!");

    ASSERT_TRUE(words.ReadAllRecordsFromLib(TRUE));  // created empty
    EXPECT_EQ(words.GetRecordCount(), 0);
    std::string header(120, '\0');
    header.replace(0, 14, "wordlib ver130");
    EXPECT_EQ(TempDir::Read(dir.Path("user_en.lib")), header);
    EXPECT_EQ(TempDir::Read(dir.Path("user_en.mem")), "");

    CLibFile shorthands(dir.Path("Personal Shorthands.SLB").c_str());
    EXPECT_TRUE(shorthands.IsShorthandLib());  // the extension in capitals still counts
    EXPECT_EQ(shorthands.GetRecordSize(), 32);
    EXPECT_EQ(shorthands.GetHeaderSize(), 160);
    EXPECT_EQ(shorthands.GetLibName(), "Personal Shorthands");
    EXPECT_FALSE(words.IsShorthandLib());
}

TEST(LibFile, RealWordListRoundTrip)
{
    TempDir dir;
    std::vector<std::string> list = ReadWordList("american-english", 20000);
    ASSERT_GT(list.size(), 10000u) << "word list missing";
    CLibFile library(dir.Path("big.lib").c_str());
    ASSERT_TRUE(library.ReadAllRecordsFromLib(TRUE));
    int n = 0;
    for (const std::string &w : list) {
        ++n;
        library.AddWord(Word(w.c_str(), n % 50, 1700000000 + n));
    }
    EXPECT_TRUE(library.m_bDirty);
    const std::vector<WRecord_X> before = library.m_WordTable;
    // Strictly ascending: every word once, words that differ only in case in byte order.
    for (size_t i = 1; i < before.size(); ++i)
        ASSERT_LT(CompareWords(before[i - 1].word, before[i].word, TRUE), 0) << before[i].word.GetString();
    ASSERT_EQ(before.size(), list.size());
    ASSERT_TRUE(library.CloseLib());
    EXPECT_EQ(library.GetRecordCount(), 0);
    EXPECT_EQ(dir.List(), "big.lib big.mem");  // nothing left beside it

    CLibFile reread(dir.Path("big.lib").c_str());
    ASSERT_TRUE(reread.ReadAllRecordsFromLib(FALSE));
    ASSERT_EQ(reread.m_WordTable.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(reread.m_WordTable[i].word, before[i].word);
        EXPECT_EQ(reread.m_WordTable[i].useCount, before[i].useCount);
        EXPECT_EQ(reread.m_WordTable[i].lastUsed, before[i].lastUsed);
    }
    // In a freshly written library the memo offsets ascend with the index.
    for (size_t i = 1; i < reread.m_WordTable.size(); ++i)
        ASSERT_GT(reread.m_WordTable[i].memoOffset, reread.m_WordTable[i - 1].memoOffset);
}

TEST(LibFile, AddWordKeepsCaseVariantsInOrder)
{
    CLibFile library("t.lib");
    for (const char *w : {"apple", "banana", "Apple", "APPLE", "apple", "Banana", "aardvark"})
        library.AddWord(Word(w));
    EXPECT_EQ(Keys(library), (std::vector<std::string>{"aardvark", "APPLE", "Apple", "apple", "Banana", "banana"}));
}

TEST(LibFile, FindRecord)
{
    CLibFile library("t.lib");
    int pos = -1;
    EXPECT_FALSE(library.FindRecord("x", pos, TRUE));
    EXPECT_EQ(pos, 0);

    Fill(library, {"Apple", "apple", "banana"});
    EXPECT_TRUE(library.FindRecord("apple", pos, TRUE));
    EXPECT_EQ(pos, 1);
    // Without exact, a case-insensitive equality with the first record counts as found.
    EXPECT_TRUE(library.FindRecord("apple", pos, FALSE));
    EXPECT_EQ(pos, 0);

    Fill(library, {"Able", "Apple", "apple", "banana"});
    EXPECT_FALSE(library.FindRecord("apple", pos, FALSE));
    EXPECT_EQ(pos, 1);  // in the middle only byte equality counts
    EXPECT_TRUE(library.FindRecord("apple", pos, TRUE));
    EXPECT_EQ(pos, 2);
    EXPECT_FALSE(library.FindRecord("cherry", pos, TRUE));
    EXPECT_EQ(pos, 4);
    EXPECT_FALSE(library.FindRecord("Abm", pos, TRUE));
    EXPECT_EQ(pos, 1);
}

TEST(LibFile, FindPrefixRange)
{
    CLibFile library("t.lib");
    int first = -1, last = -1;
    EXPECT_FALSE(library.FindPrefixRange("a", first, last));

    Fill(library, {"bar", "car", "card", "care", "cat", "zebra", "zoo"});
    {
        CompletionKey key(9);  // Tab completes: the typed word itself is not offered
        ASSERT_TRUE(library.FindPrefixRange("car", first, last));
        EXPECT_EQ(first, 2);
        EXPECT_EQ(last, 3);
    }
    {
        CompletionKey key(32);
        ASSERT_TRUE(library.FindPrefixRange("car", first, last));
        EXPECT_EQ(first, 1);
        EXPECT_EQ(last, 3);
    }
    ASSERT_TRUE(library.FindPrefixRange("z", first, last));  // the bound is the character after z
    EXPECT_EQ(first, 5);
    EXPECT_EQ(last, 6);
    ASSERT_TRUE(library.FindPrefixRange("CA", first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 4);
    EXPECT_FALSE(library.FindPrefixRange("d", first, last));

    // Prefixes whose next character has no folded form keep to the matching records.
    Fill(library, {"john@home", "john_smith", "johnny", "\xE9" "cole", "\xE9t\xE9"});
    ASSERT_TRUE(library.FindPrefixRange("john@", first, last));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);
    ASSERT_TRUE(library.FindPrefixRange("\xE9", first, last));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 4);
    EXPECT_FALSE(library.FindPrefixRange("zz", first, last));
}

// The search index narrows binary searches; with it, searches must give
// exactly what the plain search gives, also once the table changed.
TEST(LibFile, SearchIndexGivesThePlainSearchResults)
{
    const std::vector<std::string> list = ReadWordList("american-english-insane", 40000);
    ASSERT_GT(list.size(), 30000u) << "word list missing";
    CLibFile indexed("t.lib"), plain("t.lib");
    for (const std::string &w : list)
        indexed.m_WordTable.push_back(Word(w.c_str()));
    std::stable_sort(indexed.m_WordTable.begin(), indexed.m_WordTable.end(),
                     [](const WRecord_X &a, const WRecord_X &b) { return CompareWords(a.word, b.word, TRUE) < 0; });
    indexed.RefreshSearchIndex();

    std::vector<std::string> probes = {"", "a", "A", "zzzzzzzzzzzz", "\xFF", "@", "john@", "e\xE9", "abcdefgh",
                                       "abcdefghi", "ABCDEFGHIJKL"};
    for (size_t i = 0; i < list.size(); i += 13) {
        const std::string &w = list[i];
        for (size_t n = 1; n <= w.size() && n <= 10; n += 2)
            probes.push_back(w.substr(0, n));
        std::string upper = w;
        for (char &c : upper)
            c = AsciiToUpper(c);
        probes.push_back(upper);
        probes.push_back(w + "\x01");
    }
    auto compare = [&](const char *stage) {
        plain.m_WordTable = indexed.m_WordTable;  // a copy has no index
        for (const std::string &probe : probes) {
            for (BOOL exact : {FALSE, TRUE}) {
                int a = -1, b = -1;
                const BOOL foundA = indexed.FindRecord(probe.c_str(), a, exact);
                const BOOL foundB = plain.FindRecord(probe.c_str(), b, exact);
                ASSERT_EQ(foundA, foundB) << stage << " \"" << probe << "\" exact " << exact;
                ASSERT_EQ(a, b) << stage << " \"" << probe << "\" exact " << exact;
            }
            int firstA = -1, lastA = -1, firstB = -1, lastB = -1;
            ASSERT_EQ(indexed.FindPrefixRange(probe.c_str(), firstA, lastA),
                      plain.FindPrefixRange(probe.c_str(), firstB, lastB)) << stage << " " << probe;
            ASSERT_EQ(firstA, firstB) << stage << " " << probe;
            ASSERT_EQ(lastA, lastB) << stage << " " << probe;
        }
    };
    compare("fresh index");
    // Changes through the class leave no stale index behind.
    indexed.m_WordTable.reserve(indexed.m_WordTable.size() + 10);  // same storage for the changes below
    indexed.RefreshSearchIndex();
    for (const char *w : {"aaaa", "Mmmm", "zzzzzz", "abcdefghij"})
        indexed.AddWord(Word(w));
    for (int i = 0; i < 4; ++i)
        indexed.DeleteRecord(1000 * i + 7);
    compare("after adding and deleting");
    indexed.RefreshSearchIndex();
    compare("rebuilt index");
}

TEST(LibFile, MatchPrefixRanksAndFilters)
{
    CLibFile library("t.lib");
    library.m_WordTable = {Word("car", 9), Word("card", 3), Word("care", 7), Word("careful", 5), Word("cat", 1)};
    const float savedF = g_fFreqVsTime;
    g_fFreqVsTime = -1;  // by count only
    ClearWordCandidates();
    EXPECT_EQ(library.MatchPrefix("car", FALSE), 0);
    std::vector<std::string> got;
    for (int i = 0; i <= g_nLastWordCandidate; ++i)
        got.push_back(g_WordCandidates[i].word.GetString());
    EXPECT_EQ(got, (std::vector<std::string>{"care", "careful", "card"}));
    g_fFreqVsTime = savedF;

    ClearWordCandidates();
    EXPECT_EQ(library.MatchPrefix("x", FALSE), 0);
    EXPECT_EQ(g_nLastWordCandidate, -1);
}

TEST(LibFile, SearchSignalsCutTheWalkShort)
{
    CLibFile library("t.lib");
    for (int i = 0; i < 1000; ++i)
        library.m_WordTable.push_back(Word(("w" + std::to_string(100000 + i)).c_str()));
    const struct {
        void (*raise)();
        void (*lower)();
        int code;
    } cases[] = {
        {[] { ++g_nSearchGeneration; }, [] {}, SEARCH_NEW_REQUEST},
        {[] { g_bSearchQuit = true; }, [] { g_bSearchQuit = false; }, SEARCH_QUIT},
        {[] { g_bSearchPausePending = true; }, [] { g_bSearchPausePending = false; }, SEARCH_PAUSE},
    };
    for (const auto &c : cases) {
        ClearWordCandidates();
        SearchScope scope;
        c.raise();
        EXPECT_EQ(library.MatchPrefix("w", FALSE), c.code);
        EXPECT_EQ(g_nLastWordCandidate, -1);  // stopped before the first record
        c.lower();
    }
    // Outside a search (a bucket rebuild on the main thread) nothing cuts the walk.
    ++g_nSearchGeneration;
    ClearWordCandidates();
    EXPECT_EQ(library.MatchPrefix("w", FALSE), 0);
    EXPECT_GE(g_nLastWordCandidate, 0);
}

TEST(LibFile, LetterBuckets)
{
    CLibFile library("t.lib");
    library.m_WordTable = {Word("1st", 5), Word("apple", 2), Word("apricot", 8), Word("banana", 1)};
    library.BuildLetterBuckets();
    ASSERT_EQ(library.m_WordBuckets[0].size(), 2u);
    EXPECT_EQ(library.m_WordBuckets[0][0].word, "apricot");  // best first
    EXPECT_EQ(library.m_WordBuckets[1].size(), 1u);
    EXPECT_TRUE(library.m_WordBuckets[2].empty());

    // A record whose key begins with a digit: buckets unchanged, but dirty.
    library.m_bDirty = FALSE;
    library.DeleteRecord(0);
    EXPECT_TRUE(library.m_bDirty);
    EXPECT_EQ(library.m_WordBuckets[0].size(), 2u);
    // Deleting a letter's record rebuilds that letter.
    library.DeleteRecord(1);  // apricot
    ASSERT_EQ(library.m_WordBuckets[0].size(), 1u);
    EXPECT_EQ(library.m_WordBuckets[0][0].word, "apple");
    library.DeleteRecord(7);  // outside the table: nothing
    EXPECT_EQ(library.GetRecordCount(), 2);
}

TEST(LibFile, ShorthandsAreStoredLowerCase)
{
    TempDir dir;
    CLibFile library(dir.Path("sh.slb").c_str());
    ASSERT_TRUE(library.ReadAllRecordsFromLib(TRUE));
    library.AddShorthand(Shorthand("BTW", "by the way"));
    library.AddShorthand(Shorthand("BTW", "by the way"));  // same pair: once
    library.AddShorthand(Shorthand("BTW", "back to work"));
    library.AddShorthand(Shorthand("x", "one letter"));  // never written
    ASSERT_EQ(library.GetRecordCount(), 4 - 1);
    ASSERT_TRUE(library.CloseLib());

    CLibFile reread(dir.Path("sh.slb").c_str());
    ASSERT_TRUE(reread.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(Keys(reread), (std::vector<std::string>{"btw", "btw"}));
    // One name, several expansions: ordered by expansion.
    EXPECT_EQ(reread.m_ShTable[0].expansion, "back to work");
    EXPECT_EQ(reread.m_ShTable[1].expansion, "by the way");

    // The record handed to the writer is lower-cased too.
    ASSERT_TRUE(reread.OpenFiles(FALSE));
    SHRecord_X record = Shorthand("SIG", "Best regards");
    EXPECT_EQ(reread.WriteShRecord(record, 2), 0);
    EXPECT_STREQ(record.name, "sig");
    SHRecord_X tiny = Shorthand("q", "x");
    EXPECT_EQ(reread.WriteShRecord(tiny, 3), -1);
    SHRecord_X back;
    EXPECT_EQ(reread.ReadShRecord(back, 2), 0);
    EXPECT_STREQ(back.name, "sig");
    EXPECT_EQ(back.expansion, "Best regards");
    EXPECT_EQ(reread.CountRecords(), 3);
    reread.CloseFiles();
}

TEST(LibFile, WriteBackKeepsTheTableWhenItFails)
{
    TempDir dir;
    CLibFile library(dir.Path("gone/user.lib").c_str());
    library.m_WordTable = {Word("kept")};
    library.m_bDirty = TRUE;
    MessageLog log;
    EXPECT_FALSE(library.WriteAllRecordsIntoLib(TRUE));  // its folder does not exist
    EXPECT_TRUE(library.m_bDirty);
    ASSERT_EQ(library.GetRecordCount(), 1);
    EXPECT_FALSE(MessageLog::Messages().empty());

    // A clean library writes nothing, but still frees its table when asked.
    CLibFile clean(dir.Path("clean.lib").c_str());
    ASSERT_TRUE(clean.ReadAllRecordsFromLib(TRUE));
    clean.AddWord(Word("one"));
    ASSERT_TRUE(clean.WriteAllRecordsIntoLib(FALSE));
    const std::string bytes = TempDir::Read(dir.Path("clean.lib"));
    clean.m_WordTable.push_back(Word("unsaved"));  // changed without the dirty flag
    EXPECT_TRUE(clean.WriteAllRecordsIntoLib(TRUE));
    EXPECT_EQ(TempDir::Read(dir.Path("clean.lib")), bytes);
    EXPECT_EQ(clean.GetRecordCount(), 0);
}

// Records the writers refuse (no word; a shorthand name under 2 letters) are
// left out of the files; the others keep their order, texts and counts.
TEST(LibFile, WriteBackLeavesOutRecordsTheWritersRefuse)
{
    struct Record {
        const char *key, *expansion;
        int count;
    };
    struct Case {
        const char *file;
        std::vector<Record> table, written;
    };
    const Case cases[] = {
        {"user.lib", {{"alpha", "", 2}, {"", "", 7}, {"beta", "", 5}}, {{"alpha", "", 2}, {"beta", "", 5}}},
        {"sh.slb",
         {{"ab", "first", 2}, {"q", "one letter", 7}, {"", "no name", 8}, {"cd", "second", 5}},
         {{"ab", "first", 2}, {"cd", "second", 5}}},
    };
    TempDir dir;
    for (const Case &c : cases) {
        CLibFile library(dir.Path(c.file).c_str());
        for (const Record &r : c.table) {
            if (library.IsShorthandLib())
                library.m_ShTable.push_back(Shorthand(r.key, r.expansion, r.count));
            else
                library.m_WordTable.push_back(Word(r.key, r.count));
        }
        library.m_bDirty = TRUE;
        ASSERT_TRUE(library.WriteAllRecordsIntoLib(TRUE)) << c.file;

        CLibFile reread(dir.Path(c.file).c_str());
        ASSERT_TRUE(reread.ReadAllRecordsFromLib(FALSE)) << c.file;
        ASSERT_EQ(reread.GetRecordCount(), static_cast<int>(c.written.size())) << c.file;
        for (size_t i = 0; i < c.written.size(); ++i) {
            const Record &want = c.written[i];
            EXPECT_EQ(reread.GetKeyAt(static_cast<int>(i)), want.key) << c.file;
            if (reread.IsShorthandLib()) {
                EXPECT_EQ(reread.m_ShTable[i].expansion, want.expansion) << c.file;
                EXPECT_EQ(reread.m_ShTable[i].useCount, want.count) << c.file;
            } else {
                EXPECT_EQ(reread.m_WordTable[i].useCount, want.count) << c.file;
            }
        }
    }
}

// Records name their texts by offset; a memo in record order is streamed,
// and one in any other order, or with gaps, must read the same.
TEST(LibFile, MemoEntriesAreFoundInAnyOrder)
{
    TempDir dir;
    std::vector<std::string> list = ReadWordList("american-english-insane", 60000);
    ASSERT_GT(list.size(), 50000u) << "word list missing";
    std::vector<WRecord_X> table;
    for (const std::string &w : list)
        table.push_back(Word(w.c_str()));
    std::stable_sort(table.begin(), table.end(),
                     [](const WRecord_X &a, const WRecord_X &b) { return CompareWords(a.word, b.word, TRUE) < 0; });
    table.erase(std::unique(table.begin(), table.end(),
                            [](const WRecord_X &a, const WRecord_X &b) { return a.word == b.word; }),
                table.end());
    table.back().word = CString('x', 2000);  // an entry longer than its neighbours
    const size_t n = table.size();
    std::vector<size_t> ascending(n), descending(n), shuffled(n);
    for (size_t i = 0; i < n; ++i)
        ascending[i] = descending[n - 1 - i] = shuffled[i] = i;
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    const struct {
        const char *name;
        const std::vector<size_t> &memoOrder;
        int gapEvery;  // a dropped entry after every gapEvery-th text
    } cases[] = {{"ascending", ascending, 0}, {"descending", descending, 0}, {"shuffled", shuffled, 0},
                 {"gaps", ascending, 400}, {"many gaps", ascending, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> memo, records;
        std::vector<int> offsets(n);
        for (size_t k = 0; k < n; ++k) {
            offsets[c.memoOrder[k]] = AppendMemoEntry(memo, table[c.memoOrder[k]].word);
            if (c.gapEvery && k % static_cast<size_t>(c.gapEvery) == 0)
                AppendMemoEntry(memo, CString('g', 3000));
        }
        AppendLibHeader(records, false);
        for (size_t i = 0; i < n; ++i) {
            WRecord_X r = table[i];
            r.memoOffset = offsets[i];
            AppendWordDiskRecord(records, r);
        }
        dir.Write("m.lib", std::string(records.begin(), records.end()));
        dir.Write("m.mem", std::string(memo.begin(), memo.end()));
        CLibFile library(dir.Path("m.lib").c_str());
        ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
        ASSERT_EQ(library.m_WordTable.size(), n);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(library.m_WordTable[i].word, table[i].word) << i;
    }
}

TEST(LibFile, DamagedAndHalfWrittenLibraries)
{
    TempDir dir;
    // A memo entry marked dropped reads as an empty text.
    CLibFile library(dir.Path("w.lib").c_str());
    ASSERT_TRUE(library.ReadAllRecordsFromLib(TRUE));
    library.AddWord(Word("alpha"));
    library.AddWord(Word("beta"));
    ASSERT_TRUE(library.CloseLib());
    ASSERT_TRUE(library.OpenFiles(FALSE));
    library.MarkMemoDeleted(0);
    library.CloseFiles();
    ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(Keys(library), (std::vector<std::string>{"", "beta"}));

    // A write-back cut short before its commit point leaves the old pair.
    const std::string oldRecords = TempDir::Read(dir.Path("w.lib"));
    dir.Write("~w.lib.new", "partial");
    dir.Write("~w.mem.new", "partial");
    ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(TempDir::Read(dir.Path("w.lib")), oldRecords);
    EXPECT_EQ(dir.List(), "w.lib w.mem");

    // One cut short after it: the new pair is put in place when the library opens.
    CLibFile other(dir.Path("n.lib").c_str());
    ASSERT_TRUE(other.ReadAllRecordsFromLib(TRUE));
    other.AddWord(Word("gamma"));
    ASSERT_TRUE(other.CloseLib());
    dir.Write("~w.lib.ready", TempDir::Read(dir.Path("n.lib")));
    dir.Write("~w.mem.new", TempDir::Read(dir.Path("n.mem")));
    ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(Keys(library), (std::vector<std::string>{"gamma"}));
}

// Damage of every kind that a reader can meet: the load is refused, the pair
// is moved aside whole and untouched, and the user is told once. Only a
// library that may start empty gets a new empty library in its place, and an
// earlier damaged pair is never overwritten.
TEST(LibFile, DamagedLibrariesAreSetAsideAndNeverReplacedSilently)
{
    const std::string cat = std::string("\x03\x00", 2) + "cat" + std::string(1, '\0');
    struct Case {
        const char *what;
        const char *file;
        std::string records;
        bool hasMemo;
        std::string memo;
        const char *fault;
    } const cases[] = {
        {"header cut short", "d.lib", Header("wordlib ver130", 94), true, "junk", "shorter than its header"},
        {"empty record file", "d.lib", "", true, "", "shorter than its header"},
        {"shorthand file without a header, too short for one", "d.slb", std::string(100, 'x'), true, cat,
         "shorter than its header"},
        {"no header, a record naming no text", "d.lib", std::string(132, 'x'), true, cat, "outside its memo file"},
        {"memo offset past the end", "d.lib", RecordFile(false, {0, 100}), true, cat, "outside its memo file"},
        {"negative memo offset", "d.lib", RecordFile(false, {-6}), true, cat, "outside its memo file"},
        {"text longer than the memo", "d.lib", RecordFile(false, {0}), true, std::string("\x05\x00" "ab", 4),
         "outside its memo file"},
        {"negative text length", "d.lib", RecordFile(false, {0}), true, std::string("\xfe\xff" "ab", 4),
         "negative length"},
        {"records without a memo file", "d.lib", RecordFile(false, {0}), false, "", "memo file is missing"},
        {"shorthand name without terminator", "d.slb", RecordFile(true, {0}, std::string(20, 'n')), true, cat,
         "no terminator"},
        {"shorthand text outside the memo", "d.slb", RecordFile(true, {3}), true, cat, "outside its memo file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Path(c.file);
        const std::string memoName = "d.mem";
        auto damage = [&] {
            dir.Write(c.file, c.records);
            if (c.hasMemo)
                dir.Write(memoName, c.memo);
        };

        // A library that may not start empty is set aside and not opened.
        damage();
        {
            MessageLog log;
            CLibFile library(path.c_str());
            EXPECT_FALSE(library.ReadAllRecordsFromLib(FALSE));
            EXPECT_EQ(library.GetRecordCount(), 0);
            ASSERT_EQ(MessageLog::Messages().size(), 1u);
            const std::string &message = MessageLog::Messages()[0];
            EXPECT_TRUE(Contains(message, path + " is damaged")) << message;
            EXPECT_TRUE(Contains(message, c.fault)) << message;
            EXPECT_TRUE(Contains(message, "moved to " + path + ".bad")) << message;
            EXPECT_TRUE(Contains(message, "not opened")) << message;
        }
        const std::string file = c.file;
        EXPECT_EQ(dir.List(), c.hasMemo ? Listed({file + ".bad", "d.mem.bad"}) : file + ".bad");
        EXPECT_EQ(TempDir::Read(path + ".bad"), c.records);
        if (c.hasMemo) {
            EXPECT_EQ(TempDir::Read(dir.Path(memoName + ".bad")), c.memo);
        }

        // The same damage again, in a library that may start empty: the
        // first pair stays, the new one is numbered, an empty library opens.
        damage();
        {
            MessageLog log;
            CLibFile library(path.c_str());
            ASSERT_TRUE(library.ReadAllRecordsFromLib(TRUE));
            EXPECT_EQ(library.GetRecordCount(), 0);
            ASSERT_EQ(MessageLog::Messages().size(), 1u);
            const std::string &message = MessageLog::Messages()[0];
            EXPECT_TRUE(Contains(message, "moved to " + path + ".2.bad")) << message;
            EXPECT_TRUE(Contains(message, "new empty library")) << message;
        }
        std::vector<std::string> names = {file, file + ".2.bad", file + ".bad", "d.mem"};
        if (c.hasMemo)
            names.insert(names.end(), {"d.mem.2.bad", "d.mem.bad"});
        EXPECT_EQ(dir.List(), Listed(names));
        EXPECT_EQ(TempDir::Read(path + ".2.bad"), c.records);
        EXPECT_EQ(TempDir::Read(path + ".bad"), c.records);
    }
}

TEST(LibFile, ANewerVersionIsRefusedAndLeftAsItIs)
{
    for (const char *version : {"131", "140"}) {
        SCOPED_TRACE(version);
        TempDir dir;
        const std::string records = Header(("wordlib ver" + std::string(version)).c_str(), 120) +
                                    RecordFile(false, {0}).substr(120);
        const std::string path = dir.Write("next.lib", records);
        dir.Write("next.mem", std::string("\x03\x00" "cat", 5) + std::string(1, '\0'));
        MessageLog log;
        CLibFile library(path.c_str());
        EXPECT_FALSE(library.ReadAllRecordsFromLib(TRUE));  // not even a library that may start empty
        ASSERT_EQ(MessageLog::Messages().size(), 1u);
        EXPECT_TRUE(Contains(MessageLog::Messages()[0], path + " has the library version " + version))
            << MessageLog::Messages()[0];
        EXPECT_EQ(dir.List(), "next.lib next.mem");
        EXPECT_EQ(TempDir::Read(path), records);
        EXPECT_FALSE(library.OpenFiles(FALSE));
        EXPECT_EQ(library.m_pRecFile, nullptr);
        EXPECT_TRUE(library.CloseLib());  // nothing was loaded, so nothing is written back
        EXPECT_EQ(TempDir::Read(path), records);
    }
}

// A library of an earlier release opens with its records. Versions 110 and
// 120 are converted in place, the old file kept beside; every other version
// below the current one, no header at all included, is read with the current
// layout and left as it is.
TEST(LibFile, OlderLibrariesOpen)
{
    std::vector<unsigned char> memoBytes;
    const int cat = AppendMemoEntry(memoBytes, "cat");
    const int dog = AppendMemoEntry(memoBytes, "dog");
    const std::string memo(memoBytes.begin(), memoBytes.end());
    const std::string words = RecordFile(false, {cat, dog}).substr(WORD_LIB_HEADER_SIZE);
    const std::string shorthands = RecordFile(true, {cat, dog}).substr(SH_LIB_HEADER_SIZE);
    // Texts inside 60-byte slots behind a header slot, out of order; in
    // version 110 the record bytes are stored transformed by their position.
    auto oldWords = [](const char *header, bool transformed) {
        std::string file = Header(header, OLD_WORD_REC_SIZE);
        for (const char *word : {"bee", "ant"})
            file += Header(word, OLD_WORD_REC_SIZE);
        for (size_t p = OLD_WORD_REC_SIZE; transformed && p < file.size(); ++p)
            file[p] = static_cast<char>((p * p - static_cast<unsigned char>(file[p])) & 0xff);
        return file;
    };
    struct Case {
        const char *what;
        std::string file;
        std::string records;
        std::vector<std::string> keys;
        bool converted;
    } const cases[] = {
        {"version 125", "o.lib", Header("wordlib ver125", 120) + words, {"cat", "dog"}, false},
        {"no header", "o.lib", std::string(120, '\0') + words, {"cat", "dog"}, false},
        {"no header, a little short of one", "o.lib", std::string(115, '\0'), {}, false},
        {"shorthands, version 105", "o.slb", Header("shlib ver105", 160) + shorthands, {"s0", "s1"}, false},
        {"shorthands, other text where the header stands", "o.slb", Header("my shorthands", 160) + shorthands,
         {"s0", "s1"}, false},
        {"version 120", "o.lib", oldWords("wordlib ver120", false), {"ant", "bee"}, true},
        {"version 110", "o.lib", oldWords("wordlib ver110", true), {"ant", "bee"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Write(c.file, c.records);
        dir.Write("o.mem", memo);
        MessageLog log;
        CLibFile library(path.c_str());
        EXPECT_TRUE(library.ReadAllRecordsFromLib(FALSE));
        EXPECT_EQ(Keys(library), c.keys);
        EXPECT_EQ(MessageLog::Messages(), std::vector<std::string>{});
        EXPECT_TRUE(library.CloseLib());
        if (c.converted) {
            EXPECT_EQ(dir.List(), Listed({c.file, c.file + ".old", "o.mem"}));
            EXPECT_EQ(TempDir::Read(path + ".old"), c.records);
            EXPECT_EQ(GetLibraryVersion(path.c_str()), LIB_VERSION);
        } else {
            EXPECT_EQ(dir.List(), Listed({c.file, "o.mem"}));
            EXPECT_EQ(TempDir::Read(path), c.records);
            EXPECT_EQ(TempDir::Read(dir.Path("o.mem")), memo);
        }
    }
}

TEST(LibFile, ALibraryWithoutRecordsGetsAnEmptyMemoFile)
{
    // A header that a record does not follow, whole or a little short of its
    // size: no text is named, so a missing memo file is simply started.
    struct Case {
        const char *file;
        std::string records;
    } const cases[] = {
        {"words.lib", Header("wordlib ver130", 120)},
        {"short.lib", Header("wordlib ver130", 115)},
        {"Personal Shorthands.slb", Header("shlib ver130", 160)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const std::string path = dir.Write(c.file, c.records);
        MessageLog log;
        CLibFile library(path.c_str());
        ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
        EXPECT_EQ(library.GetRecordCount(), 0);
        EXPECT_TRUE(MessageLog::Messages().empty());
        EXPECT_EQ(TempDir::Read(library.GetMemoPath().GetString()), "");
        EXPECT_EQ(TempDir::Read(path), c.records);
    }
}
