#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "BusyFeedback.h"
#include "Folders.h"
#include "LibFile.h"
#include "RecordBuilders.h"
#include "LibFormats.h"
#include "LibrarySet.h"
#include "MessageLog.h"
#include "PathText.h"
#include "ProgramPath.h"
#include "RetrieveThread.h"
#include "TempDir.h"

namespace {
// Word, count and time of each record, as one comparable text.
std::string Describe(const std::vector<WRecord_X> &table)
{
    std::string text;
    for (const WRecord_X &r : table)
        text += std::string(r.word.GetString()) + ":" + std::to_string(r.useCount) + "@" + std::to_string(r.lastUsed) + " ";
    return text;
}

std::string Describe(const std::vector<SHRecord_X> &table)
{
    std::string text;
    for (const SHRecord_X &r : table)
        text += std::string(r.name) + "=" + r.expansion.GetString() + ":" + std::to_string(r.useCount) + " ";
    return text;
}

void WriteWords(const std::string &path, std::vector<WRecord_X> table)
{
    CLibFile library(path.c_str());
    library.m_WordTable = std::move(table);
    library.m_bDirty = TRUE;
    ASSERT_TRUE(library.WriteAllRecordsIntoLib(TRUE)) << path;
}

void WriteShorthands(const std::string &path, std::vector<SHRecord_X> table)
{
    CLibFile library(path.c_str());
    library.m_ShTable = std::move(table);
    library.m_bDirty = TRUE;
    ASSERT_TRUE(library.WriteAllRecordsIntoLib(TRUE)) << path;
}

std::string ReadWords(const std::string &path)
{
    CLibFile library(path.c_str());
    return library.ReadAllRecordsFromLib(FALSE) ? Describe(library.m_WordTable) : "unreadable";
}

std::string ReadShorthands(const std::string &path)
{
    CLibFile library(path.c_str());
    return library.ReadAllRecordsFromLib(FALSE) ? Describe(library.m_ShTable) : "unreadable";
}

std::string ReadFile(const std::string &path) { return TempDir::Read(path); }

void WriteFile(const std::string &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Header(size_t size, const char *text)
{
    std::string header(size, '\0');
    header.replace(0, std::string(text).size(), text);
    return header;
}

std::vector<std::string> &WaitMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

void RecordWaitMessage(const char *text) { WaitMessages().push_back(text); }

void ResetLibrary(CLibFile &library)
{
    library.CloseFiles();
    library.SetPath("");
    library.m_WordTable.clear();
    library.m_ShTable.clear();
    for (int i = 0; i < 26; ++i) {
        library.m_WordBuckets[i].clear();
        library.m_ShBuckets[i].clear();
    }
    library.m_bDirty = FALSE;
}

void ResetLibrarySet()
{
    for (CLibFile &library : g_WordLibs)
        ResetLibrary(library);
    for (CLibFile &library : g_ShLibs)
        ResetLibrary(library);
    g_nWordLibCount = 0;
    g_nShLibCount = 0;
    g_pUserLib = nullptr;
    g_bLibrariesOpen = FALSE;
}

// An empty libraries folder in a data folder of its own (natively under a
// fresh temporary folder, under Windows a product folder made for the test),
// an empty library set, and wait messages recorded.
class LibrarySetFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedProduct = g_strProductName;
        g_strProductName = "LexantoLibrarySetTest";
#ifndef _WIN32
        const char *saved = std::getenv("LEXANTO_APPDATA");
        m_hadAppData = saved != nullptr;
        m_savedAppData = saved ? saved : "";
        setenv("LEXANTO_APPDATA", m_dir.Path().c_str(), 1);
#endif
        m_dataFolder = GetAppDataFolder().GetString();
        std::error_code ignored;
        std::filesystem::remove_all(m_dataFolder, ignored);
        std::filesystem::create_directories(GetLibrariesFolder().GetString());
        ResetLibrarySet();
        WaitMessages().clear();
        SetBusyFeedbackHandler(&s_feedback);
    }

