#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "MainWindowLookup.h"
#include "PathText.h"
#include "SharedSection.h"
#include "TempDir.h"

namespace {
// Points the shared program folder at a folder for one test.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string &folder) { SetSharedString(AppPath, AddTrailingSeparator(folder.c_str())); }
    ~ProgramFolder()
    {
        SetSharedString(AppPath, "");
        InitHookProductName();
    }
};
}  // namespace

TEST(MainWindowLookup, ProductNameComesFromMprodIni)
{
    TempDir dir;
    ProgramFolder folder(dir.Path());
    EXPECT_EQ(ReadProductName(), "Lexanto");  // no file

    dir.Write("mprod.ini", "[General]\r\nProductName=Typewise\r\n");
    EXPECT_EQ(ReadProductName(), "Typewise");

    dir.Write("mprod.ini", "[General]\r\nOther=1\r\n");
    EXPECT_EQ(ReadProductName(), "Lexanto");  // no key

    dir.Write("mprod.ini", "[General]\r\nProductName=" + std::string(300, 'n') + "\r\n");
    EXPECT_EQ(ReadProductName(), std::string(127, 'n').c_str());  // a 128-character buffer
}

TEST(MainWindowLookup, FindsTheDialogTitledAfterTheProduct)
{
    HWND main = CreateWindowExA(0, "#32770", "Lexanto Main Window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    TempDir dir;
    ProgramFolder folder(dir.Path());

    InitHookProductName();
    EXPECT_EQ(GetHookProductName(), "Lexanto");
    EXPECT_EQ(FindMainWindow(), main);

    // The program ended and started again: its new window is found.
    DestroyWindow(main);
    EXPECT_EQ(FindMainWindow(), nullptr);
    main = CreateWindowExA(0, "#32770", "Lexanto Main Window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(FindMainWindow(), main);

    // Another product name in mprod.ini leaves the hook without a main window.
    dir.Write("mprod.ini", "[General]\r\nProductName=Other\r\n");
    InitHookProductName();
    EXPECT_EQ(FindMainWindow(), nullptr);
    DestroyWindow(main);
}
