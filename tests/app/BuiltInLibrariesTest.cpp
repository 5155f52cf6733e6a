// Installing the built-in libraries generated at build time (bin/libraries)
// into a data folder of the test's own, then opening them as the program does.
#include "BuiltInLibraries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "Candidates.h"
#include "Files.h"
#include "Folders.h"
#include "LibrarySet.h"
#include "MessageBoxCatcher.h"
#include "ProgramPath.h"
#include "Settings.h"
#include "TempDir.h"
#include "TextHelpers.h"

namespace {
namespace fs = std::filesystem;

const char *const kWords = "langlib\\American English.lib";
const char *const kShorthands = "shlib\\Email Acronyms.slb";

class BuiltInLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedProduct = g_strProductName;
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        g_strProductName = FormatStr("LexantoBuiltIn%lld-%d", static_cast<long long>(stamp), counter++);
        m_data = GetAppDataFolder().GetString();
        m_libraries = GetLibrariesFolder().GetString();
        m_installed = fs::path(OwnProgramPath()).parent_path() / "libraries";
        ASSERT_TRUE(fs::exists(m_installed / kWords)) << "the build generates " << (m_installed / kWords);
        ASSERT_TRUE(fs::exists(m_installed / kShorthands));
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_data, ignored);
        g_strProductName = m_savedProduct;
    }
    // Installs with the given answer; the questions asked.
    size_t Install(BOOL firstRun, int answer)
    {
        MessageBoxCatcher catcher(answer);
        EXPECT_TRUE(catcher.Installed());
        EXPECT_TRUE(InstallBuiltInLibraries(firstRun, (m_data + "mine\\user_en.lib").c_str()));
        for (const auto &box : catcher.Boxes())
            EXPECT_EQ(box.text, kUpgradeLibrariesQuestion);
        return catcher.Boxes().size();
    }
    void WriteLibraryFile(const char *name, const std::string &bytes)
    {
        fs::create_directories(fs::path(m_libraries + name).parent_path());
        std::ofstream(m_libraries + name, std::ios::binary) << bytes;
    }
    std::string Installed(const char *name) const { return TempDir::Read((m_installed / name).string()); }
    std::string Data(const char *name) const { return TempDir::Read(m_libraries + name); }
    // The data folder's file is the installed copy (libraries are too long to
    // show when they differ).
    bool IsInstalledCopy(const char *name) const
    {
        return FileExists((m_libraries + name).c_str()) && Data(name) == Installed(name);
    }

    CString m_savedProduct;
    std::string m_data, m_libraries;
    fs::path m_installed;
};

std::vector<std::string> WordCandidates()
{
    std::vector<std::string> words;
    for (int i = 0; i <= g_nLastWordCandidate; ++i)
        words.push_back(g_WordCandidates[i].word.GetString());
    return words;
}
}  // namespace

// A first start with no data folder: the libraries are copied and the default
// active set opens them; they hold real words and shorthands.
TEST_F(BuiltInLibrariesTest, FirstRunInstallsLibrariesTheDefaultSetOpens)
{
    EXPECT_EQ(Install(TRUE, IDNO), 1u);
    for (const char *name : {kWords, "langlib\\American English.mem", kShorthands, "shlib\\Email Acronyms.mem"})
        EXPECT_TRUE(IsInstalledCopy(name)) << name;
    EXPECT_TRUE(FolderExists((m_data + "mine").c_str()));

    // No "sellib.ini" yet: the default set of the target "General".
    TempDir custom;
    CAppSettings settings;
    settings.m_iniCustom.SetFileName(custom.Write("custom.ini", "[general]\r\ntarget=General\r\n").c_str());
    const int savedUserLib = g_bEnableUserLib;
    g_bEnableUserLib = 0;
    settings.LoadActiveLibraries();
    ASSERT_EQ(OpenAllLibraries(FALSE), 0);
    ASSERT_EQ(WordLibCount(), 1);
    ASSERT_EQ(ShLibCount(), 2);  // "Personal Shorthands" (created empty) and "Email Acronyms"
    CLibFile &words = g_WordLibs[0];
    EXPECT_EQ(words.GetLibName(), "American English");
    EXPECT_GT(words.GetRecordCount(), 90000);

    ClearWordCandidates();
    words.MatchPrefix("exampl", FALSE);
    EXPECT_THAT(WordCandidates(), ::testing::Contains("example"));
    int pos = 0;
    EXPECT_TRUE(words.FindRecord("G\xF6" "del", pos, TRUE)) << "a Latin-1 word in the program's code page";
    EXPECT_TRUE(words.FindRecord("example's", pos, TRUE));

    CLibFile &shorthands = g_ShLibs[1];
    EXPECT_EQ(shorthands.GetLibName(), "Email Acronyms");
    ClearShCandidates();
    shorthands.MatchPrefix("btw", FALSE);
    ASSERT_EQ(g_nLastShCandidate, 0);
    EXPECT_STREQ(g_ShCandidates[0].name, "btw");
    EXPECT_EQ(g_ShCandidates[0].expansion, "by the way");

    CloseAllLibraries(FALSE);
    g_bEnableUserLib = savedUserLib;
    g_nWordLibCount = g_nShLibCount = 0;
}

// Only a first run or a missing libraries folder installs anything.
TEST_F(BuiltInLibrariesTest, ActsOnFirstRunOrMissingFolderOnly)
{
    fs::create_directories(m_libraries);
    EXPECT_EQ(Install(FALSE, IDNO), 0u);
    EXPECT_TRUE(IsFolderEmpty(m_libraries.c_str()));

    fs::remove_all(m_libraries);
    EXPECT_EQ(Install(FALSE, IDNO), 1u);
    EXPECT_TRUE(IsInstalledCopy(kWords));

    EXPECT_EQ(Install(TRUE, IDNO), 1u);
}

// "No" keeps what the user changed and adds what is missing; "Yes" overwrites.
// Either way the obsolete medical shorthand library goes.
TEST_F(BuiltInLibrariesTest, NoKeepsChangedFilesAndYesOverwritesThem)
{
    const struct {
        int answer;
        bool overwritten;
    } cases[] = {{IDNO, false}, {IDYES, true}};
    for (const auto &c : cases) {
        fs::remove_all(m_libraries);
        WriteLibraryFile(kShorthands, "changed by the user");
        WriteLibraryFile("shlib\\Typorix Medical Shorthands.slb", "old");
        WriteLibraryFile("shlib\\Typorix Medical Shorthands.mem", "old");
        WriteLibraryFile("shlib\\Mine.slb", "the user's own");

        EXPECT_EQ(Install(TRUE, c.answer), 1u);
        EXPECT_EQ(IsInstalledCopy(kShorthands), c.overwritten) << c.answer;
        if (!c.overwritten) {
            EXPECT_EQ(Data(kShorthands), "changed by the user");
        }
        EXPECT_TRUE(IsInstalledCopy(kWords)) << "a missing file is copied either way";
        EXPECT_EQ(Data("shlib\\Mine.slb"), "the user's own");
        EXPECT_FALSE(FileExists((m_libraries + "shlib\\Typorix Medical Shorthands.slb").c_str()));
        EXPECT_FALSE(FileExists((m_libraries + "shlib\\Typorix Medical Shorthands.mem").c_str()));
    }
}
