#include "InputHelpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "TestWindow.h"
#include <dlgs.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Folders.h"
#include "MessageBoxCatcher.h"
#include "PathText.h"
#include "SettingValues.h"
#include "TempDir.h"
#include "UserMessage.h"

namespace {
const char kClassName[] = "LexantoInputHelpersTest";
const UINT kProbeMessage = WM_APP + 40;
std::atomic<bool> g_probeHandled{false};

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbeMessage) {
        g_probeHandled = true;
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A hidden window of this test's class (which answers the probe message).
class InputWindow : public TestWindow {
public:
    InputWindow(DWORD style, HWND parent, const char *className = kClassName)
        : TestWindow(style, 0, 10, 10, 200, 150, Registered(className), parent)
    {
    }

private:
    static const char *Registered(const char *className)
    {
        RegisterTestClass(kClassName, TestWindowProc);
        return className;
    }
};

// A key held down in the system's input state for the object's lifetime.
class HeldKey {
public:
    explicit HeldKey(WORD vk) : m_vk(vk)
    {
        // Wine now and then drops a press that races with its resynchronisation
        // with the X server's key map after a focus change: press again until
        // the key shows as down (up to 2 s).
        m_down = Send(0);
        for (int i = 1; m_down && i <= 200 && !(GetAsyncKeyState(vk) & 0x8000); ++i) {
            Sleep(10);
            if (i % 10 == 0)
                Send(0);
        }
    }
    ~HeldKey() { Release(); }
    HeldKey(const HeldKey &) = delete;
    HeldKey &operator=(const HeldKey &) = delete;
    bool IsDown() const { return m_down && (GetAsyncKeyState(m_vk) & 0x8000); }
    void Release()
    {
        if (m_down.exchange(false))
            Send(KEYEVENTF_KEYUP);
    }

private:
    bool Send(DWORD flags)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = m_vk;
        input.ki.dwFlags = flags;
        // The right-hand modifiers and the Windows keys are extended keys.
        for (WORD extended : {VK_RCONTROL, VK_RMENU, VK_LWIN, VK_RWIN})
            if (m_vk == extended)
                input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        return SendInput(1, &input, sizeof input) == 1;
    }
    WORD m_vk;
    std::atomic<bool> m_down{false};
};

// Runs work on another thread. Join() handles this thread's messages until
// the work is done, so work that sends to our windows always finishes.
class Helper {
public:
    explicit Helper(std::function<void()> work)
        : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_thread([this, work] {
              work();
              SetEvent(m_done);
          })
    {
    }
    ~Helper()
    {
        Join();
        CloseHandle(m_done);
    }
    Helper(const Helper &) = delete;
    Helper &operator=(const Helper &) = delete;
    void Join()
    {
        if (!m_thread.joinable())
            return;
        while (MsgWaitForMultipleObjects(1, &m_done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        m_thread.join();
    }

private:
    HANDLE m_done;
    std::thread m_thread;
};

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }

bool PutTextOnClipboard(const char *text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    const size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    const bool ok = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return ok;
}
}  // namespace

// ---------------------------------------------------------------------------
// Window chain

TEST(InputHelpersWindows, RootAndTopLevelWindowsOfControls)
{
    InputWindow frame(WS_OVERLAPPEDWINDOW, nullptr);
    InputWindow panel(WS_CHILD, frame.Get());
    InputWindow edit(WS_CHILD, panel.Get(), "Edit");
    // A dialog owned by the frame, with its own edit control.
    InputWindow dialog(WS_POPUP | WS_CAPTION, frame.Get(), "#32770");
    InputWindow dialogEdit(WS_CHILD, dialog.Get(), "Edit");
    ASSERT_TRUE(frame.Get() && panel.Get() && edit.Get() && dialog.Get() && dialogEdit.Get());

    EXPECT_EQ(GetRootWindow(frame.Get()), frame.Get());
    EXPECT_EQ(GetTopLevelWindow(frame.Get()), frame.Get());

    EXPECT_EQ(GetTopLevelWindow(edit.Get()), frame.Get());  // through the child panel
    EXPECT_EQ(GetTopLevelWindow(panel.Get()), frame.Get());
    EXPECT_EQ(GetRootWindow(edit.Get()), frame.Get());

    EXPECT_EQ(GetTopLevelWindow(dialogEdit.Get()), dialog.Get());
    EXPECT_EQ(GetRootWindow(dialogEdit.Get()), frame.Get());  // GetParent goes on to the owner
}

