#include "DebugLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Folders.h"
#include "HelpLinks.h"
#include "ProfileSettings.h"
#include "TempDir.h"
#include "TextHelpers.h"
#include "Tips.h"

namespace {
// Lines of CR LF text, numbered so any shift of bytes shows.
std::string NumberedLines(size_t size)
{
    std::string text;
    for (int n = 0; text.size() < size; ++n)
        text += "line " + std::to_string(n) + "\r\n";
    return text.substr(0, size);
}
}  // namespace

// The cut keeps the newest bytes exactly, line breaks and all.
TEST(TrimFileHead, KeepsTheLastBytesOnceTheLimitIsReached)
{
    TempDir dir;
    for (size_t size : {99999u, 100000u, 123457u}) {
        const std::string text = NumberedLines(size);
        const std::string path = dir.Write("log.txt", text);
        TrimFileHead(path.c_str(), 100000, 60);
        const std::string expected = size < 100000 ? text : text.substr(size - 60000);
        EXPECT_EQ(TempDir::Read(path), expected) << size;
    }
    const std::string path = dir.Write("odd.txt", NumberedLines(5000));
    TrimFileHead(path.c_str(), 3000, 33);  // keeps 990 bytes: less than one block
    EXPECT_EQ(TempDir::Read(path), NumberedLines(5000).substr(5000 - 990));
    TrimFileHead(dir.Path("missing.txt").c_str(), 0, 60);  // nothing to cut, nothing made
    EXPECT_FALSE(std::filesystem::exists(dir.Path("missing.txt")));
}

TEST(DebugLogFile, AppendsEntriesAndCutsAFullLog)
{
    TempDir dir;
    const std::string path = dir.Write("app.log", NumberedLines(100000));
    AppendDebugLogEntry(path.c_str(), "newest");
    const std::string log = TempDir::Read(path);
#ifdef _WIN32
    EXPECT_EQ(log, NumberedLines(100000).substr(40000) + "newest\r\n");
#else
    EXPECT_EQ(log, NumberedLines(100000).substr(40000) + "newest\n");
#endif
    AppendDebugLogEntry(dir.Path("no folder/x.log").c_str(), "lost");  // skipped quietly
    EXPECT_FALSE(std::filesystem::exists(dir.Path("no folder")));
}

TEST(DebugLogFile, EnabledBySettingsKey)
{
    g_bUseIniText = TRUE;
    g_strIniText.Empty();
    WriteSettingInt("EnableDebugLog", 1, "Settings");
    EXPECT_TRUE(IsDebugLogEnabled());
    g_strIniText.Empty();
    WriteSettingInt("EnableDebugLog", 1, "General");
    EXPECT_FALSE(IsDebugLogEnabled());
    g_bUseIniText = FALSE;
    g_strIniText.Empty();
}

// The history keeps the whole lines of its last 8000 bytes once it has
// grown past 10000, copied through "~cmdhis.txt" beside it.
TEST(TrimHistoryFile, KeepsTheWholeLinesOfTheLastBytes)
{
    const std::string longLine(20000, 'x');  // longer than any read buffer
    const struct {
        const char *what;
        std::string text, expected;
    } cases[] = {
        {"under the limit", NumberedLines(9999), NumberedLines(9999)},
        {"exactly at the limit", NumberedLines(10000), NumberedLines(10000)},
        {"cut at a line start", std::string(2000, 'a') + "\n" + NumberedLines(8000), NumberedLines(8000)},
        {"partial first line", std::string(5000, 'a') + "\n" + std::string(2999, 'p') + "\n" + NumberedLines(7000),
         NumberedLines(7000)},
        {"partial line of a break only", std::string(2001, 'a') + "\n" + NumberedLines(7999), NumberedLines(7999)},
        {"cut between CR and LF", std::string(3000, 'a') + "\r\n" + NumberedLines(7999), NumberedLines(7999)},
        {"partial line longer than a buffer", longLine + "\nlast\r\n", "last\r\n"},
        {"kept line longer than a buffer", std::string(3000, 'a') + "\n" + std::string(7500, 'y') + "\n",
         std::string(7500, 'y') + "\n"},
        {"no line break at the end", std::string(12000, 'a') + "\nlast line", "last line"},
        {"no whole line", longLine, ""},
    };
    for (const auto &c : cases) {
        TempDir dir;
        const std::string path = dir.Write("cmdhis.txt", c.text);
        const bool due = c.text.size() > 10000;
        EXPECT_EQ(TrimHistoryFile(path.c_str(), dir.Path("~cmdhis.txt").c_str(), kCmdHistoryLimit, kCmdHistoryKeep),
                  due ? HISTORY_TRIMMED : HISTORY_UNCHANGED)
            << c.what;
        EXPECT_EQ(TempDir::Read(path), c.expected) << c.what;
        EXPECT_EQ(dir.List(), "cmdhis.txt") << c.what;
    }
}

