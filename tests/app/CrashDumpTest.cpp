// The crash-dump filter: when it is installed, and what it writes and says.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "CrashDump.h"
#include "Files.h"
#include "Folders.h"
#include "MessageBoxCatcher.h"
#include "Settings.h"

namespace {
// A product name of its own, so the test's data folder is its own.
class CrashDumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_product = g_strProductName;
        g_strProductName.Format("LexantoCrash%lu", GetCurrentProcessId());
        CreateFolderPath(GetAppDataFolder());
    }
    void TearDown() override
    {
        SetUnhandledExceptionFilter(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(GetAppDataFolder().GetString(), ignored);
        g_strProductName = m_product;
    }
    static OSVERSIONINFOEXA Version(DWORD major, DWORD minor)
    {
        OSVERSIONINFOEXA v;
        ZeroMemory(&v, sizeof v);
        v.dwOSVersionInfoSize = sizeof v;
        v.dwMajorVersion = major;
        v.dwMinorVersion = minor;
        return v;
    }
    CString m_product;
};
}

TEST_F(CrashDumpTest, InstalledByDefaultFromXpOnUnlessTheSettingSaysNo)
{
    EXPECT_TRUE(InstallCrashDumpFilter(Version(5, 1)));
    EXPECT_EQ(&WriteCrashDump, SetUnhandledExceptionFilter(nullptr));
    EXPECT_TRUE(InstallCrashDumpFilter(Version(10, 0)));
    EXPECT_FALSE(InstallCrashDumpFilter(Version(5, 0)));  // Windows 2000

    std::ofstream(GetSettingsFilePath().GetString()) << "[Settings]\r\nGenerateDump=0\r\n";
    SetUnhandledExceptionFilter(nullptr);
    EXPECT_FALSE(InstallCrashDumpFilter(Version(10, 0)));
    EXPECT_EQ(nullptr, SetUnhandledExceptionFilter(nullptr));
}

TEST_F(CrashDumpTest, WritesTheDumpIntoTheDataFolderAndSaysWhere)
{
    CONTEXT context;
    ZeroMemory(&context, sizeof context);
    RtlCaptureContext(&context);
    EXCEPTION_RECORD record;
    ZeroMemory(&record, sizeof record);
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    EXCEPTION_POINTERS pointers = {&record, &context};

    MessageBoxCatcher boxes;
    ASSERT_TRUE(boxes.Installed());
    SetUnhandledExceptionFilter(&WriteCrashDump);
    EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, WriteCrashDump(&pointers));

    const CString path = GetAppDataFolder() + g_strProductName + ".dmp";
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ((g_strProductName +
               " is about to crash due to an exception.\nA dump file will be generated in the application data folder.")
                  .Str(),
              boxes.Boxes()[0].text);
    EXPECT_EQ("Dump file was successfully saved to \n'" + path.Str() + "'", boxes.Boxes()[1].text);
    // A minidump starts with its signature.
    std::ifstream dump(path.GetString(), std::ios::binary);
    char signature[4] = {0};
    dump.read(signature, 4);
    EXPECT_EQ(std::string("MDMP"), std::string(signature, 4));
    // The filter removes itself: a second fault goes to the system.
    EXPECT_EQ(nullptr, SetUnhandledExceptionFilter(nullptr));
}
