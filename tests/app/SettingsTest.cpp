#include "Settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "EngineSettings.h"
#include "Files.h"
#include "Folders.h"
#include "LibrarySet.h"
#include "MessageLog.h"
#include "PasswordList.h"
#include "PathText.h"
#include "ProfileSettings.h"
#include "Retrieve.h"
#include "SharedSection.h"
#include "StringCipher.h"
#include "TempDir.h"
#include "TextHelpers.h"

namespace {
// A data folder of its own (a product name of its own, and on the host the
// data root in a temporary folder), the profile switched to its settings
// file, and "custom.ini" with the given target.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedProduct = g_strProductName;
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        g_strProductName = FormatStr("LexantoTest%lld-%d", static_cast<long long>(stamp), counter++);
#ifndef _WIN32
        setenv("LEXANTO_APPDATA", m_dir.Path().c_str(), 1);
#endif
        m_data = GetAppDataFolder().GetString();
        std::filesystem::create_directories(m_data);
        SetTarget("General");
        SetAppProfile("", GetSettingsFilePath());
        m_iniPath = GetSettingsFilePath().GetString();
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_data, ignored);
        g_strProductName = m_savedProduct;
        g_mapTopWords.clear();
        g_nWordLibCount = g_nShLibCount = 0;
        g_pUserLib = nullptr;
        g_nPassCount = 0;
    }
    void SetTarget(const char *target)
    {
        m_settings.m_iniCustom.SetFileName(
            m_dir.Write("custom.ini", std::string("[general]\r\ntarget=") + target + "\r\n").c_str());
    }
    std::string WriteData(const std::string &name, const std::string &bytes)
    {
        const std::string path = m_data + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void WriteIni(const std::string &bytes) { std::ofstream(m_iniPath, std::ios::binary) << bytes; }
    std::string Lib(const char *kind, const char *name, const char *ext)
    {
        return std::string(JoinPath(JoinPath(GetLibrariesFolder(), kind), CString(name) + ext).GetString());
    }
    void MakeLib(const char *kind, const char *name, const char *ext)
    {
        const std::string path = Lib(kind, name, ext);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << "x";
    }

    TempDir m_dir;
    std::string m_data, m_iniPath;
    CString m_savedProduct;
    CAppSettings m_settings;
    MessageLog m_messages;
};

// What a load from a file without keys must give for each key.
std::string ExpectedDefault(const SettingDef &def, bool mt)
{
    const char *text = mt ? def.defStrMT : def.defStr;
    switch (def.type) {
    case SETTING_INT:
    case SETTING_UINT:
    case SETTING_CHAR:
        if (std::strcmp(def.key, "RunCount") == 0)
            return "1";  // this start is counted
        return std::to_string(mt ? def.defIntMT : def.defInt);
    case SETTING_ENCODED:
        return UrlDecode(text, false).GetString();
    case SETTING_FLOAT:
        return FormatStr("%g", std::atof(text)).GetString();
    default:
        return text;
    }
}

// Junk that differs from every default, to show the load replaced it.
void Poison(const SettingDef &def)
{
    SetSettingValueText(def, def.type == SETTING_FLOAT ? "7.5" : (def.type >= SETTING_STRING ? "junk" : "77"));
}

