#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Folders.h"
#include "IniFile.h"
#include "PrivateProfile.h"
#include "ProfileSettings.h"
#include "StringCipher.h"
#include "TempDir.h"

namespace {
// The private-profile functions: our reader and writer everywhere, and on
// Windows the system's too, which ours must match.
struct ProfileApi {
    const char *name;
    CString (*getString)(const char *, const char *, const char *, int, const char *);
    int (*getInt)(const char *, const char *, int, const char *);
    bool (*writeString)(const char *, const char *, const char *, const char *);
    void (*sectionNames)(CStringArray &, const char *);
};

std::vector<ProfileApi> ProfileApis()
{
    std::vector<ProfileApi> apis = {
        {"ours", IniFileGetString, IniFileGetInt, IniFileWriteString, IniFileGetSectionNames}};
#ifdef _WIN32
    apis.push_back({"system", ProfileGetString, ProfileGetInt, ProfileWriteString, ProfileGetSectionNames});
#endif
    return apis;
}

const char kSpaced[] = "; c\r\n[Sec]\r\n a = 1 \r\nb=\"q\"\r\n\r\n[Other]\r\nx=2\r\n";
const char kNumbers[] = "[S]\r\nn1=-5\r\nn2=0x1fg\r\nn3=12ab\r\nn4=abc\r\nn5= \r\nn6=4294967295\r\nn7=+3\r\nn8=1 2\r\n";
const char kOdd[] = "[S]\r\nq1='a'\r\nq2=\"a\r\nq3=\"a\" b\"\r\nq4=\"\"\r\n [ T ] \r\nz=1\r\n[U]x\r\ny=2\r\nnokey\r\n";
const char kTwice[] = "k=0\r\n[S]\r\nk=1\r\n[S]\r\nk=2\r\nm=3\r\n";

TEST(PrivateProfile, Reads)
{
    struct Case {
        const char *file, *section, *key, *text;
        int number;  // with the default 7
    };
    const Case cases[] = {
        {kSpaced, "sec", "A", "1", 1},     {kSpaced, "Sec", "b", "q", 0},    {kSpaced, "Other", "x", "2", 2},
        {kSpaced, "Sec", "x", "D", 7},     {kNumbers, "S", "n1", "-5", -5},  {kNumbers, "S", "n2", "0x1fg", 31},
        {kNumbers, "S", "n3", "12ab", 12}, {kNumbers, "S", "n4", "abc", 0},  {kNumbers, "S", "n5", "", 7},
        {kNumbers, "S", "n6", "4294967295", -1}, {kNumbers, "S", "n7", "+3", 3}, {kNumbers, "S", "n8", "1 2", 1}, {kOdd, "S", "q1", "a", 0},
        {kOdd, "S", "q2", "\"a", 0},       {kOdd, "S", "q3", "a\" b", 0},    {kOdd, "S", "q4", "", 7},
        {kOdd, "T", "z", "1", 1},          {kOdd, "U", "y", "2", 2},         {kOdd, "U", "nokey", "D", 7},
        {kTwice, "S", "k", "1", 1},        {kTwice, "S", "m", "D", 7},
    };
    TempDir dir;
    for (const ProfileApi &api : ProfileApis()) {
        for (const Case &c : cases) {
            const std::string path = dir.Write("r.ini", c.file);
            EXPECT_EQ(api.getString(c.section, c.key, "D", 4096, path.c_str()), c.text)
                << api.name << " " << c.section << "." << c.key;
            EXPECT_EQ(api.getInt(c.section, c.key, 7, path.c_str()), c.number)
                << api.name << " " << c.section << "." << c.key;
        }
        const std::string path = dir.Write("r.ini", kOdd);
        CStringArray names;
        api.sectionNames(names, path.c_str());
        ASSERT_EQ(names.GetSize(), 3) << api.name;
        EXPECT_EQ(names[0] + names[1] + names[2], "STU") << api.name;
        EXPECT_EQ(api.getString("S", "q1", "D", 1, path.c_str()), "") << api.name;  // room for the 0 only
        EXPECT_EQ(api.getString("S", "missing", "D", 4096, dir.Path("none.ini").c_str()), "D") << api.name;
    }
}

TEST(PrivateProfile, Writes)
{
    struct Case {
        const char *before;  // nullptr: no file
        const char *section, *key, *value, *after;
    };
    const Case cases[] = {
        {"[Sec]\r\na=1\r\nb=2\r\n[Other]\r\nx=2\r\n", "Sec", "c", "3",
         "[Sec]\r\na=1\r\nb=2\r\nc=3\r\n[Other]\r\nx=2\r\n"},
        {"[Sec]\r\na=1\r\n[Other]\r\nx=2\r\n", "sec", "A", "9", "[Sec]\r\na=9\r\n[Other]\r\nx=2\r\n"},
        {"[Sec]\r\na=1\r\n", "New", "k", "v", "[Sec]\r\na=1\r\n[New]\r\nk=v\r\n"},
        {"[S]\r\nk=1", "S", "j", "2", "[S]\r\nk=1\r\nj=2\r\n"},
        {"[S]", "S", "j", "2", "[S]\r\nj=2\r\n"},
        {"[S]\nk=1\n", "S", "j", "2", "[S]\r\nk=1\r\nj=2\r\n"},
        {kTwice, "S", "m", "4", "k=0\r\n[S]\r\nk=1\r\nm=4\r\n[S]\r\nk=2\r\nm=3\r\n"},
        {nullptr, "S", "j", "2", "[S]\r\nj=2\r\n"},
    };
    TempDir dir;
    for (const ProfileApi &api : ProfileApis()) {
        for (const Case &c : cases) {
            const std::string path = c.before ? dir.Write("w.ini", c.before) : dir.Path("new.ini");
            EXPECT_TRUE(api.writeString(c.section, c.key, c.value, path.c_str()));
            EXPECT_EQ(TempDir::Read(path), c.after) << api.name << " " << (c.before ? c.before : "(none)");
            std::remove(path.c_str());
        }
    }
}

TEST(PrivateProfile, OurWriterKeepsOtherLinesAndNeverWritesAnUnreadFile)
{
    TempDir dir;
    const std::string path = dir.Write("w.ini", "; note\r\n[A]\r\n x = 1 \r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_TRUE(IniFileWriteString("A", "z", "3", path.c_str()));
    EXPECT_TRUE(IniFileWriteString("B", "Y", "4", path.c_str()));
    EXPECT_EQ(TempDir::Read(path), "; note\r\n[A]\r\n x = 1 \r\nz=3\r\n\r\n[B]\r\ny=4\r\n");

    const std::string bytes("[A]\r\nx=1\r\n\0tail", 15);
    const std::string nul = dir.Write("zero-byte.ini", bytes);
    EXPECT_FALSE(IniFileWriteString("A", "x", "2", nul.c_str()));
    EXPECT_EQ(TempDir::Read(nul), bytes);
}

TEST(IniFile, FileNames)
{
    EXPECT_EQ(CIniFile("custom.ini").m_strFile, GetProgramFolder() + "custom.ini");
    TempDir dir;
    const std::string full = dir.Path("x.ini");
    CIniFile file(full.c_str());
    EXPECT_EQ(file.m_strFile, full.c_str());
    EXPECT_EQ(file.m_strSection, "General");
    file.SetFileName("plain.ini");
    EXPECT_EQ(file.m_strFile, "plain.ini");
}

TEST(IniFile, ValuesSectionsAndEscaping)
{
    TempDir dir;
    const std::string path = dir.Path("c.ini");
    CIniFile file(path.c_str());
    EXPECT_FALSE(file.FileExists());
    EXPECT_TRUE(file.SetString("Text", "one\r\ntwo"));
    EXPECT_TRUE(file.SetInt("n", 42, "Numbers"));  // "Numbers" stays current
    EXPECT_TRUE(file.SetInt("m", -3));
    EXPECT_TRUE(file.FileExists());
    EXPECT_EQ(TempDir::Read(path), "[General]\r\nText=one\\r\\ntwo\r\n[Numbers]\r\nn=42\r\nm=-3\r\n");

    EXPECT_EQ(file.GetInt("n"), 42);
    EXPECT_EQ(file.GetInt("m"), -3);
    EXPECT_EQ(file.GetString("Text", "", "General", true), "one\r\ntwo");
    EXPECT_EQ(file.GetString("Text"), "one\\r\\ntwo");
    EXPECT_EQ(file.GetString("absent", "dflt"), "dflt");
    CStringArray names;
    file.GetSectionNames(names);
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[1], "Numbers");
}

TEST(IniFile, DisabledDoesNothing)
{
    TempDir dir;
    const std::string path = dir.Write("c.ini", "[General]\r\nk=5\r\n");
    CIniFile file(path.c_str(), FALSE);
    EXPECT_EQ(file.GetInt("k", 9), 0);
    EXPECT_EQ(file.GetString("k", "d"), "");
    EXPECT_FALSE(file.SetString("k", "6"));
    EXPECT_FALSE(file.SetInt("k", 6));
    EXPECT_EQ(TempDir::Read(path), "[General]\r\nk=5\r\n");
}

TEST(IniFile, EncryptedValues)
{
    ASSERT_TRUE(AcquireCryptProvider());
    TempDir dir;
    const std::string path = dir.Path("c.ini");
    CIniFile file(path.c_str());
    file.m_bEncrypt = TRUE;
    file.m_strPassPhrase = "secret";
    EXPECT_TRUE(file.SetString("Target", "MT\r\n"));
    EXPECT_EQ(TempDir::Read(path), "[General]\r\nTarget=" + EncryptToHex("MT\\r\\n", "secret").Str() + "\r\n");
    EXPECT_EQ(file.GetString("Target", "", "", true), "MT\r\n");
    EXPECT_EQ(file.GetString("absent", "General"), "General");  // a default is not deciphered
    ReleaseCryptProvider();
}

class ProfileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppProfile("", path.c_str()); }
    void TearDown() override
    {
        SetAppProfile("", "");
        g_bUseIniText = FALSE;
        g_strIniText.Empty();
    }
    TempDir dir;
    std::string path = dir.Path("Lexanto.ini");
};

