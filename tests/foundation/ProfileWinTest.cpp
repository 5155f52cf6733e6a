// The registry route of the profile accessors, and INI files that another
// program holds open.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "IniTextFile.h"
#include "MessageLog.h"
#include "ProfileSettings.h"
#include "TempDir.h"

namespace {
TEST(ProfileWin, RegistryRoute)
{
    const CString company = "LexantoTest" + CString(std::to_string(GetCurrentProcessId()));
    SetAppProfile(company, "Lexanto");
    EXPECT_EQ(GetProfileIntEx("FirstRun", 1, "Settings"), 1);
    EXPECT_TRUE(WriteProfileIntEx("FirstRun", 0, "Settings"));
    EXPECT_TRUE(WriteProfileStringEx("Memo", "a\r\nb", true, "Settings"));
    EXPECT_EQ(GetProfileIntEx("FirstRun", 1, "Settings"), 0);
    EXPECT_EQ(GetProfileStringEx("Memo", "", true, "Settings"), "a\r\nb");
    EXPECT_EQ(GetSettingString("Memo", "", false, "Settings"), "a\\r\\nb");

    // Stored where the application's profile lives, with the usual types.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\" + company + "\\Lexanto\\Settings", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0, value = 7, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "FirstRun", nullptr, &type, reinterpret_cast<BYTE *>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);
    RegCloseKey(key);

    // A string value stored without its terminating 0 is cut at its size.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\" + company + "\\Lexanto\\Settings", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE *>("abcdef"), 3);
    RegCloseKey(key);
    EXPECT_EQ(GetProfileStringEx("Raw", "", false, "Settings"), "abc");

    // A key that can't be made (its name is too long): the system's error
    // text is shown.
    {
        MessageLog log;
        EXPECT_FALSE(WriteProfileIntEx("k", 1, CString('s', 300)));
        ASSERT_EQ(log.Messages().size(), 1u);
        EXPECT_FALSE(log.Messages()[0].empty());
    }
    SetAppProfile("", "");
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\" + company), ERROR_SUCCESS);
}

TEST(ProfileWin, FileHeldOpenByAnotherProgramIsNotRewritten)
{
    TempDir dir;
    const std::string path = dir.Write("s.ini", "[General]\r\nA=1\r\n");
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        CIniTextFile file;
        EXPECT_FALSE(file.Load(path.c_str()));
        EXPECT_TRUE(file.SetInt("A", 2));
        CloseHandle(held);  // readable again, but this object never read it
        EXPECT_FALSE(file.Save());
    }
    EXPECT_EQ(TempDir::Read(path), "[General]\r\nA=1\r\n");
}
}  // namespace