TEST_F(SettingsTest, FileWithoutKeysLoadsEveryDefaultForBothTargets)
{
    for (const char *target : {"General", "MT"}) {
        SCOPED_TRACE(target);
        const bool mt = std::strcmp(target, "MT") == 0;
        SetTarget(target);
        WriteIni("[Settings]\r\n");
        std::vector<SettingDef> table = m_settings.Table();
        for (const SettingDef &def : table)
            Poison(def);
        m_settings.LoadSettings();
        for (const SettingDef &def : table) {
            EXPECT_EQ(ExpectedDefault(def, mt), SettingValueText(def).GetString()) << def.key;
            if (def.type == SETTING_SHARED) {
                EXPECT_STREQ(mt ? def.defStrMT : def.defStr, def.shared) << def.key;
            }
        }
        // The defaults that differ by target, as users of each know them.
        EXPECT_EQ(mt ? '\\' : '$', g_chShorthandTag);
        EXPECT_EQ(mt ? 1 : 0, g_bEnableInIE);
        EXPECT_EQ(mt ? 0 : 1, g_bExpandFullSHAtDlmt);
        EXPECT_EQ(mt ? -1.0f : 0.5f, g_fFreqVsTime);
        EXPECT_EQ(mt ? 3 : 1, m_settings.m_nPromptBoxMargin);
        EXPECT_EQ(mt ? -16 : -13, g_lfPromptFont.lfHeight);
        EXPECT_STREQ("MS Sans Serif", g_lfPromptFont.lfFaceName);
        EXPECT_STREQ(mt ? "_-'\x92" : "_'\x92", NonDelimiter);
        EXPECT_EQ(32u, CompWordKey);
        EXPECT_EQ(0x27Bu, g_nActivatePromptKey);
        EXPECT_EQ("\r\n", m_settings.m_strCopyAppendStr);
        // Nothing re-sorts the libraries at start-up yet: the load leaves the
        // request as it stands in the file.
        EXPECT_EQ(1, m_settings.m_bResortAllLibrary);
        EXPECT_EQ(7, GetProfileIntS("ResortAllLibrary", 7));
    }
    // One product of the MT target does not learn typed words by default.
    const CString product = g_strProductName;
    g_strProductName = "Typorix";
    m_settings.LoadSettings();
    EXPECT_EQ(0, g_bLearnWord);
    g_strProductName = product;
    EXPECT_TRUE(m_messages.Messages().empty());
}

// A value for each key that differs from its defaults and exercises its
// stored form.
std::string TestValue(const SettingDef &def, int n)
{
    switch (def.type) {
    case SETTING_INT:
    case SETTING_UINT:
        return std::to_string(2 + n);
    case SETTING_CHAR:
        return "146";  // a byte above 127
    case SETTING_ENCODED:
        return "a+b %" + std::to_string(n) + "\r\n&\xE9";
    case SETTING_QUOTED:
        return " \t=" + std::to_string(n) + " ";
    case SETTING_FLOAT:
        return "0.25";
    default:
        return " v" + std::to_string(n) + " x=y;z ";  // the spaces at the ends count too
    }
}

TEST_F(SettingsTest, SaveThenLoadRoundTripsEveryKey)
{
    std::vector<SettingDef> table = m_settings.Table();
    m_settings.LoadSettings();
    for (size_t n = 0; n < table.size(); ++n)
        SetSettingValueText(table[n], TestValue(table[n], static_cast<int>(n)).c_str());
    ASSERT_TRUE(m_settings.SaveSettings());
    for (const SettingDef &def : table)
        Poison(def);
    m_settings.LoadSettings();
    for (size_t n = 0; n < table.size(); ++n) {
        const SettingDef &def = table[n];
        std::string expected = TestValue(def, static_cast<int>(n));
        if (!def.saved)
            expected = ExpectedDefault(def, false);
        else if (std::strcmp(def.key, "RunCount") == 0)
            expected = std::to_string(std::stoi(expected) + 1);
        EXPECT_EQ(expected, SettingValueText(def).GetString()) << def.key;
        if (def.type == SETTING_SHARED) {
            EXPECT_EQ(expected, def.shared) << def.key;
        }
    }
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SettingsTest, LoadFillsTheSharedVariablesOfTheHookLibrary)
{
    g_nSendKey = 5;
    g_bClearAtSwitch = 0;
    g_nPromptMode = 1;
    WriteIni("[Settings]\r\nCompWordKey=13\r\nIncludeAllExcept=0\r\nNonDelimiter=_-\r\n"
              "ProcessTitleIncluded=a.exe;b.exe\r\nForceEnable=c.exe\r\nActivatePromptKey=635\r\n"
              "SelectWordKeyOption=2\r\nPgdnKey=34\r\n");
    m_settings.LoadSettings();
    EXPECT_EQ(13u, CompWordKey);
    EXPECT_EQ(0, s_bIncludeAllExcept);
    EXPECT_STREQ("_-", NonDelimiter);
    EXPECT_STREQ("a.exe;b.exe", ProcessIncluded);
    EXPECT_STREQ("c.exe", g_szForceEnable);
    EXPECT_EQ(635u, g_nActivatePromptKey);
    EXPECT_EQ(2, g_nSWKeyOption);
    EXPECT_EQ(34, g_nPgdnKey);
    EXPECT_EQ(0, g_nSendKey);
    EXPECT_EQ(1, g_bClearAtSwitch);
    EXPECT_EQ(0, g_nPromptMode);
}

