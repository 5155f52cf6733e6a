// A write-back killed at any point leaves the old library or the new one,
// never a mix: the next load sees exactly one of the two tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "LibFile.h"
#include "ProgramPath.h"
#include "TempDir.h"
#include "WordLists.h"

namespace {
void SetKillStep(long long step)
{
    const std::string value = step < 0 ? "" : std::to_string(step);
#ifdef _WIN32
    _putenv_s("LEXANTO_KILL_AFTER_IO_STEPS", value.c_str());
#else
    if (step < 0)
        unsetenv("LEXANTO_KILL_AFTER_IO_STEPS");
    else
        setenv("LEXANTO_KILL_AFTER_IO_STEPS", value.c_str(), 1);
#endif
}

int RunChild(const std::string &library, const std::string &words)
{
    const std::string command = "\"\"" + SiblingProgram("libwrite_child") + "\" \"" + library + "\" \"" + words + "\"\"";
#ifdef _WIN32
    return std::system(command.c_str());
#else
    const int status = std::system(command.substr(1, command.size() - 2).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::vector<std::string> LoadKeys(const std::string &path)
{
    CLibFile library(path.c_str());
    std::vector<std::string> keys;
    if (!library.ReadAllRecordsFromLib(FALSE))
        return keys;
    for (int i = 0; i < library.GetRecordCount(); ++i)
        keys.push_back(library.GetKeyAt(i).GetString());
    return keys;
}
}  // namespace

TEST(LibWriteKill, EveryKillPointLeavesTheOldOrTheNewLibrary)
{
    const std::vector<std::string> list = ReadWordList("american-english", 12000);
    ASSERT_GT(list.size(), 10000u) << "word list missing";
    TempDir dir;
    const std::string library = dir.Path("user.lib");

    // The old library: the first half of the list; the child adds the second
    // half (which sorts after it, so the child's inserts stay cheap).
    const size_t half = list.size() / 2;
    {
        CLibFile old(library.c_str());
        ASSERT_TRUE(old.ReadAllRecordsFromLib(TRUE));
        for (size_t i = 0; i < half; ++i) {
            WRecord_X record;
            record.word = list[i].c_str();
            old.AddWord(record);
        }
        ASSERT_TRUE(old.CloseLib());
    }
    const std::string oldRecords = TempDir::Read(library), oldMemo = TempDir::Read(dir.Path("user.mem"));
    const std::vector<std::string> oldKeys = LoadKeys(library);
    std::string added;
    for (size_t i = half; i < list.size(); ++i)
        added += list[i] + "\n";
    const std::string words = dir.Write("added.txt", added);

    // The new library, from a run that is not killed.
    SetKillStep(-1);
    ASSERT_EQ(RunChild(library, words), 0);
    const std::vector<std::string> newKeys = LoadKeys(library);
    ASSERT_EQ(newKeys.size(), list.size());
    ASSERT_NE(newKeys, oldKeys);

    int killed = 0;
    std::set<int> outcomes;
    for (long long step = 1;; ++step) {
        dir.Write("user.lib", oldRecords);
        dir.Write("user.mem", oldMemo);
        SetKillStep(step);
        const int code = RunChild(library, words);
        SetKillStep(-1);
        ASSERT_TRUE(code == 86 || code == 0) << "step " << step << " exit " << code;
        const std::vector<std::string> keys = LoadKeys(library);
        const bool isOld = keys == oldKeys, isNew = keys == newKeys;
        ASSERT_TRUE(isOld || isNew) << "a mix after a kill at step " << step << " (" << keys.size() << " words)";
        outcomes.insert(isNew ? 1 : 0);
        ASSERT_EQ(dir.List(), "added.txt user.lib user.mem") << "step " << step;
        if (code == 0)
            break;  // past the last step: the write-back ran to its end
        ++killed;
        ASSERT_LT(step, 10000);
    }
    EXPECT_GE(killed, 50);
    EXPECT_EQ(outcomes.size(), 2u);  // kills before and after the commit point
}
