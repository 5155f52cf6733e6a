#include "LibGen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibFile.h"
#include "MessageLog.h"
#include "TempDir.h"

namespace {
std::vector<std::string> WordsOf(CLibFile &library)
{
    std::vector<std::string> words;
    for (const WRecord_X &record : library.m_WordTable)
        words.push_back(record.word.GetString());
    return words;
}
}  // namespace

TEST(LibGen, Utf8BecomesWindows1252)
{
    const struct {
        const char *utf8;
        bool ok;
        const char *ansi;
    } cases[] = {
        {"plain", true, "plain"},
        {"G\xC3\xB6" "del", true, "G\xF6" "del"},       // Latin-1 letter
        {"it\xE2\x80\x99s", true, "it\x92s"},             // typographic apostrophe
        {"\xE2\x82\xAC" "5", true, "\x80" "5"},           // euro sign
        {"\xD0\xB6", false, ""},                          // Cyrillic: no such byte
        {"\xC2\x85", false, ""},                          // C1 control: not in the code page
        {"a\x80" "b", false, ""},                         // lone continuation byte
        {"caf\xC3", false, ""},                           // cut off
        {"\xC0\xAF", false, ""},                          // overlong
        {"\xE0\x80\xAF", false, ""},                      // overlong, three bytes
        {"\xED\xA0\x80", false, ""},                      // surrogate
        {"\xE9t\xE9", false, ""},                         // Latin-1 bytes are not UTF-8
    };
    for (const auto &c : cases) {
        std::string ansi;
        EXPECT_EQ(Utf8ToAnsi(c.utf8, ansi), c.ok) << c.utf8;
        if (c.ok) {
            EXPECT_EQ(ansi, c.ansi) << c.utf8;
        }
    }
}

TEST(LibGen, WordListBecomesASortedLibraryOfWholeWords)
{
    TempDir dir;
    MessageLog messages;
    const std::string list = dir.Write("words.txt",
                                       "\xEF\xBB\xBF" "zebra\r\n"
                                       "apple\n"
                                       "Apple\n"
                                       "dog's\n"
                                       "G\xC3\xB6" "del\n"
                                       "apple\n"              // repeated
                                       "ice cream\n"          // two words
                                       "e-mail\n"             // hyphen: a delimiter
                                       "\xD0\xB6\xD1\x83\xD0\xBA\n"  // no Windows-1252 form
                                       "caf\xE9\n"            // not UTF-8
                                       "\n"
                                       "  banana  \n");
    const std::string lib = dir.Path("out/langlib/Test.lib");
    LibGenReport report;
    ASSERT_TRUE(WriteWordLibraryFromList(list.c_str(), lib.c_str(), report)) << report.error;
    EXPECT_EQ(report.written, 6);
    EXPECT_EQ(report.skipped, 5);

    CLibFile library(lib.c_str());
    ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(WordsOf(library),
              (std::vector<std::string>{"Apple", "apple", "banana", "dog's", "G\xF6" "del", "zebra"}));
    for (const WRecord_X &record : library.m_WordTable) {
        EXPECT_EQ(record.useCount, 1);
        EXPECT_EQ(record.lastUsed, 0);
    }
    int first = 0, last = 0;
    ASSERT_TRUE(library.FindPrefixRange("ze", first, last));
    EXPECT_EQ(library.GetKeyAt(first), "zebra");
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(LibGen, ShorthandListBecomesASortedShorthandLibrary)
{
    TempDir dir;
    MessageLog messages;
    const std::string list = dir.Write("sh.txt",
                                       "# comment\n"
                                       "BTW\tby the way\r\n"
                                       "asap\tas soon as possible\n"
                                       "\n"
                                       "ty\t thank you \n"
                                       "ty\tthank you\n"               // the same pair again
                                       "ty\tthanks\n"                  // same name, another expansion
                                       "yw\tyou\xE2\x80\x99re welcome\n");
    const std::string lib = dir.Path("shlib/Test.slb");
    LibGenReport report;
    ASSERT_TRUE(WriteShorthandLibraryFromList(list.c_str(), lib.c_str(), report)) << report.error;
    EXPECT_EQ(report.written, 5);
    EXPECT_EQ(report.skipped, 1);

    CLibFile library(lib.c_str());
    ASSERT_TRUE(library.ReadAllRecordsFromLib(FALSE));
    std::vector<std::string> pairs;
    for (const SHRecord_X &record : library.m_ShTable)
        pairs.push_back(std::string(record.name) + "=" + record.expansion.GetString());
    EXPECT_EQ(pairs, (std::vector<std::string>{"asap=as soon as possible", "btw=by the way", "ty=thank you",
                                               "ty=thanks", "yw=you\x92re welcome"}));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(LibGen, BadShorthandListWritesNothingAndNamesTheLine)
{
    const struct {
        const char *line;
        const char *why;
    } cases[] = {
        {"btw by the way", "no Tab"},
        {"b\tbefore", "2 to 19 characters"},
        {"abcdefghijklmnopqrst\ttwenty", "2 to 19 characters"},
        {"b w\tby the way", "no blanks"},
        {"btw\t  ", "empty expansion"},
        {"btw\tby the \xD0\xB6", "Windows-1252"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        const std::string list = dir.Write("sh.txt", std::string("ok\tfine\n") + c.line + "\n");
        const std::string lib = dir.Path("Test.slb");
        LibGenReport report;
        EXPECT_FALSE(WriteShorthandLibraryFromList(list.c_str(), lib.c_str(), report)) << c.line;
        EXPECT_NE(report.error.find("sh.txt:2: "), std::string::npos) << report.error;
        EXPECT_NE(report.error.find(c.why), std::string::npos) << report.error;
        EXPECT_EQ(dir.List(), "sh.txt") << c.line;
    }
}

TEST(LibGen, RefusesAWrongKindOrAMissingList)
{
    TempDir dir;
    const std::string words = dir.Write("w.txt", "word\n");
    LibGenReport report;
    EXPECT_FALSE(WriteWordLibraryFromList(words.c_str(), dir.Path("x.slb").c_str(), report));
    EXPECT_FALSE(WriteShorthandLibraryFromList(words.c_str(), dir.Path("x.lib").c_str(), report));
    EXPECT_FALSE(WriteWordLibraryFromList(dir.Path("missing.txt").c_str(), dir.Path("x.lib").c_str(), report));
    EXPECT_NE(report.error.find("missing.txt"), std::string::npos);
    const std::string empty = dir.Write("empty.txt", "# nothing\n\n");
    EXPECT_FALSE(WriteShorthandLibraryFromList(empty.c_str(), dir.Path("x.slb").c_str(), report));
    EXPECT_EQ(dir.List(), "empty.txt w.txt");
}