TEST_F(SettingsTest, StoredFormsOfSpecialKeys)
{
    WriteIni("[Settings]\r\nAppendStr=a+b%21\r\nAutoGenRule=1-3;1-2;1\r\nPromptPointX=5000\r\nPromptPointY=-4\r\n"
              "ShorthandListDelimiters=\" ,\"\r\nFreqVsTime=0.75\r\nMinPrefixLen=0\r\n");
    m_settings.LoadSettings();
    EXPECT_EQ("a b!", m_settings.m_strAppendStr);
    EXPECT_EQ("1~3;1~2;1", g_strAutoGenRule);
    EXPECT_EQ(0, m_settings.m_nPromptPointX);
    EXPECT_EQ(0, m_settings.m_nPromptPointY);
    EXPECT_EQ(" ,", m_settings.m_strShorthandListDelimiters);
    EXPECT_EQ(0.75f, g_fFreqVsTime);
    EXPECT_EQ(1, g_nMinPrefixLen);

    ASSERT_TRUE(AcquireCryptProvider());
    g_nPassCount = 2;
    g_PassNames[0] = "bank";
    g_PassValues[0] = "hello world";
    g_PassNames[1] = "mail";
    g_PassValues[1] = "abc";
    ASSERT_TRUE(m_settings.SaveSettings());
    const std::string file = TempDir::Read(m_iniPath);
    const std::string hex1 = EncryptToHex("hello world", "kovmirta").GetString();
    const std::string hex2 = EncryptToHex("abc", "kovmirta").GetString();
    ASSERT_EQ(22u, hex1.size());
    EXPECT_NE(std::string::npos, file.find("\r\nPassArray=bank\t" + hex1 + "\tmail\t" + hex2 + "\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nAppendStr=a%20b%21\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nCopyAppendStr=%0D%0A\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nShorthandListDelimiters=\" ,\"\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nFreqVsTime=0.75\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nShowToolBar=0\r\n"));
    EXPECT_EQ(std::string::npos, file.find("NonEnglishChar"));
    EXPECT_EQ(std::string::npos, file.find("BrowseClipKey"));
    ReleaseCryptProvider();

    g_nPassCount = 0;
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_NE(std::string::npos, TempDir::Read(m_iniPath).find("\r\nPassArray=\r\n"));
}

TEST_F(SettingsTest, ChangingOneKeyLeavesEveryOtherByteOfTheFile)
{
    m_settings.LoadSettings();
    ASSERT_TRUE(m_settings.SaveSettings());
    // Lines of the user's and of other parts of the program around the keys.
    const std::string before = "; kept\r\n[Other]\r\nA = 1 \r\n\r\n" + TempDir::Read(m_iniPath) + "hkX=7\r\n[Z]\r\nb=\r\n";
    WriteIni(before);
    CAppSettings settings;
    settings.m_iniCustom.SetFileName(m_settings.m_iniCustom.m_strFile);
    settings.LoadSettings();
    settings.m_nHPromptWidth = 640;
    ASSERT_TRUE(settings.SaveSettings());

    std::string expected = before;
    auto replace = [&expected](const std::string &from, const std::string &to) {
        const size_t at = expected.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        expected.replace(at, from.size(), to);
    };
    replace("\r\nHPromptWidth=500\r\n", "\r\nHPromptWidth=640\r\n");
    replace("\r\nRunCount=1\r\n", "\r\nRunCount=2\r\n");
    EXPECT_EQ(expected, TempDir::Read(m_iniPath));

    // The same through a single key of the second route.
    ASSERT_TRUE(WriteSettingInt("PromptBoxMargin", 4, "Settings"));
    replace("\r\nPromptBoxMargin=1\r\n", "\r\nPromptBoxMargin=4\r\n");
    EXPECT_EQ(expected, TempDir::Read(m_iniPath));
}

