#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "DebugLog.h"
#include "Folders.h"
#include "HelpLinks.h"
#include "MessageLog.h"
#include "PathText.h"
#include "ProfileSettings.h"
#include "RegistryServices.h"
#include "ShellServices.h"
#include "SystemServices.h"
#include "TempDir.h"
#include "TextHelpers.h"
#include "resource.h"

namespace {

// What "reg query" prints for the current user's Run key.
std::string QueryRunKey()
{
    std::string output;
    ChildProcess::Run("reg.exe query \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\"", &output);
    return output;
}

const char kTestKey[] = "Software\\LexantoServicesTest";

struct TestKey {
    TestKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }
    ~TestKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }
    // Stores exactly the given bytes as a value of the type.
    void Set(const char *name, DWORD type, const std::string &bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
};

}  // namespace

// Checked from outside with the system's own registry tool.
TEST(RunAtStartup, EnableWritesQuotedProgramPathDisableRemovesIt)
{
    MessageLog messages;
    const std::string name = GetRunValueName().Str();
    ASSERT_FALSE(name.empty());
    SetRunAtStartup(FALSE, FALSE);

    ASSERT_TRUE(SetRunAtStartup(TRUE, TRUE));
    const std::string enabled = QueryRunKey();
    const std::string line = name + "    REG_SZ    \"" + GetModulePath().Str() + "\"";
    EXPECT_NE(enabled.find(line), std::string::npos) << enabled;

    EXPECT_TRUE(SetRunAtStartup(FALSE, TRUE));
    const std::string disabled = QueryRunKey();
    EXPECT_EQ(disabled.find(name + "    REG_SZ"), std::string::npos) << disabled;
    EXPECT_FALSE(SetRunAtStartup(FALSE, TRUE));  // nothing left to delete: false, no message
    EXPECT_TRUE(MessageLog::Messages().empty());
}

TEST(RegistryValues, StringsAreCutAtTheirStoredSize)
{
    TestKey key;
    key.Set("plain", REG_SZ, std::string("abc", 4));
    key.Set("unterminated", REG_SZ, "xyz");
    key.Set("inner zero", REG_SZ, std::string("ab\0cd", 5));
    key.Set("empty", REG_SZ, "");
    key.Set("number", REG_DWORD, std::string("\x07\0\0\0", 4));
    key.Set(nullptr, REG_SZ, std::string("default", 8));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "plain", "-"), "abc");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "unterminated", "-"), "xyz");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "inner zero", "-"), "ab");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "empty", "-"), "");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, nullptr, "-"), "default");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "missing", "-"), "-");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kTestKey, "number", "-"), "-");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, "Software\\NoSuchKeyHere", "plain", "-"), "-");

    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kTestKey, "number", 9), 7u);
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kTestKey, "plain", 9), 9u);
    EXPECT_TRUE(WriteRegDword(HKEY_CURRENT_USER, CString(kTestKey) + "\\new", "n", 42));
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, CString(kTestKey) + "\\new", "n", 9), 42u);
}

TEST(RegistryValues, ClientProgramsAndInprocServers)
{
    MessageLog messages;
    EXPECT_FALSE(OpenClientProgram("NoSuchKind", "NoSuchName"));
    EXPECT_TRUE(MessageLog::Messages().empty());
    const char keyPath[] = "SOFTWARE\\Clients\\LexantoTest\\Empty\\Shell\\open\\command";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1);
    RegCloseKey(key);
    EXPECT_FALSE(OpenClientProgram("LexantoTest", "Empty"));
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], "LexantoTest client:Empty not found!");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\LexantoTest");

    EXPECT_EQ(GetInprocServerPath("No.Such.ProgId"), "");
}

namespace {
// Puts a CF_TEXT block of exactly these bytes on the clipboard.
bool PutRawClipboardText(const std::string &bytes)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    const bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return ok;
}
}  // namespace

// (Wine terminates every CF_TEXT block itself, so a block without a
// terminator cannot be made here.)
TEST(ClipboardText, CopiedTextComesBackAndForeignBlocksEndAtTheirTerminator)
{
    CString text = "stale";
    ASSERT_TRUE(CopyTextToClipboard("first line\r\nsecond"));
    ASSERT_TRUE(GetClipboardText(text));
    EXPECT_EQ(text, "first line\r\nsecond");

    ASSERT_TRUE(PutRawClipboardText(std::string("cut\0here", 8)));
    ASSERT_TRUE(GetClipboardText(text));
    EXPECT_EQ(text, "cut");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(GetClipboardText(text));
    EXPECT_EQ(text, "");
}