// A failure leaves the history as it was and no temporary file behind.
TEST(TrimHistoryFile, FailureKeepsTheHistory)
{
    TempDir dir;
    const std::string text = NumberedLines(12000);
    const std::string path = dir.Write("cmdhis.txt", text);
    std::filesystem::create_directories(dir.Path("~cmdhis.txt"));  // can't be opened as a file
    EXPECT_EQ(TrimHistoryFile(path.c_str(), dir.Path("~cmdhis.txt").c_str(), kCmdHistoryLimit, kCmdHistoryKeep),
              HISTORY_CANT_WRITE_TEMP);
    EXPECT_EQ(TempDir::Read(path), text);
    EXPECT_EQ(TrimHistoryFile(dir.Path("missing.txt").c_str(), dir.Path("~m.txt").c_str(), 10, 8), HISTORY_UNCHANGED);
    EXPECT_EQ(dir.List(), "cmdhis.txt ~cmdhis.txt");
}

#ifndef _WIN32
// The data folder's history; a failure ends the program with its message.
TEST(TrimCmdHistory, TrimsTheDataFolderHistoryOrEndsTheProgram)
{
    TempDir dir;
    const char *saved = std::getenv("LEXANTO_APPDATA");
    const std::string savedValue = saved ? saved : "";
    setenv("LEXANTO_APPDATA", dir.Path().c_str(), 1);
    const std::string history = dir.Write(std::string(g_strProductName) + "/cmdhis.txt",
                                          std::string(4000, 'a') + "\n" + NumberedLines(8000));
    TrimCmdHistory();
    EXPECT_EQ(TempDir::Read(history), NumberedLines(8000));
    TrimCmdHistory();  // not over the limit now
    EXPECT_EQ(TempDir::Read(history), NumberedLines(8000));

    dir.Write(std::string(g_strProductName) + "/cmdhis.txt", NumberedLines(10001));
    std::filesystem::create_directories(dir.Path(std::string(g_strProductName) + "/~cmdhis.txt"));
    EXPECT_EXIT(TrimCmdHistory(), ::testing::ExitedWithCode(255), "Can't create temporary file .*~cmdhis\\.txt");
    EXPECT_EQ(TempDir::Read(history), NumberedLines(10001));

    if (saved)
        setenv("LEXANTO_APPDATA", savedValue.c_str(), 1);
    else
        unsetenv("LEXANTO_APPDATA");
}
#endif

TEST(Tips, MarkersCountsAndTexts)
{
    TempDir dir;
    const std::string path = dir.Write("tips.txt",
                                       "preamble\r\n"
                                       "[tip]\r\n"
                                       "  First tip.\r\n"
                                       "\r\n"
                                       " [tip] \r\n"
                                       "Second tip,\r\n"
                                       "two lines.\r\n"
                                       "[TIP]\r\n"
                                       "still second\r\n");
    EXPECT_EQ(GetTipCount(path.c_str()), 2);
    EXPECT_EQ(GetTipText(0, path.c_str()), "First tip.");
    EXPECT_EQ(GetTipText(1, path.c_str()), "Second tip,\r\ntwo lines.\r\n[TIP]\r\nstill second");
    EXPECT_EQ(GetTipText(2, path.c_str()), "");
    EXPECT_EQ(GetTipText(-1, path.c_str()), "");
    EXPECT_EQ(GetTipCount(dir.Path("none.txt").c_str()), 0);
    EXPECT_EQ(GetTipText(0, dir.Path("none.txt").c_str()), "");

    // A long line is read in pieces of 255 bytes; a piece that reads "[tip]"
    // is a marker.
    const std::string longLine = std::string(255, 'a') + "[tip]\r\n";
    const std::string pieces = dir.Write("long.txt", "[tip]\r\n" + longLine);
    EXPECT_EQ(GetTipCount(pieces.c_str()), 2);
    EXPECT_EQ(GetTipText(0, pieces.c_str()), std::string(255, 'a'));
}