TEST_F(SettingsTest, LongSharedStringsAreCutInTheArrayButSavedWhole)
{
    const std::string longList(300, 'p');
    const std::string longChars = "_-'!#%&*+/<>?@^`|~0123456789abcdefghij";  // 38 characters
    WriteIni("[Settings]\r\nProcessTitleIncluded=" + longList + "\r\nNonDelimiter=" + longChars + "\r\n");
    m_settings.LoadSettings();
    EXPECT_EQ(std::string(255, 'p'), ProcessIncluded);
    EXPECT_EQ(longChars.substr(0, 31), NonDelimiter);
    ASSERT_TRUE(m_settings.SaveSettings());
    std::string file = TempDir::Read(m_iniPath);
    EXPECT_NE(std::string::npos, file.find("\r\nProcessTitleIncluded=" + longList + "\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nNonDelimiter=" + longChars + "\r\n"));

    // A change made straight in the shared array (the options pages do) wins.
    SetSharedString(ProcessIncluded, "notepad.exe");
    ASSERT_TRUE(m_settings.SaveSettings());
    file = TempDir::Read(m_iniPath);
    EXPECT_NE(std::string::npos, file.find("\r\nProcessTitleIncluded=notepad.exe\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nNonDelimiter=" + longChars + "\r\n"));
}

TEST_F(SettingsTest, CountsAreKeptInTheirRanges)
{
    struct Case {
        const char *promptNum;
        int expectedPromptNum;
        const char *numInPage;
        int expectedNumInPage;
    };
    for (const Case &c : {Case{"0", 1, "0", 1}, Case{"300", 256, "-3", 1}, Case{"-5", 1, "9", 9},
                          Case{"256", 256, "1", 1}, Case{"12", 12, "100", 100}}) {
        SCOPED_TRACE(c.promptNum);
        WriteIni(std::string("[Settings]\r\nPromptNum=") + c.promptNum +
                                                                  "\r\nNumInPage=" + c.numInPage + "\r\n");
        m_settings.LoadSettings();
        EXPECT_EQ(c.expectedPromptNum, g_nPromptNum);
        EXPECT_EQ(c.expectedNumInPage, m_settings.m_nNumInPage);
    }
}

TEST_F(SettingsTest, FailingSaveIsReportedOnce)
{
    m_settings.LoadSettings();
    // A settings file whose folder is gone can't be written.
    SetAppProfile("", m_dir.Path("gone/settings.ini").c_str());
    EXPECT_FALSE(m_settings.SaveSettings());
    ASSERT_EQ(1u, m_messages.Messages().size());
    EXPECT_EQ(0u, m_messages.Messages()[0].find("Can't save setting:"));
    EXPECT_NE(std::string::npos, m_messages.Messages()[0].find("settings.ini\r\nPlease report to the author!"));
}

TEST_F(SettingsTest, UnreadableFilesAreNeverOverwritten)
{
    // A NUL byte makes a file unreadable as text: its contents are unknown.
    const std::string bad("[Settings]\r\nHPromptWidth=640\r\n\0garbage\r\n", 40);
    WriteIni(bad);
    const std::string sellib = WriteData("sellib.ini", std::string("[langlib]\n\0x\n", 13));
    const std::string topwords = WriteData("topwords.txt", std::string("ab=abc\n\0", 8));
    m_settings.LoadSettings();
    m_settings.LoadActiveLibraries();
    EXPECT_EQ(500, m_settings.m_nHPromptWidth);  // the defaults stand in for this run
    EXPECT_FALSE(m_settings.SaveSettings());
    EXPECT_FALSE(m_settings.LoadPromptSettings(TRUE));
    EXPECT_FALSE(m_settings.SaveActiveLibraries());
    EXPECT_FALSE(m_settings.SaveTopWords());
    EXPECT_EQ(bad, TempDir::Read(m_iniPath));
    EXPECT_EQ(std::string("[langlib]\n\0x\n", 13), TempDir::Read(sellib));
    EXPECT_EQ(std::string("ab=abc\n\0", 8), TempDir::Read(topwords));
    EXPECT_EQ(1u, m_messages.Messages().size());
}