TEST(ShutdownPrivilege, MissingPrivilegeIsAFailure)
{
    MessageLog messages;
    EXPECT_TRUE(EnableShutdownPrivilege());
    EXPECT_TRUE(MessageLog::Messages().empty());

    // A token stripped of its privileges: the adjustment "succeeds" but
    // assigns nothing.
    HANDLE process = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process));
    HANDLE restricted = nullptr;
    LUID_AND_ATTRIBUTES shutdown = {};
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown.Luid));
    ASSERT_TRUE(CreateRestrictedToken(process, 0, 0, nullptr, 1, &shutdown, 0, nullptr, &restricted));
    CloseHandle(process);
    EXPECT_FALSE(EnableTokenPrivilege(restricted, "SeShutdownPrivilege"));
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], "Can't adjust token privilege!");
    EXPECT_FALSE(EnableTokenPrivilege(restricted, "SeNoSuchPrivilege"));
    EXPECT_EQ(MessageLog::Messages().back(), "LookupPrivilegeValue failed");
    CloseHandle(restricted);
}

// A leaked token would take a handle slot per call: the next new handle
// would lie hundreds of slots further on.
TEST(ShutdownPrivilege, TokenIsClosedEveryTime)
{
    HANDLE before = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (int i = 0; i < 200; ++i)
        EnableShutdownPrivilege();
    HANDLE after = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const INT_PTR slots = (reinterpret_cast<INT_PTR>(after) - reinterpret_cast<INT_PTR>(before)) / 4;
    EXPECT_LT(slots, 50);
    CloseHandle(before);
    CloseHandle(after);
}

namespace {
std::atomic<int> g_pumped{0};
VOID CALLBACK CountTimer(HWND, UINT, UINT_PTR, DWORD) { ++g_pumped; }
}  // namespace

TEST(MsgWait, SleepWithoutHandlesKeepsDispatching)
{
    g_pumped = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CountTimer);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(MsgWaitForHandles(0, nullptr, FALSE, 500), static_cast<DWORD>(WAIT_TIMEOUT));
    const ULONGLONG elapsed = GetTickCount64() - start;
    KillTimer(nullptr, timer);
    EXPECT_GE(elapsed, 490u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_GE(g_pumped.load(), 3);
}

// The wait that took an auto-reset event reports it: the event is gone after
// it, so a second look would find nothing.
TEST(MsgWait, ConsumedAutoResetEventIsReported)
{
    HANDLE events[2] = {CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    for (int round = 0; round < 20; ++round) {
        // A message waiting as well makes the wait look again after it woke.
        PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
        SetEvent(events[1]);
        EXPECT_EQ(MsgWaitForHandles(2, events, FALSE, 2000), WAIT_OBJECT_0 + 1) << round;
        EXPECT_EQ(WaitForSingleObject(events[1], 0), static_cast<DWORD>(WAIT_TIMEOUT));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    std::thread later([&] {
        Sleep(100);
        SetEvent(events[0]);
    });
    EXPECT_EQ(WaitForObjectPumping(events[0], 5000), WAIT_OBJECT_0);
    later.join();
    EXPECT_EQ(WaitForObjectPumping(events[0], 100), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

// A WM_QUIT met while waiting is left for the caller's loop, and the wait
// still lasts until its handle is signalled.
TEST(MsgWait, QuitIsPostedAgainAndTheWaitGoesOn)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_pumped = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &CountTimer);
    std::thread later([&] {
        Sleep(300);
        SetEvent(event);
    });
    PostQuitMessage(5);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(WaitForObjectPumping(event, 5000), WAIT_OBJECT_0);
    EXPECT_GE(GetTickCount64() - start, 250u);
    later.join();
    KillTimer(nullptr, timer);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(msg.wParam, 5u);
        }
    EXPECT_TRUE(quit);
    CloseHandle(event);
}

TEST(ShellOpen, RunsCommandLinesAndWaitsForTheirExit)
{
    int code = 0;
    ASSERT_TRUE(ShellOpen("  cmd.exe /c exit 7  ", "", FALSE, &code, SW_HIDE, INFINITE));
    EXPECT_EQ(code, 7);
    EXPECT_FALSE(ShellOpen("no-such-program-here.exe", "", FALSE, &code, SW_HIDE, 5000));
}

// An existing file is run as one target even when its name reads like an
// address or holds spaces; a process that outlives the time-out is reported
// as still running.
TEST(ShellOpen, ExistingFilesAreOneTarget)
{
    TempDir dir;
    const std::string marker = dir.Path("ran.txt");
    for (const std::string name : {"report@v1.2.bat", "my dir\\run me.bat"}) {
        std::filesystem::remove(marker);
        const std::string script = dir.Write(name, "@echo ran> \"" + marker + "\"\r\n@exit /b 3\r\n");
        int code = 0;
        ASSERT_TRUE(ShellOpen(script.c_str(), "", FALSE, &code, SW_HIDE, 30000)) << name;
        EXPECT_EQ(code, 3) << name;
        EXPECT_TRUE(std::filesystem::exists(marker)) << name;
    }
    // The waiter ends once released and says so; the test waits for that,
    // since a script still running would hold the test's output open.
    const std::string release = dir.Path("release.txt");
    const std::string gone = dir.Path("gone.txt");
    const std::string waiter =
        dir.Write("wait.bat", "@set n=0\r\n:loop\r\n@set /a n+=1\r\n@if exist \"" + release + "\" goto done\r\n" +
                                  "@if %n% lss 200000 goto loop\r\n:done\r\n@echo x> \"" + gone + "\"\r\n");
    int code = 0;
    ASSERT_TRUE(ShellOpen(waiter.c_str(), "", FALSE, &code, SW_HIDE, 300));
    EXPECT_EQ(code, SHELLOPEN_STILL_RUNNING);
    dir.Write("release.txt", "x");
    for (int i = 0; i < 600 && !std::filesystem::exists(gone); ++i)
        Sleep(100);
    EXPECT_TRUE(std::filesystem::exists(gone));
    Sleep(200);  // the script's last line has run; let its process end
}

TEST(ShellOpen, ConsoleNeedsAFolder)
{
    MessageLog messages;
    TempDir dir;
    EXPECT_FALSE(OpenConsoleInFolder(dir.Path("missing").c_str()));
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], "The selected alias doesn't map to a directory!");
}

