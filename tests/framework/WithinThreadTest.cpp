#include "WithinThread.h"

#include <gtest/gtest.h>

#include <string>

namespace {
WNDPROC g_editProc;
int g_seen;

// An application's subclass of its edit control that sees every message.
LRESULT CALLBACK CountingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++g_seen;
    return CallWindowProcA(g_editProc, window, msg, wParam, lParam);
}
}  // namespace

// Both answer as SendMessage would; only the query about the control's state
// goes around the application's subclass.
TEST(WithinThread, SendsToTheWindowAndQueriesTheControl)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"hello world", WS_POPUP | ES_MULTILINE, 0, 0, 200, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    SendMessageA(edit, EM_SETSEL, 2, 7);

    g_seen = 0;
    DWORD start = 0, end = 0;
    SendWithinThread(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(g_seen, 1);
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 7u);

    g_seen = 0;
    start = end = 0;
    QueryControlWithinThread(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(g_seen, 0);
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 7u);

    // The line, converted for an ANSI caller as SendMessageA converts it.
    char line[16] = {};
    *reinterpret_cast<WORD *>(line) = sizeof line - 1;
    EXPECT_EQ(QueryControlWithinThread(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 11);
    EXPECT_EQ(std::string(line, 11), "hello world");
    EXPECT_EQ(g_seen, 0);
    DestroyWindow(edit);
}

TEST(WithinThread, StoredTitleIsCutToTheBuffer)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"Untitled - Notepad", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    char title[9];
    EXPECT_EQ(ReadStoredTitle(window, title, sizeof title), 8);
    EXPECT_STREQ(title, "Untitled");
    char whole[64];
    ReadStoredTitle(window, whole, sizeof whole);
    EXPECT_STREQ(whole, "Untitled - Notepad");
    EXPECT_EQ(ReadStoredTitle(nullptr, whole, sizeof whole), 0);
    EXPECT_STREQ(whole, "");
    DestroyWindow(window);
}