TEST_F(SettingsTest, ActiveLibrariesRoundTripBySectionHeader)
{
    MakeLib("langlib", "American English", ".lib");
    MakeLib("langlib", "Deutsch", ".lib");
    MakeLib("proflib", "Legal", ".lib");
    MakeLib("shlib", "Personal Shorthands", ".slb");
    MakeLib("shlib", "Email Acronyms", ".slb");
    // Sections out of order, no blank lines, spaces around names, a deleted
    // library, a section nobody knows.
    WriteData("sellib.ini",
              "[shlib]\r\n  Personal Shorthands \r\nEmail Acronyms\r\nGone\r\n[langlib]\r\nAmerican English\r\n"
              "[other]\r\nDeutsch\r\n[proflib]\r\nLegal\r\n\r\n[LANGLIB]\r\nDeutsch\r\n");
    m_settings.LoadSettings();
    m_settings.LoadActiveLibraries();
    auto names = [] {
        std::string text;
        for (int n = 0; n < g_nWordLibCount; ++n)
            text += std::string(g_WordLibs[n].GetLibName().GetString()) + "|";
        text += "/";
        for (int n = 0; n < g_nShLibCount; ++n)
            text += std::string(g_ShLibs[n].GetLibName().GetString()) + "|";
        return text;
    };
    EXPECT_EQ("user_en|American English|Legal|Deutsch|/Personal Shorthands|Email Acronyms|", names());
    EXPECT_EQ(&g_WordLibs[0], g_pUserLib);
    EXPECT_EQ(m_settings.GetUserLibPath(), g_WordLibs[0].GetPath());
    EXPECT_EQ(Lib("proflib", "Legal", ".lib"), g_WordLibs[2].GetPath().GetString());

    ASSERT_TRUE(m_settings.SaveActiveLibraries());
    EXPECT_EQ("[langlib]\r\nAmerican English\r\nDeutsch\r\n\r\n[proflib]\r\nLegal\r\n\r\n[shlib]\r\n"
              "Personal Shorthands\r\nEmail Acronyms\r\n",
              TempDir::Read(m_data + "sellib.ini"));
    m_settings.LoadActiveLibraries();
    EXPECT_EQ("user_en|American English|Deutsch|Legal|/Personal Shorthands|Email Acronyms|", names());

    // Without the user library.
    g_bEnableUserLib = 0;
    m_settings.LoadActiveLibraries();
    EXPECT_EQ(nullptr, g_pUserLib);
    EXPECT_EQ("American English|Deutsch|Legal|/Personal Shorthands|Email Acronyms|", names());
    g_bEnableUserLib = 1;
}

TEST_F(SettingsTest, ActiveLibrariesAreCappedAtTheTableSize)
{
    std::string text = "[langlib]\n";
    std::string sh = "[shlib]\n";
    for (int n = 0; n < 40; ++n) {
        const std::string name = "L" + std::to_string(n);
        MakeLib("langlib", name.c_str(), ".lib");
        MakeLib("shlib", name.c_str(), ".slb");
        text += name + "\n";
        sh += name + "\n";
    }
    WriteData("sellib.ini", text + "\n[proflib]\n\n" + sh);
    m_settings.LoadSettings();
    m_settings.LoadActiveLibraries();
    EXPECT_EQ(MAX_LIBRARIES, g_nWordLibCount);
    EXPECT_EQ(MAX_LIBRARIES, g_nShLibCount);
    EXPECT_EQ("L30", g_WordLibs[MAX_LIBRARIES - 1].GetLibName());
    EXPECT_EQ("L31", g_ShLibs[MAX_LIBRARIES - 1].GetLibName());
}