TEST_F(ProfileSettingsTest, FileRoute)
{
    EXPECT_EQ(GetSettingInt("EnableDebugLog", 0, "Settings"), 0);
    EXPECT_TRUE(WriteSettingInt("PromptDock", 2, "Settings"));
    EXPECT_TRUE(WriteSettingString("QuickAddTargetLib", "User Lib:user_en", false, "Settings"));
    EXPECT_TRUE(WriteProfileStringEx("Memo", "a\r\nb", true));  // no section: "General"
    EXPECT_TRUE(WriteProfileIntEx("ToolBarDock", 1, "Settings"));
    EXPECT_EQ(TempDir::Read(path), "[Settings]\r\nPromptDock=2\r\nQuickAddTargetLib=User Lib:user_en\r\nToolBarDock=1\r\n"
                                   "[General]\r\nMemo=a\\r\\nb\r\n");
    EXPECT_EQ(GetSettingInt("promptdock", 0, "settings"), 2);
    EXPECT_EQ(GetProfileIntEx("ToolBarDock", 0, "Settings"), 1);
    EXPECT_EQ(GetSettingString("QuickAddTargetLib", "", false, "Settings"), "User Lib:user_en");
    EXPECT_EQ(GetProfileStringEx("Memo", "", true), "a\r\nb");
    EXPECT_FALSE(WriteSettingString("Memo", "x\ny", false, ""));  // refused, nothing written
    EXPECT_EQ(GetProfileStringEx("Memo", "", false), "a\\r\\nb");
}

TEST_F(ProfileSettingsTest, UnreadFileIsNotRewritten)
{
    const std::string bytes("[Settings]\r\nA=1\r\n\0", 18);
    dir.Write("Lexanto.ini", bytes);
    EXPECT_EQ(GetSettingInt("A", 7, "Settings"), 7);
    EXPECT_FALSE(WriteSettingInt("A", 2, "Settings"));
    EXPECT_EQ(TempDir::Read(path), bytes);
}

TEST_F(ProfileSettingsTest, GlobalTextRoute)
{
    g_bUseIniText = TRUE;
    EXPECT_TRUE(WriteSettingInt("A", 3, "Settings"));
    EXPECT_TRUE(WriteSettingString("B", "x\r\ny", true, ""));
    EXPECT_EQ(GetSettingInt("a", 0, "settings"), 3);
    EXPECT_EQ(GetSettingString("B", "", true, "General"), "x\r\ny");
    EXPECT_EQ(g_strIniText, "\n[Settings]\nA=3\n[General]\nB=x\\r\\ny\n");
    EXPECT_FALSE(std::filesystem::exists(path));  // the file is not touched
}
}  // namespace