TEST(DebugLogWin, WritesOnlyWhenEnabledAndNotSuppressed)
{
    MessageLog messages;
    TempDir dir;
    const std::string log = dir.Path("x.log");
    g_bUseIniText = TRUE;
    g_strIniText.Empty();
    WriteSettingInt("EnableDebugLog", 1, "Settings");
    WriteDebugLog("suppressed", DEBUGLOG_SUPPRESS | DEBUGLOG_SHOW, log.c_str());
    EXPECT_FALSE(std::filesystem::exists(log));
    WriteDebugLog("one", 0, log.c_str());
    WriteDebugLog("two", DEBUGLOG_SHOW, log.c_str());
    EXPECT_EQ(TempDir::Read(log), "one\r\ntwo\r\n");
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], "two");
    WriteSettingInt("EnableDebugLog", 0, "Settings");
    WriteDebugLog("off", DEBUGLOG_SHOW, log.c_str());
    EXPECT_EQ(TempDir::Read(log), "one\r\ntwo\r\n");
    EXPECT_EQ(MessageLog::Messages().size(), 1u);
    g_bUseIniText = FALSE;
    g_strIniText.Empty();

    const CString path = GetDebugLogPath();
    const CString name = GetFileName(GetModulePath(), true);
    EXPECT_EQ(path.Right(name.GetLength() * 2 + 5), name + "\\" + name + ".log");
}

// The program's newsletter form, read whole from the resources, takes the
// address and the contact into its fields.
TEST(SubscriptionPage, ResourceFormTakesTheAddress)
{
    const CString page = LoadResourceString(IDS_SUBSCRIPTION_PAGE);
    EXPECT_TRUE(StartsWith(page, "<html>", true));
    EXPECT_EQ(page.Right(8), "</html>\n");
    const CString built = BuildSubscriptionPage(page, "joe@example.com");
    EXPECT_GE(built.Find("name=\"email\" value=\"joe@example.com\""), 0) << built.GetString();
    EXPECT_GE(built.Find("name=\"contact\" value=\"corvalen\""), 0) << built.GetString();
    EXPECT_LT(built.Find("UserEmail"), 0);
    EXPECT_EQ(LoadResourceString(IDS_SUBSCRIPTION_PAGE + 1), "");
}

TEST(OSVersion, RecordAndNames)
{
    COSVersion version;
    EXPECT_EQ(version.m_info.dwOSVersionInfoSize, sizeof(OSVERSIONINFOEXA));
    EXPECT_TRUE(IsNTPlatform());
    const CString text = version.GetVersionText();
    EXPECT_EQ(text, FormatStr("%lu.%lu", version.m_info.dwMajorVersion, version.m_info.dwMinorVersion));
    EXPECT_TRUE(StartsWith(version.GetProductName(), "Windows ", true));
    EXPECT_TRUE(version.IsWin2KOrLater());
    EXPECT_FALSE(SetEditAutoComplete(nullptr, 0));
}