TEST_F(SettingsTest, MissingActiveLibraryListGivesTheTargetsDefaultSet)
{
    MakeLib("langlib", "American English", ".lib");
    MakeLib("shlib", "Demo", ".slb");
    MakeLib("shlib", "Typorix Editing Macros 1.0", ".slb");
    struct Case {
        const char *target;
        int words, shorthands;
        const char *firstShorthand, *lastShorthand;
    };
    for (const Case &c : {Case{"General", 2, 2, "Personal Shorthands", "Demo"},
                          Case{"MT", 1, 2, "Personal Shorthands", "Typorix Editing Macros 1.0"},
                          Case{"Other", 1, 0, "", ""}}) {
        SCOPED_TRACE(c.target);
        SetTarget(c.target);
        m_settings.LoadSettings();
        m_settings.LoadActiveLibraries();
        EXPECT_EQ(c.words, g_nWordLibCount);
        ASSERT_EQ(c.shorthands, g_nShLibCount);
        if (c.shorthands) {
            EXPECT_EQ(c.firstShorthand, g_ShLibs[0].GetLibName());
            EXPECT_EQ(c.lastShorthand, g_ShLibs[c.shorthands - 1].GetLibName());
        }
    }
}

TEST_F(SettingsTest, TopWordsRoundTripWithLinesReadWhole)
{
    const std::string longWord(600, 'w');
    WriteData("topwords.txt", "ab=abc\r\n  th = the end  \r\nno equals here\r\nlong=" + longWord +
                                  "\r\nx=y=z\r\n\r\nlast=final");
    g_mapTopWords["kept"] = "before";
    m_settings.LoadSettings();
    EXPECT_EQ("abc", g_mapTopWords["ab"]);
    EXPECT_EQ(" the end", g_mapTopWords["th "]);
    EXPECT_EQ(longWord, g_mapTopWords["long"].GetString());
    EXPECT_EQ("y=z", g_mapTopWords["x"]);
    EXPECT_EQ("final", g_mapTopWords["last"]);
    EXPECT_EQ("before", g_mapTopWords["kept"]);
    EXPECT_EQ(6u, g_mapTopWords.size());

    ASSERT_TRUE(m_settings.SaveTopWords());
    const auto saved = g_mapTopWords;
    g_mapTopWords.clear();
    m_settings.LoadTopWords();
    EXPECT_EQ(saved, g_mapTopWords);
    EXPECT_EQ("ab=abc\r\nkept=before\r\nlast=final\r\nlong=" + longWord + "\r\nth = the end\r\nx=y=z\r\n",
              TempDir::Read(m_data + "topwords.txt"));
}

TEST_F(SettingsTest, PromptFontRoundTripsAndRejectsAWrongSize)
{
    m_settings.LoadSettings();
    g_lfPromptFont.lfHeight = -20;
    g_lfPromptFont.lfWeight = 700;
    g_lfPromptFont.lfItalic = 1;
    std::strcpy(g_lfPromptFont.lfFaceName, "Tahoma");
    ASSERT_TRUE(m_settings.SavePromptFont());
    std::memset(&g_lfPromptFont, 0x55, sizeof g_lfPromptFont);
    m_settings.LoadPromptFont();
    EXPECT_EQ(-20, g_lfPromptFont.lfHeight);
    EXPECT_EQ(700, g_lfPromptFont.lfWeight);
    EXPECT_EQ(1, g_lfPromptFont.lfItalic);
    EXPECT_STREQ("Tahoma", g_lfPromptFont.lfFaceName);

    WriteProfileStringS("PromptFont", "00112233");
    m_settings.LoadPromptFont();
    EXPECT_EQ(-13, g_lfPromptFont.lfHeight);
    EXPECT_STREQ("MS Sans Serif", g_lfPromptFont.lfFaceName);
}
}  // namespace