// ---------------------------------------------------------------------------
// Keys

TEST(InputHelpersKeys, EachModifierCountsAndOtherKeysDoNot)
{
    ASSERT_FALSE(IsModifierKeyDown()) << "a modifier is down before the test";
    // (An injected right Shift does not show as VK_RSHIFT under Wine: left out.)
    for (WORD vk : {VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN}) {
        SCOPED_TRACE(vk);
        HeldKey key(vk);
        ASSERT_TRUE(key.IsDown());
        EXPECT_TRUE(IsModifierKeyDown());
    }
    EXPECT_FALSE(IsModifierKeyDown());
    HeldKey other(VK_F13);
    ASSERT_TRUE(other.IsDown());
    EXPECT_FALSE(IsModifierKeyDown());
}

TEST(InputHelpersKeys, WaitKeysReleasedHandlesMessagesUntilTheKeyIsUp)
{
    InputWindow window(WS_POPUP, nullptr);
    ASSERT_TRUE(window.Get());
    // An unassigned virtual key: no keyboard key produces it, so nothing but
    // this test changes its state.
    const WORD vk = 0x88;
    HeldKey key(vk);
    ASSERT_TRUE(key.IsDown());
    g_probeHandled = false;

    // Another thread sends to our window (as a hook in another program
    // would) and lets the key go only once its message was handled.
    Helper other([&] {
        SendMessageA(window.Get(), kProbeMessage, 0, 0);
        key.Release();
    });
    WaitKeysReleased(vk);
    const bool handledInWait = g_probeHandled;
    other.Join();

    EXPECT_TRUE(handledInWait);
    EXPECT_FALSE(GetAsyncKeyState(vk) & 0x8000);
}

TEST(InputHelpersKeys, WaitEndsAtWmQuitAndPostsItAgain)
{
    // The key test answers "held" up to 50 times, so a wait that ignored the
    // quit would still end, with many checks.
    auto heldFor50 = [](void *checks) -> BOOL { return ++*static_cast<int *>(checks) <= 50; };
    int checks = 0;
    PostQuitMessage(7);
    EXPECT_FALSE(WaitWhileKeysHeld(heldFor50, &checks));
    EXPECT_EQ(checks, 1);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);

    checks = 50;  // not held any more
    EXPECT_TRUE(WaitWhileKeysHeld(heldFor50, &checks));
    EXPECT_EQ(checks, 51);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

// ---------------------------------------------------------------------------
// Clipboard