    void TearDown() override
    {
        SetBusyFeedbackHandler(nullptr);
        ResetLibrarySet();
        std::error_code ignored;
        std::filesystem::remove_all(m_dataFolder, ignored);
#ifndef _WIN32
        if (m_hadAppData)
            setenv("LEXANTO_APPDATA", m_savedAppData.c_str(), 1);
        else
            unsetenv("LEXANTO_APPDATA");
#endif
        g_strProductName = m_savedProduct;
    }

    // A path in the libraries folder: subfolder may be empty.
    static std::string Lib(const char *subfolder, const char *name)
    {
        const CString folder = *subfolder ? JoinPath(GetLibrariesFolder(), subfolder) : GetLibrariesFolder();
        return JoinPath(folder, name).GetString();
    }

    static std::string Folder(const char *subfolder) { return JoinPath(GetLibrariesFolder(), subfolder).GetString(); }

    static std::string ListLibrariesFolder()
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(GetLibrariesFolder().GetString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        std::string list;
        for (const std::string &name : names)
            list += (list.empty() ? "" : " ") + name;
        return list;
    }

    static inline const BusyFeedbackHandler s_feedback = {nullptr, RecordWaitMessage};
#ifndef _WIN32
    TempDir m_dir;  // holds the data folder
#endif
    CString m_savedProduct;
    bool m_hadAppData = false;
    std::string m_savedAppData;
    std::string m_dataFolder;
};
}  // namespace

TEST_F(LibrarySetFixture, OpenCreatesWhatAFirstStartLacksAndCloseWritesBack)
{
    MessageLog log;
    // None of the subfolders exists yet; the new shorthand library goes into one of them.
    const std::string user = Lib("", "user.lib");
    const std::string english = Lib("", "English.lib");
    const std::string personal = Lib("shlib", "personal shorthands.SLB");
    WriteWords(english, {Word("apple", 3, 10), Word("pear", 1, 20)});

    g_WordLibs[0].SetPath(user.c_str());
    g_WordLibs[1].SetPath(english.c_str());
    g_nWordLibCount = 2;
    g_pUserLib = &g_WordLibs[0];
    g_ShLibs[0].SetPath(personal.c_str());
    g_nShLibCount = 1;

    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_TRUE(g_bLibrariesOpen);
    for (const char *subfolder : {"langlib", "proflib", "shlib"})
        EXPECT_TRUE(std::filesystem::is_directory(Folder(subfolder))) << subfolder;
    EXPECT_EQ(ReadFile(user), Header(120, "wordlib ver130"));
    EXPECT_EQ(ReadFile(personal), Header(160, "shlib ver130"));
    EXPECT_EQ(g_WordLibs[0].GetRecordCount(), 0);
    EXPECT_EQ(Describe(g_WordLibs[1].m_WordTable), "apple:3@10 pear:1@20 ");
    EXPECT_TRUE(MessageLog::Messages().empty());

    // What was learned while open is on disk after the close; the set itself stays.
    g_pUserLib->AddWord(Word("learned", 1, 30));
    g_ShLibs[0].AddShorthand(Shorthand("ty", "thank you", 1));
    EXPECT_EQ(CloseAllLibraries(FALSE), 0);
    EXPECT_FALSE(g_bLibrariesOpen);
    EXPECT_EQ(WaitMessages(), (std::vector<std::string>{"Closing all libraries...", ""}));
    EXPECT_EQ(g_WordLibs[0].GetRecordCount() + g_WordLibs[1].GetRecordCount() + g_ShLibs[0].GetRecordCount(), 0);
    EXPECT_EQ(g_nWordLibCount, 2);
    EXPECT_EQ(g_nShLibCount, 1);
    EXPECT_EQ(g_WordLibs[1].GetPath(), english.c_str());
    EXPECT_EQ(ReadWords(user), "learned:1@30 ");
    EXPECT_EQ(ReadShorthands(personal), "ty=thank you:1 ");

    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_EQ(Describe(g_pUserLib->m_WordTable), "learned:1@30 ");
    EXPECT_EQ(Describe(g_ShLibs[0].m_ShTable), "ty=thank you:1 ");
}

