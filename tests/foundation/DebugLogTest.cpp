#include "DebugLog.h"

#include <gtest/gtest.h>

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
