#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "IniText.h"
#include "IniTextFile.h"
#include "PrivateProfile.h"
#include "TempDir.h"

namespace {
struct GetCase {
    const char *text, *section, *key, *expected;
};

TEST(IniText, Get)
{
    const GetCase cases[] = {
        {"\n[s]\nB=1\n", "S", "b", "1"},                         // names ignore case
        {"\n[s]\nb=Value X\n", "s", "b", "Value X"},             // the value keeps its case
        {"\n[a]\nk=  spaced\t \n", "a", "k", "spaced"},          // trimmed
        {"\n[a]\nk=1", "a", "k", "1"},                           // last line without a break
        {"\n[a]\nkk=1\nk=2\n", "a", "k", "2"},                   // a longer key is another key
        {"\n[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
        {"\n[a]\n[b]\nk=2\n", "a", "k", "D"},                    // a later section's key
        {"\nk=0\n[a]\nx=1\n", "a", "k", "D"},                    // a key before the first header
        {"\n[ab]\nk=1\n", "a", "k", "D"},                        // a longer section name
        {"\n[a]x\nk=1\n", "a", "k", "D"},                        // not a header line
        {"\n[a]\nk=1\n[a]\nk=2\n", "a", "k", "1"},               // the first header counts
        {"\n[a]\nk=x=y\n", "a", "k", "x=y"},
        {"\n[a]", "a", "k", "D"},
        {"", "a", "k", "D"},
    };
    for (const GetCase &c : cases)
        EXPECT_EQ(IniTextGet(c.text, c.key, "D", false, c.section), c.expected) << c.text;
}

struct SetCase {
    const char *before, *section, *key, *value, *after;
};

TEST(IniText, Set)
{
    const SetCase cases[] = {
        {"\n[a]\nk=1\nm=2\n", "a", "k", "9", "\n[a]\nk=9\nm=2\n"},
        {"\n[A]\nKey=1\n", "a", "key", "2", "\n[A]\nKey=2\n"},
        {"\n[a]\nk=1", "a", "k", "22", "\n[a]\nk=22"},
        // A new key goes at the end of its section, on a line of its own.
        {"\n[a]\nk=1\n[b]\nx=1\n", "a", "m", "2", "\n[a]\nk=1\nm=2\n[b]\nx=1\n"},
        {"\n[a]\nk=1", "a", "m", "2", "\n[a]\nk=1\nm=2\n"},
        // A header that ends the text without a line break is found.
        {"\n[a]", "a", "k", "1", "\n[a]\nk=1\n"},
        // A missing section is appended.
        {"\n[a]\nk=1", "b", "x", "1", "\n[a]\nk=1\n[b]\nx=1\n"},
        {"\n[a]\n", "b", "x", "", "\n[a]\n[b]\nx=\n"},
        {"", "s", "k", "v", "\n[s]\nk=v\n"},
    };
    for (const SetCase &c : cases) {
        CString text = c.before;
        EXPECT_TRUE(IniTextSet(text, c.key, c.value, false, c.section));
        EXPECT_EQ(text, c.after) << c.before;
        EXPECT_EQ(IniTextGet(text, c.key, "D", false, c.section), c.value) << c.before;
    }
}

TEST(IniText, LineBreaksAreEscapedOrRefused)
{
    CString text = "\n[a]\nk=1\n";
    EXPECT_TRUE(IniTextSet(text, "k", "one\r\ntwo\n", true, "a"));
    EXPECT_EQ(text, "\n[a]\nk=one\\r\\ntwo\\n\n");
    EXPECT_EQ(IniTextGet(text, "k", "", true, "a"), "one\r\ntwo\n");
    EXPECT_EQ(IniTextGet(text, "k", "", false, "a"), "one\\r\\ntwo\\n");

    // Unescaped, the rest of the value would become a section of its own.
    const CString before = text;
    EXPECT_FALSE(IniTextSet(text, "k", "x\n[evil]\ny=1", false, "a"));
    EXPECT_FALSE(IniTextSet(text, "k", "x\ry", false, "a"));
    EXPECT_FALSE(IniTextSet(text, "k\nz", "1", false, "a"));
    EXPECT_FALSE(IniTextSet(text, "k", "1", false, "a]\n[b"));
    EXPECT_FALSE(IniTextSetInt(text, "k\n", 1, "a"));
    EXPECT_EQ(text, before);
}

TEST(IniText, IntegersAndSections)
{
    const CString text = "\n[n]\na=12\nb=abc\nc=\nd=-5\ne=9000000000\nf=12ab\n";
    EXPECT_EQ(IniTextGetInt(text, "a", 7, "n"), 12);
    EXPECT_EQ(IniTextGetInt(text, "b", 7, "n"), 0);  // not a number
    EXPECT_EQ(IniTextGetInt(text, "c", 7, "n"), 7);  // empty
    EXPECT_EQ(IniTextGetInt(text, "d", 7, "n"), -5);
    EXPECT_EQ(IniTextGetInt(text, "f", 7, "n"), 12);
    EXPECT_EQ(IniTextGetInt(text, "x", 7, "n"), 7);
    EXPECT_EQ(IniTextGetInt64(text, "e", 0, "n"), 9000000000LL);

    CString changed = text;
    EXPECT_TRUE(IniTextSetInt(changed, "a", -40, "n"));
    EXPECT_TRUE(IniTextSetInt64(changed, "big", -9000000000LL, "n"));
    EXPECT_EQ(IniTextGetInt(changed, "a", 0, "n"), -40);
    EXPECT_EQ(IniTextGetInt64(changed, "big", 0, "n"), -9000000000LL);

    CString sections = "\n[a]\nk=1\n[b]\nx=1\n[c]\ny=1\n";
    IniTextDeleteSection(sections, "B");
    EXPECT_EQ(sections, "\n[a]\nk=1\n[c]\ny=1\n");
    IniTextDeleteSection(sections, "c");
    EXPECT_EQ(sections, "\n[a]\nk=1\n");
    EXPECT_TRUE(IniTextHasSection("\n[Settings]", "settings"));
    EXPECT_FALSE(IniTextHasSection("\n[Settings]x\n", "settings"));
}

class IniTextFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Bytes(const std::string &path) { return TempDir::Read(path); }
};

TEST_F(IniTextFileTest, ChangingOneKeyKeepsEveryOtherByte)
{
    const std::string original =
        "; comment\r\n[General]\r\nA=1\r\n\r\n[Settings]\r\n Spaced = 2 \r\nPromptNum=9\r\nWidth=500\r\nName=Mixed Case\r\n"
        "[Last]\r\nz=0";
    const std::string path = dir.Write("s.ini", original);
    {
        CIniTextFile file(path.c_str(), "Settings");
        EXPECT_EQ(file.GetInt("promptnum"), 9);
        EXPECT_EQ(file.GetString("name"), "Mixed Case");
        EXPECT_TRUE(file.SetInt("Width", 640));
        EXPECT_TRUE(file.IsDirty());
    }  // saved by the destructor
    std::string expected = original;
    expected.replace(expected.find("Width=500"), 9, "Width=640");
    EXPECT_EQ(Bytes(path), expected);

    // An unchanged file saved again keeps its bytes, the missing last line
    // break included.
    CIniTextFile file(path.c_str());
    EXPECT_TRUE(file.Save());
    EXPECT_EQ(Bytes(path), expected);
    EXPECT_EQ(dir.List(), "s.ini");  // no temporary file left beside it
}

TEST_F(IniTextFileTest, MissingFileIsCreatedOnSave)
{
    const std::string path = dir.Path("new.ini");
    CIniTextFile file;
    EXPECT_FALSE(file.Load(path.c_str()));
    EXPECT_EQ(file.GetInt("k", 5), 5);
    EXPECT_TRUE(file.SetString("k", "v"));
    EXPECT_TRUE(file.SetInt("n", 3, "Other"));
    EXPECT_TRUE(file.SetInt("m", 4));  // the section stays "Other"
    EXPECT_TRUE(file.Save());
    EXPECT_FALSE(file.IsDirty());
    EXPECT_EQ(Bytes(path), "[General]\r\nk=v\r\n[Other]\r\nn=3\r\nm=4\r\n");
}

TEST_F(IniTextFileTest, FileThatWasNotReadIsNeverWritten)
{
    struct Case {
        const char *name;
        std::string bytes;  // empty: a folder of that name
    };
    const Case cases[] = {
        {"zero-byte.ini", std::string("[General]\r\nA=1\r\n\0B=2\r\n", 22)},
        {"folder.ini", ""},
    };
    for (const Case &c : cases) {
        std::string path;
        if (c.bytes.empty()) {
            path = dir.Path(c.name);
            std::filesystem::create_directory(path);
        } else {
            path = dir.Write(c.name, c.bytes);
        }
        {
            CIniTextFile file;
            EXPECT_FALSE(file.Load(path.c_str())) << c.name;
            EXPECT_EQ(file.GetInt("A", -1), -1) << c.name;
            EXPECT_TRUE(file.SetInt("A", 5));
            EXPECT_FALSE(file.Save()) << c.name;
            EXPECT_TRUE(file.IsDirty());
        }  // nor by the destructor
        if (c.bytes.empty())
            EXPECT_TRUE(std::filesystem::is_directory(path));
        else
            EXPECT_EQ(Bytes(path), c.bytes);
    }
}

TEST_F(IniTextFileTest, FailedSaveKeepsTheChangesPending)
{
    const std::string folder = dir.Path("sub");
    std::filesystem::create_directory(folder);
    const std::string path = dir.Path("sub/s.ini");
    CIniTextFile file(path.c_str());
    EXPECT_TRUE(file.SetInt("k", 1));
    std::filesystem::remove(folder);
    EXPECT_FALSE(file.Save());
    EXPECT_TRUE(file.IsDirty());
    std::filesystem::create_directory(folder);
    EXPECT_TRUE(file.Save());
    EXPECT_FALSE(file.IsDirty());
    EXPECT_EQ(Bytes(path), "[General]\r\nk=1\r\n");
}

TEST_F(IniTextFileTest, KeysWrittenMeanwhileByTheProfileRouteSurvive)
{
    const std::string path = dir.Write("s.ini", "[Settings]\r\nA=1\r\n");
    CIniTextFile file(path.c_str(), "Settings");
    EXPECT_TRUE(file.SetInt("A", 2));
    EXPECT_TRUE(file.SetString("Text", "line1\r\nline2", true));
    ASSERT_TRUE(ProfileWriteString("Settings", "B", "written meanwhile", path.c_str()));
    ASSERT_TRUE(ProfileWriteString("Other", "C", "3", path.c_str()));
    EXPECT_TRUE(file.Save());

    CIniTextFile again(path.c_str(), "Settings");
    EXPECT_EQ(again.GetInt("A"), 2);
    EXPECT_EQ(again.GetString("B"), "written meanwhile");
    EXPECT_EQ(again.GetInt("C", 0, "Other"), 3);
    EXPECT_EQ(again.GetString("Text", "", true, "Settings"), "line1\r\nline2");
    EXPECT_EQ(file.GetString("B"), "written meanwhile");  // the saved text is held
}

TEST_F(IniTextFileTest, UnescapedLineBreakChangesNothing)
{
    const std::string path = dir.Write("s.ini", "[General]\r\nA=1\r\n");
    {
        CIniTextFile file(path.c_str());
        EXPECT_FALSE(file.SetString("A", "2\r\n[General]\r\nB=3"));
        EXPECT_FALSE(file.IsDirty());
        EXPECT_EQ(file.GetInt("A"), 1);
    }
    EXPECT_EQ(Bytes(path), "[General]\r\nA=1\r\n");
}

TEST_F(IniTextFileTest, SetTextIsSavedAsItIs)
{
    const std::string path = dir.Write("s.ini", "[Old]\r\nx=1\r\n");
    CIniTextFile file(path.c_str());
    file.SetText("[New]\ny=2\n");
    EXPECT_TRUE(file.HasSection("new"));
    EXPECT_FALSE(file.HasSection("Old"));
    EXPECT_FALSE(file.IsDirty());
    file.SetDirty();
    EXPECT_TRUE(file.Save());
    EXPECT_EQ(Bytes(path), "[New]\r\ny=2\r\n");
    EXPECT_EQ(file.DetachText(), "[New]\ny=2\n");
}
}  // namespace