TEST(HelpAndLinks, HelpFileInProgramFolderElseHelpSubfolder)
{
    TempDir dir;
    const std::string folder = dir.Path() + (dir.Path().find('\\') != std::string::npos ? "\\" : "/");
    const std::string inHelp = dir.Path("help/Lexanto.chm");
    EXPECT_EQ(FindHelpFile(folder.c_str(), "Lexanto"), inHelp.c_str());
    const std::string inFolder = dir.Write("Lexanto.chm", "x");
    dir.Write("help/Lexanto.chm", "x");
    EXPECT_EQ(FindHelpFile(folder.c_str(), "Lexanto"), inFolder.c_str());
}

TEST(HelpAndLinks, WebLinksAndBranding)
{
    const CString saved = g_strProductName;
    g_strProductName = "Lexanto";
    const CString home = OpenWebLink("homepage");
    EXPECT_FALSE(home.IsEmpty());
    for (const char *key : {"download", "libcenter", "forum"})
        EXPECT_TRUE(StartsWith(OpenWebLink(key), "http://", true)) << key;
    EXPECT_EQ(OpenWebLink("libcenter").Right(11), "liblist.htm");
    EXPECT_EQ(OpenWebLink("Homepage"), "");
    EXPECT_EQ(OpenWebLink("help"), "");
    g_strProductName = "typorix";
    EXPECT_EQ(OpenWebLink("homepage"), home);
    g_strProductName = "Typorix";
    EXPECT_NE(OpenWebLink("homepage"), home);
    g_strProductName = saved;

    EXPECT_EQ(ApplyBranding("Lexanto - please wait", "Wordly", "Acme"), "Wordly - please wait");
    EXPECT_EQ(ApplyBranding("Corvalen Lexanto by Corvalen", "W", "A"), "A W by A");
    EXPECT_EQ(ApplyBranding("Please wait...", "W", "A"), "Please wait...");
}

// The address goes into the page as HTML text: a quote would otherwise end
// the hidden field's value and the form would send part of the address, and
// the browser decodes the entities, so the form sends the address as typed.
TEST(HelpAndLinks, SubscriptionPageCarriesTheAddress)
{
    const char *page = "<input type=hidden name=email value=\"UserEmail\">"
                       "<input type=hidden name=contact value=\"ContactName\">"
                       "<p>UserEmail (ContactName)</p>";
    const struct {
        const char *email, *asHtml;
    } cases[] = {
        {"joe@example.com", "joe@example.com"},
        {"a&b\"c'<d>@example.com", "a&amp;b&quot;c&#39;&lt;d&gt;@example.com"},
        {"ContactName.UserEmail@example.com", "ContactName.UserEmail@example.com"},  // stays as typed
        {"", ""},
    };
    for (const auto &c : cases) {
        const std::string expected = std::string("<input type=hidden name=email value=\"") + c.asHtml +
                                     "\"><input type=hidden name=contact value=\"corvalen\"><p>" + c.asHtml +
                                     " (corvalen)</p>";
        EXPECT_EQ(BuildSubscriptionPage(page, c.email), expected.c_str()) << c.email;
    }

    TempDir dir;
    const std::string path = dir.Path("~subscrb.htm");
    EXPECT_TRUE(WriteSubscriptionPage(path.c_str(), "<p>UserEmail</p>\n", "joe@example.com"));
    EXPECT_EQ(TempDir::Read(path), "<p>joe@example.com</p>\r\n");
    EXPECT_FALSE(WriteSubscriptionPage(dir.Path("no folder/~subscrb.htm").c_str(), "<p>UserEmail</p>", "x"));
    EXPECT_FALSE(WriteSubscriptionPage(path.c_str(), "", "x"));  // no page to show
}