TEST_F(LibrarySetFixture, ALibraryThatCantBeOpenedIsLeftOutAndTheRestOpens)
{
    MessageLog log;
    std::filesystem::create_directories(Folder("shlib"));
    const std::string user = Lib("", "user.lib");
    const std::string missing = Lib("langlib", "missing.lib");
    const std::string english = Lib("", "English.lib");
    const std::string newer = Lib("shlib", "Other.slb");
    const std::string personal = Lib("shlib", "Personal Shorthands.slb");
    WriteWords(english, {Word("apple", 3, 10)});
    WriteFile(user, Header(60, "wordlib ver130"));  // shorter than its header: damaged
    WriteFile(newer, Header(160, "shlib ver150"));
    WriteFile(Lib("shlib", "Other.mem"), "");

    g_WordLibs[0].SetPath(user.c_str());
    g_WordLibs[1].SetPath(missing.c_str());
    g_WordLibs[2].SetPath(english.c_str());
    g_nWordLibCount = 3;
    g_pUserLib = &g_WordLibs[0];
    g_ShLibs[0].SetPath(newer.c_str());
    g_ShLibs[1].SetPath(personal.c_str());
    g_nShLibCount = 2;

    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_TRUE(g_bLibrariesOpen);
    // The user library may start empty: its damaged file is set aside first.
    EXPECT_EQ(g_pUserLib, &g_WordLibs[0]);
    EXPECT_EQ(g_WordLibs[0].GetPath(), user.c_str());
    EXPECT_EQ(ReadFile(user + ".bad"), Header(60, "wordlib ver130"));
    EXPECT_EQ(ReadFile(user), Header(120, "wordlib ver130"));
    // The others that can't be opened are gone from the set; the rest moved up.
    ASSERT_EQ(g_nWordLibCount, 2);
    EXPECT_EQ(g_WordLibs[1].GetPath(), english.c_str());
    EXPECT_EQ(Describe(g_WordLibs[1].m_WordTable), "apple:3@10 ");
    EXPECT_EQ(g_WordLibs[2].GetPath(), "");
    ASSERT_EQ(g_nShLibCount, 1);
    EXPECT_EQ(g_ShLibs[0].GetPath(), personal.c_str());
    EXPECT_EQ(ReadFile(personal), Header(160, "shlib ver130"));

    const std::vector<std::string> &messages = MessageLog::Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_NE(messages[0].find(user + " is damaged"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("new empty library"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[1], missing + " doesn't exist!");
    EXPECT_NE(messages[2].find(newer + " has the library version 150"), std::string::npos) << messages[2];
    EXPECT_EQ(messages[3], "Failed to open library:" + missing + "\nFailed to open library:" + newer +
                               "\nThey are left out of the active libraries.");

    // Nothing is written over what was left out, and a reopening goes on
    // with the smaller set.
    EXPECT_EQ(CloseAllLibraries(FALSE), 0);
    EXPECT_EQ(ReadFile(newer), Header(160, "shlib ver150"));
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_EQ(g_nWordLibCount, 2);
    EXPECT_EQ(g_nShLibCount, 1);
    EXPECT_EQ(messages.size(), 4u);
}

TEST_F(LibrarySetFixture, AUserLibraryThatCantBeOpenedLeavesNoUserLibrary)
{
    MessageLog log;
    const std::string user = Lib("", "user.lib");
    const std::string english = Lib("", "English.lib");
    std::filesystem::create_directories(user);  // a folder stands where the file should be
    WriteWords(english, {Word("pear", 1, 20)});
    g_WordLibs[0].SetPath(user.c_str());
    g_WordLibs[1].SetPath(english.c_str());
    g_nWordLibCount = 2;
    g_pUserLib = &g_WordLibs[0];

    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_EQ(g_pUserLib, nullptr);  // learning then flushes nowhere
    ASSERT_EQ(g_nWordLibCount, 1);
    EXPECT_EQ(g_WordLibs[0].GetPath(), english.c_str());
    EXPECT_EQ(Describe(g_WordLibs[0].m_WordTable), "pear:1@20 ");
    ASSERT_EQ(MessageLog::Messages().size(), 2u);
    EXPECT_EQ(MessageLog::Messages()[0], "Can't open " + user);
    EXPECT_EQ(MessageLog::Messages()[1], "Failed to open library:" + user + "\nIt is left out of the active libraries.");
    EXPECT_TRUE(std::filesystem::is_directory(user));

    // A learning target further down (as an import sets it) follows its
    // library when one before it is left out.
    ResetLibrarySet();
    g_WordLibs[0].SetPath(Lib("", "missing.lib").c_str());
    g_WordLibs[1].SetPath(english.c_str());
    g_nWordLibCount = 2;
    g_pUserLib = &g_WordLibs[1];
    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    ASSERT_EQ(g_nWordLibCount, 1);
    EXPECT_EQ(g_pUserLib, &g_WordLibs[0]);
    EXPECT_EQ(g_pUserLib->GetPath(), english.c_str());
}

// The installed copy in the program folder's "libraries" folder replaces a
// damaged library, after the damaged pair is set aside; a damaged installed
// copy replaces nothing and never overwrites the user's damaged pair. The
// program folder is a copy of the loading program in a folder of its own.
TEST_F(LibrarySetFixture, TheInstalledCopyReplacesADamagedLibrary)
{
    TempDir program;
    const std::string child = program.Path(
#ifdef _WIN32
        "libwrite_child.exe"
#else
        "libwrite_child"
#endif
    );
    std::filesystem::copy_file(SiblingProgram("libwrite_child"), child);
    const std::string words = program.Write("words.txt", "");
    // The data folder of the child, which has the program's own product name.
    const CString ownProduct = g_strProductName;
    g_strProductName = "Lexanto";
    const std::string childLibraries = GetLibrariesFolder().GetString();
    g_strProductName = ownProduct;
    const std::string name = "Restored-" + std::filesystem::path(program.Path()).filename().string();
    const std::string path = JoinPath(JoinPath(childLibraries.c_str(), "langlib"), (name + ".lib").c_str()).GetString();
    const std::string installed = program.Path("libraries/langlib/" + name + ".lib");
    std::filesystem::create_directories(std::filesystem::path(installed).parent_path());
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteWords(installed, {Word("installed", 2, 5)});
    const std::string damaged = Header(100, "wordlib ver130");
    const std::string memo = RemoveExtension(path.c_str()).GetString() + std::string(".mem");

    auto run = [&](int &exitCode) {
        const std::string out = program.Path("out.txt");
        const std::string command = "\"" + child + "\" \"" + path + "\" \"" + words + "\" > \"" + out + "\"";
#ifdef _WIN32
        exitCode = std::system(("\"" + command + "\"").c_str());
#else
        const int status = std::system(command.c_str());
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        return ReadFile(out);
    };

    WriteFile(path, damaged);
    WriteFile(memo, "junk");
    int exitCode = -1;
    std::string output = run(exitCode);
    EXPECT_EQ(exitCode, 0) << output;
    EXPECT_NE(output.find("message: The library " + path + " is damaged"), std::string::npos) << output;
    EXPECT_NE(output.find("moved to " + path + ".bad"), std::string::npos) << output;
    EXPECT_NE(output.find("installed copy of the library takes its place"), std::string::npos) << output;
    EXPECT_EQ(output.find("message: "), output.rfind("message: ")) << output;  // told once
    EXPECT_EQ(ReadWords(path), "installed:2@5 ");
    EXPECT_EQ(ReadFile(path + ".bad"), damaged);
    EXPECT_EQ(ReadFile(memo + ".bad"), "junk");

    // Damaged once more, with a damaged installed copy: the user's pair is set
    // aside beside the first, the broken copy is dropped, nothing opens.
    WriteFile(installed, Header(50, "wordlib ver130"));
    WriteFile(path, damaged + "2");
    exitCode = -1;
    output = run(exitCode);
    EXPECT_EQ(exitCode, 3) << output;
    EXPECT_NE(output.find("moved to " + path + ".2.bad"), std::string::npos) << output;
    EXPECT_NE(output.find("installed copy of the library " + path + " is damaged too"), std::string::npos) << output;
    EXPECT_NE(output.find("not opened"), std::string::npos) << output;
    EXPECT_EQ(ReadFile(path + ".2.bad"), damaged + "2");
    EXPECT_EQ(ReadFile(path + ".bad"), damaged);
    EXPECT_FALSE(std::filesystem::exists(path));

    std::error_code ignored;
    for (const std::string &file : {path + ".bad", path + ".2.bad", memo + ".bad", memo + ".2.bad", path, memo})
        std::filesystem::remove(file, ignored);
}

TEST_F(LibrarySetFixture, OpeningConvertsAVersion120Library)
{
    MessageLog log;
    // Two records out of order behind the 60-byte header slot: word, then time and count.
    std::string old = Header(60, "wordlib ver120");
    for (const auto &[word, time, count] : {std::tuple<const char *, int, int>{"zebra", 100, 3}, {"apple", 200, 7}}) {
        std::string record(60, '\0');
        record.replace(0, std::string(word).size(), word);
        PutInt32LE(reinterpret_cast<unsigned char *>(&record[OLD_WORD_LAST_USED_OFFSET]), time);
        PutInt32LE(reinterpret_cast<unsigned char *>(&record[OLD_WORD_USE_COUNT_OFFSET]), count);
        old += record;
    }
    std::filesystem::create_directories(Folder("proflib"));
    const std::string path = Lib("proflib", "Law.lib");
    const std::string memo = Lib("proflib", "Law.mem");
    WriteFile(path, old);
    WriteFile(memo, "stale bytes");

    g_WordLibs[0].SetPath(path.c_str());
    g_nWordLibCount = 1;
    ASSERT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_EQ(Describe(g_WordLibs[0].m_WordTable), "apple:7@200 zebra:3@100 ");
    EXPECT_EQ(ReadFile(path + ".old"), old);
    EXPECT_EQ(ReadFile(path).substr(0, 120), Header(120, "wordlib ver130"));
    EXPECT_EQ(ReadFile(path).size(), 120u + 2 * 12);
    EXPECT_EQ(ReadFile(memo).find("stale"), std::string::npos);
    EXPECT_EQ(ReadWords(path), "apple:7@200 zebra:3@100 ");
    EXPECT_TRUE(MessageLog::Messages().empty());

    // A conversion that fails refuses the library and leaves its file alone.
    const std::string stuck = Lib("proflib", "Stuck.lib");
    WriteFile(stuck, old);
    std::filesystem::create_directories(stuck + ".old/in the way");
    CLibFile refused(stuck.c_str());
    EXPECT_FALSE(refused.ReadAllRecordsFromLib(FALSE));
    EXPECT_EQ(MessageLog::Messages(), (std::vector<std::string>{"Can't open " + stuck + ".old"}));
    EXPECT_EQ(ReadFile(stuck), old);

    // A file of no known version is not converted: it opens as it stands.
    const std::string plain = Lib("proflib", "Plain.lib");
    WriteFile(plain, "no header at all");
    EXPECT_EQ(UpgradeLibraryIfNeeded(plain.c_str(), LIB_VERSION_NONE), 0);
    EXPECT_EQ(ReadFile(plain), "no header at all");
    EXPECT_FALSE(std::filesystem::exists(plain + ".old"));
}

TEST_F(LibrarySetFixture, FindByPathInAnySpelling)
{
    g_WordLibs[0].SetPath("C:\\Data\\libraries\\user.lib");
    g_WordLibs[1].SetPath("C:\\Data\\libraries\\langlib\\English.lib");
    g_WordLibs[2].SetPath("C:\\Data\\libraries\\langlib\\Beyond.lib");  // past the count
    g_nWordLibCount = 2;
    g_ShLibs[0].SetPath("C:\\Data\\libraries\\shlib\\Work.slb");
    g_ShLibs[1].SetPath("C:\\Data\\libraries\\shlib\\Personal Shorthands.slb");
    g_nShLibCount = 2;

    struct Case {
        const char *path;
        int word;
        int shorthand;
    } const cases[] = {
        {"C:\\Data\\libraries\\langlib\\English.lib", 1, -1},
        {"C:/Data/libraries/langlib/English.lib", 1, -1},
        {"c:\\data\\LIBRARIES\\langlib\\english.LIB", 1, -1},
        {"C:\\Data\\libraries\\langlib\\English.lib\\", 1, -1},
        {"c:/data/libraries/user.lib/", 0, -1},
        {"C:/Data/libraries/shlib/personal shorthands.SLB", -1, 1},
        {"C:\\Data\\libraries\\langlib\\Beyond.lib", -1, -1},
        {"C:\\Data\\libraries\\langlib\\English", -1, -1},
        {"", -1, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FindWordLibIndex(c.path), c.word);
        EXPECT_EQ(FindShLibIndex(c.path), c.shorthand);
        CLibFile *expected = c.word >= 0 ? &g_WordLibs[c.word] : c.shorthand >= 0 ? &g_ShLibs[c.shorthand] : nullptr;
        EXPECT_EQ(FindOpenLibrary(c.path), expected);
    }
    // A word library and a shorthand library on one path: the word library is found.
    g_ShLibs[0].SetPath("C:\\Data\\libraries\\user.lib");
    EXPECT_EQ(FindOpenLibrary("c:/data/libraries/user.lib"), &g_WordLibs[0]);
}

TEST_F(LibrarySetFixture, MergeWordLibraries)
{
    MessageLog log;
    const std::string first = Lib("", "a.lib"), second = Lib("", "b.lib"), target = Lib("", "t.lib");
    WriteWords(first, {Word("apple", 1, 11), Word("cat", 5, 12), Word("dog", 4, 13), Word("zoo", 6, 14)});
    WriteWords(second, {Word("Cat", 7, 21), Word("cat", 2, 22), Word("eel", 3, 23)});

    EXPECT_EQ(MergeWordLibraries(first.c_str(), second.c_str(), target.c_str()), 0);
    // cat is in both: once, with the second library's count and time; Cat differs in case and stays.
    EXPECT_EQ(ReadWords(target), "apple:1@11 Cat:7@21 cat:2@22 dog:4@13 eel:3@23 zoo:6@14 ");
    EXPECT_EQ(WaitMessages(), (std::vector<std::string>{"Merge libraries...", ""}));
    EXPECT_TRUE(MessageLog::Messages().empty());
    // A freshly written library: its memo holds exactly the merged words.
    EXPECT_EQ(ReadFile(Lib("", "t.mem")).size(), std::string("applecatcatdogeelzoo").size() + 6 * 3);

    // Merging into one of the inputs replaces it; nothing is left beside the libraries.
    EXPECT_EQ(MergeWordLibraries(first.c_str(), second.c_str(), first.c_str()), 0);
    EXPECT_EQ(ReadWords(first), "apple:1@11 Cat:7@21 cat:2@22 dog:4@13 eel:3@23 zoo:6@14 ");
    EXPECT_EQ(ListLibrariesFolder(), "a.lib a.mem b.lib b.mem t.lib t.mem");
}

TEST_F(LibrarySetFixture, MergeShorthandLibraries)
{
    MessageLog log;
    const std::string first = Lib("", "a.slb"), second = Lib("", "b.slb"), target = Lib("", "t.slb");
    WriteShorthands(first, {Shorthand("brb", "be right back", 1), Shorthand("sig", "Best regards", 5),
                            Shorthand("sig", "Yours", 4)});
    WriteShorthands(second, {Shorthand("sig", "Best regards", 2), Shorthand("sig", "Cheers", 1),
                             Shorthand("ty", "thank you", 3)});

    EXPECT_EQ(MergeShLibraries(first.c_str(), second.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadShorthands(target),
              "brb=be right back:1 sig=Best regards:2 sig=Cheers:1 sig=Yours:4 ty=thank you:3 ");
    EXPECT_TRUE(MessageLog::Messages().empty());
}

TEST_F(LibrarySetFixture, MergeOfEmptyOrMissingLibraries)
{
    MessageLog log;
    const std::string first = Lib("", "empty.lib"), second = Lib("", "missing.lib"), target = Lib("", "t.lib");
    WriteWords(first, {});
    EXPECT_EQ(MergeWordLibraries(first.c_str(), second.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadFile(target), Header(120, "wordlib ver130"));
    EXPECT_EQ(ReadFile(Lib("", "t.mem")), "");
    EXPECT_EQ(ReadFile(second), Header(120, "wordlib ver130"));  // a missing input is created empty

    // The rest of the longer input follows once the other is exhausted.
    WriteWords(second, {Word("b", 1), Word("c", 1), Word("d", 1)});
    EXPECT_EQ(MergeWordLibraries(first.c_str(), second.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadWords(target), "b:1@0 c:1@0 d:1@0 ");
    EXPECT_EQ(MergeWordLibraries(second.c_str(), first.c_str(), target.c_str()), 0);
    EXPECT_EQ(ReadWords(target), "b:1@0 c:1@0 d:1@0 ");

    const std::string shTarget = Lib("", "t.slb");
    EXPECT_EQ(MergeShLibraries(Lib("", "x.slb").c_str(), Lib("", "y.slb").c_str(), shTarget.c_str()), 0);
    EXPECT_EQ(ReadFile(shTarget), Header(160, "shlib ver130"));
    EXPECT_TRUE(MessageLog::Messages().empty());
}

TEST_F(LibrarySetFixture, FailedMergeLeavesTheTargetAlone)
{
    const std::string good = Lib("", "good.lib"), target = Lib("", "t.lib");
    const std::string nowhere = Lib("no such folder", "x.lib");
    const std::string damaged = Lib("", "damaged.lib");
    WriteWords(good, {Word("kept", 1)});
    // Its second record names a text past the end of its memo file.
    WriteWords(damaged, {Word("a", 1), Word("b", 1)});
    WriteFile(Lib("", "damaged.mem"), ReadFile(Lib("", "damaged.mem")).substr(0, 4));
    const std::string damagedBytes = ReadFile(damaged);
    WriteWords(target, {Word("old", 9)});
    const std::string before = ReadFile(target);

    struct Case {
        std::string first, second, target, message;
    } const cases[] = {
        {nowhere, good, target, "Can't open " + nowhere},
        {good, nowhere, target, "Can't open " + nowhere},
        {good, good, nowhere, "Can't open " + nowhere},
        {good, damaged, target, "Can't open " + damaged},
        {damaged, good, target, "Can't open " + damaged},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        MessageLog log;
        WaitMessages().clear();
        EXPECT_EQ(MergeWordLibraries(c.first.c_str(), c.second.c_str(), c.target.c_str()), -1);
        ASSERT_FALSE(MessageLog::Messages().empty());
        EXPECT_EQ(MessageLog::Messages().back(), c.message);
        EXPECT_TRUE(WaitMessages().empty() || WaitMessages().back().empty());  // no wait message left showing
        EXPECT_EQ(ReadFile(target), before);
    }
    EXPECT_EQ(ReadFile(damaged), damagedBytes);
    EXPECT_EQ(ListLibrariesFolder(), "damaged.lib damaged.mem good.lib good.mem t.lib t.mem");
}

TEST_F(LibrarySetFixture, ReopeningAfterACloseResumesThePausedThread)
{
    StartRetrieveThread({nullptr, nullptr}, 0);
    EXPECT_EQ(CloseAllLibraries(TRUE), 0);
    EXPECT_EQ(g_nPauseCount, 1);
    EXPECT_EQ(OpenAllLibraries(TRUE), 0);
    EXPECT_EQ(g_nPauseCount, 0);
    // Start-up and shut-down leave the thread alone.
    EXPECT_EQ(OpenAllLibraries(FALSE), 0);
    EXPECT_EQ(CloseAllLibraries(FALSE), 0);
    EXPECT_EQ(g_nPauseCount, 0);
    StopRetrieveThread();
}