TEST(InputHelpersClipboard, EmptiesTheClipboardUnlessAnotherHoldsIt)
{
    ASSERT_TRUE(PutTextOnClipboard("copied"));
    ASSERT_TRUE(ClipboardHasText());

    // Held open by another window: nothing happens.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> heldOpen{false};
    Helper holder([&] {
        HWND owner = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        heldOpen = owner && OpenClipboard(owner);
        SetEvent(opened);
        WaitForSingleObject(release, INFINITE);
        if (heldOpen)
            CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, INFINITE);
    ASSERT_TRUE(heldOpen);
    EXPECT_FALSE(ClearClipboard());
    SetEvent(release);
    holder.Join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_TRUE(ClipboardHasText());

    EXPECT_TRUE(ClearClipboard());
    EXPECT_FALSE(ClipboardHasText());
}

// ---------------------------------------------------------------------------
// File dialog

namespace {
BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found)
{
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND *>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FileDialogOf(DWORD thread)
{
    HWND found = nullptr;
    EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the file dialog that the calling thread opens next: types the name
// and presses OK, or presses Cancel for an empty name. Records the names in
// the dialog's file-type list.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(const std::string &name)
        : m_thread(GetCurrentThreadId()), m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          m_helper([this, name] { Answer(name); })
    {
    }
    ~FileDialogAnswer()
    {
        SetEvent(m_stop);
        m_helper.Join();
        CloseHandle(m_stop);
    }
    FileDialogAnswer(const FileDialogAnswer &) = delete;
    FileDialogAnswer &operator=(const FileDialogAnswer &) = delete;

    // Call after the dialog returned.
    std::vector<std::string> Filters()
    {
        SetEvent(m_stop);
        m_helper.Join();
        return m_filters;
    }

private:
    void Answer(const std::string &name)
    {
        HWND dialog = nullptr;
        while (!dialog) {
            if (WaitForSingleObject(m_stop, 50) == WAIT_OBJECT_0)
                return;
            dialog = FileDialogOf(m_thread);
        }
        if (HWND types = GetDlgItem(dialog, cmb1)) {
            const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                char text[256] = "";
                SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                m_filters.push_back(text);
            }
        }
        int button = IDCANCEL;
        if (!name.empty()) {
            HWND edit = GetDlgItem(dialog, cmb13);
            if (!edit)
                edit = GetDlgItem(dialog, edt1);
            SetWindowTextA(edit, name.c_str());
            button = IDOK;
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
        // Should the dialog stay (a name it refuses), cancel it after a while
        // so the test fails instead of hanging.
        if (WaitForSingleObject(m_stop, 30000) == WAIT_TIMEOUT)
            while (WaitForSingleObject(m_stop, 500) == WAIT_TIMEOUT)
                if (HWND left = FileDialogOf(m_thread))
                    PostMessageA(left, WM_COMMAND, IDCANCEL, 0);
    }

    DWORD m_thread;
    HANDLE m_stop;
    std::vector<std::string> m_filters;
    Helper m_helper;
};
}  // namespace

TEST(InputHelpersBrowse, OpenDialogStartsInTheFolderAndUsesTheFilter)
{
    TempDir dir;
    const std::string notes = dir.Write("notes.txt", "x");
    FileDialogAnswer answer("notes.txt");
    const CString chosen =
        BrowseForFile(TRUE, "Text files(*.txt)|*.txt|All files(*.*)|*.*||", "", dir.Path().c_str());
    EXPECT_TRUE(IsSamePath(chosen, notes.c_str())) << chosen.GetString();
    EXPECT_EQ(answer.Filters(), (std::vector<std::string>{"Text files(*.txt)", "All files(*.*)"}));
}

TEST(InputHelpersBrowse, SaveDialogAddsTheDefaultExtension)
{
    TempDir dir;
    FileDialogAnswer answer("fresh");
    const CString chosen = BrowseForFile(FALSE, "Word Libraries (*.lib)|*.lib||", "lib", dir.Path().c_str());
    EXPECT_TRUE(IsSamePath(chosen, dir.Path("fresh.lib").c_str())) << chosen.GetString();
    EXPECT_EQ(answer.Filters(), std::vector<std::string>{"Word Libraries (*.lib)"});
}

TEST(InputHelpersBrowse, CancelGivesTheEmptyString)
{
    TempDir dir;
    dir.Write("notes.txt", "x");
    FileDialogAnswer answer("");
    EXPECT_EQ(BrowseForFile(TRUE, "All files(*.*)|*.*||", "", dir.Path().c_str()), "");
}

// ---------------------------------------------------------------------------
// DebugMessage

TEST(InputHelpersDebug, MessageOnlyWhileTheSettingIsOn)
{
    const int saved = g_bDebugMsg;
    MessageBoxCatcher catcher;
    ASSERT_TRUE(catcher.Installed());

    g_bDebugMsg = 0;
    DebugMessage("Error fseek");
    EXPECT_TRUE(catcher.Boxes().empty());

    g_bDebugMsg = 1;
    DebugMessage("Error SeekRecord!");
    g_bDebugMsg = saved;
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Error SeekRecord!");
    EXPECT_EQ(catcher.Boxes()[0].caption, g_strProductName.GetString());
}
