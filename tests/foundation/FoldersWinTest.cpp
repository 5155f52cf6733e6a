#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "Files.h"
#include "Folders.h"
#include "MessageBoxCatcher.h"
#include "PathText.h"
#include "SettingValues.h"
#include "TempDir.h"

TEST(FoldersWin, ProgramFolderIsTheTestProgramsOwnFolder)
{
    const CString module = GetModulePath();
    ASSERT_FALSE(module.IsEmpty());
    EXPECT_TRUE(FileExists(module));
    EXPECT_EQ(GetInstanceFilePath(), module);  // this code is linked into the program
    // The project's build folders are named so that the output folder is used as it is.
    EXPECT_EQ(GetProgramFolder(), AddTrailingSeparator(GetParentFolder(module)));
    EXPECT_EQ(GetFileName(GetProgramFolder()), "bin");

    const CString system = GetProgramFolder("kernel32.dll");
    EXPECT_TRUE(FolderExists(system)) << system.GetString();
    EXPECT_TRUE(FileExists(system + "kernel32.dll"));
    EXPECT_EQ(GetProgramFolder("no-such-module.dll"), "");
}

TEST(FoldersWin, SpecialAndDataFolders)
{
    const CString appData = GetSpecialFolderPath(CSIDL_APPDATA);
    ASSERT_FALSE(appData.IsEmpty());
    EXPECT_TRUE(FolderExists(appData));
    EXPECT_FALSE(EndsWithSeparator(appData));
    EXPECT_EQ(GetSpecialFolderPath(0x7ff0), "");

    EXPECT_EQ(GetAppDataFolder(), appData + "\\Lexanto\\");
    const CString saved = g_strProductName;
    g_strProductName = "Other";
    EXPECT_EQ(GetAppDataFolder(), appData + "\\Other\\");
    g_strProductName = saved;

    const CString favorites = GetFavoritesFolder();
    EXPECT_FALSE(favorites.IsEmpty());
    EXPECT_FALSE(EndsWithSeparator(favorites));
}

TEST(FoldersWin, TempFolderIsCreatedWhenMissing)
{
    TempDir dir;
    const std::string missing = dir.Path("made\\here");
    char saved[MAX_PATH] = {0};
    GetEnvironmentVariableA("TMP", saved, MAX_PATH);
    ASSERT_TRUE(CreateFolderPath(dir.Path("made").c_str()));
    SetEnvironmentVariableA("TMP", missing.c_str());
    const CString temp = GetTempFolder();
    SetEnvironmentVariableA("TMP", saved[0] ? saved : nullptr);

    EXPECT_TRUE(IsSamePath(temp, missing.c_str())) << temp.GetString();
    EXPECT_TRUE(EndsWithSeparator(temp));
    EXPECT_TRUE(FolderExists(temp));
}

TEST(FoldersWin, ReportCantOpenNamesThePath)
{
    MessageBoxCatcher catcher;
    ASSERT_TRUE(catcher.Installed());
    ReportCantOpen("C:\\data\\user.lib");
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Can't open C:\\data\\user.lib!");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Lexanto");
}

TEST(FoldersWin, LibPathIsFullOrUnderTheProgramFolder)
{
    const CString saved = g_strLibPath;
    const struct {
        const char *setting;
        CString resolved;
    } cases[] = {
        {"D:\\libs\\", "D:\\libs\\"},
        {"\\\\server\\libs", "\\\\server\\libs"},
        {"libs\\en", GetProgramFolder() + "libs\\en"},
        {"", GetProgramFolder()},
    };
    for (const auto &c : cases) {
        g_strLibPath = c.setting;
        EXPECT_EQ(ResolveLibPath(), c.resolved) << c.setting;
    }
    g_strLibPath = saved;
}
