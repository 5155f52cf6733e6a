#include <gtest/gtest.h>

#include <string>

#include "HookTextWin.h"
#include "SharedSection.h"

namespace {

// Edit controls in a top-level window of the test process; the hook reads
// them with the same messages it sends inside a foreign process.
class HookTextWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_parent = CreateWindowExA(0, "STATIC", "Hook text parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        CaretPos.x = CaretPos.y = 10;
        SetSharedString(CharBuf, "typed");
        SetSharedString(WordBuffer, "");
        SetSharedString(g_szForceEnable, "");
        SetSharedString(ProcessIncluded, "");
        SetSharedString(g_szAppListForceCharBuf, "");
        s_bIncludeAllExcept = 0;
    }
    void TearDown() override
    {
        hFocusEdit = nullptr;
        if (m_parent)
            DestroyWindow(m_parent);
    }
    HWND MakeEdit(DWORD style, const char *text, const char *cls = "EDIT")
    {
        HWND edit = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200, m_parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(edit, nullptr);
        hFocusEdit = edit;
        return edit;
    }
    static CString TextAt(HWND edit, int start, int end)
    {
        SendMessageA(edit, EM_SETSEL, start, end);
        return GetTextBeforeCaret(edit);
    }

    HWND m_parent = nullptr;
};

}  // namespace

TEST_F(HookTextWin, TextBeforeCaretComesFromTheCaretLine)
{
    HWND edit = MakeEdit(ES_MULTILINE | ES_AUTOHSCROLL, "first line\r\nsecond words");
    const struct {
        int start, end;
        const char *expected;
    } cases[] = {
        {10, 10, "first line"}, {5, 5, "first"}, {0, 0, ""}, {2, 6, ""}, {24, 24, "second words"}, {18, 18, "second"},
        {12, 12, ""},  // start of the second line
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::string(TextAt(edit, c.start, c.end)), c.expected) << c.start << "-" << c.end;

    HWND single = MakeEdit(ES_AUTOHSCROLL, "");
    std::string longLine;
    for (int i = 0; i < 300; ++i)
        longLine += static_cast<char>('a' + i % 26);
    SetWindowTextA(single, longLine.c_str());
    EXPECT_EQ(std::string(TextAt(single, 300, 300)), longLine.substr(300 - 258));
    EXPECT_EQ(std::string(TextAt(single, 100, 100)), longLine.substr(0, 100));

    RefreshWordBuffer();
    EXPECT_EQ(std::string(WordBuffer), longLine.substr(0, 100));
}

TEST_F(HookTextWin, UnreadableWindowsFallBackToCharBuf)
{
    HWND button = MakeEdit(0, "Press", "BUTTON");
    EXPECT_STREQ(GetTextBeforeCaret(button), "typed");

    HWND edit = MakeEdit(ES_AUTOHSCROLL, "some text");
    CaretPos.x = -1;
    EXPECT_STREQ(TextAt(edit, 4, 4), "typed");
    CaretPos.x = 10;
    EXPECT_STREQ(TextAt(edit, 4, 4), "some");

    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    SetSharedString(g_szAppListForceCharBuf, HookProgramName(module));
    EXPECT_STREQ(TextAt(edit, 4, 4), "typed");
}

namespace {
WNDPROC g_editProc = nullptr;
// An edit control class of its own that hands out only the first character
// of a line.
LRESULT CALLBACK ShortLineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EM_GETLINE) {
        char first[2] = {0};
        *reinterpret_cast<WORD *>(first) = 2;
        CallWindowProcA(g_editProc, window, EM_GETLINE, wParam, reinterpret_cast<LPARAM>(first));
        *reinterpret_cast<char *>(lParam) = first[0];
        return 1;
    }
    return CallWindowProcA(g_editProc, window, message, wParam, lParam);
}
}  // namespace

TEST_F(HookTextWin, ALineThatComesBackShortGivesTheTypedCharacters)
{
    WNDCLASSA cls = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), "ShortLineEdit", &cls)) {
        ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &cls));
        g_editProc = cls.lpfnWndProc;
        cls.lpfnWndProc = &ShortLineProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "ShortLineEdit";
        ASSERT_NE(RegisterClassA(&cls), 0);
    }
    HWND edit = MakeEdit(ES_AUTOHSCROLL, "some words", "ShortLineEdit");
    EXPECT_STREQ(TextAt(edit, 4, 4), "typed");
    EXPECT_STREQ(TextAt(edit, 1, 1), "s");  // one character asked, one given
}

TEST_F(HookTextWin, PasswordFieldIsNeverReadNorBuffered)
{
    HWND password = MakeEdit(ES_PASSWORD | ES_AUTOHSCROLL, "secret");
    ASSERT_NE(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), 0);
    SetSharedString(WordBuffer, "sec");
    EXPECT_STREQ(TextAt(password, 6, 6), "");
    EXPECT_STREQ(CharBuf, "");
    EXPECT_STREQ(WordBuffer, "");

    SetSharedString(CharBuf, "abc");
    UpdateCharBufFor(password, 'x');
    EXPECT_STREQ(CharBuf, "");

    HWND plain = MakeEdit(ES_AUTOHSCROLL, "");
    UpdateCharBufFor(plain, 'x');
    UpdateCharBufFor(plain, 'y');
    EXPECT_STREQ(CharBuf, "xy");

    // Never enabled, even when its program is forced; a plain edit of the
    // same program is.
    const CString program = HookProgramName(GetLowerModulePath());
    SetSharedString(ProcessIncluded, program);
    SetSharedString(g_szForceEnable, program);
    EXPECT_FALSE(IsHookEnabledFor(password));
    EXPECT_TRUE(IsHookEnabledFor(plain));
    EXPECT_FALSE(IsHookEnabledFor(nullptr));
    SetSharedString(ProcessIncluded, "");
    SetSharedString(g_szForceEnable, "");
    EXPECT_FALSE(IsHookEnabledFor(plain));
    hTestEdit = plain;
    EXPECT_TRUE(IsHookEnabledFor(plain));
    hTestEdit = nullptr;
}

TEST_F(HookTextWin, RootWindowAndModulePath)
{
    HWND edit = MakeEdit(0, "");
    EXPECT_EQ(GetRootWindow(edit), m_parent);
    EXPECT_EQ(GetRootWindow(m_parent), m_parent);
    EXPECT_EQ(GetRootWindow(nullptr), nullptr);
    EXPECT_STREQ(GetFocusTopTitle(), "Hook text parent");
    const CString path = GetLowerModulePath();
    EXPECT_EQ(HookProgramName(path), CString("hook_tests.exe"));
    CString lower = path;
    lower.MakeLower();
    EXPECT_EQ(path, lower);
}

TEST_F(HookTextWin, KeysFollowTheThreadKeyState)
{
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE state[256] = {0};
    auto apply = [&](bool shift, bool caps, bool ctrl) {
        std::memset(state, 0, sizeof state);
        if (shift)
            state[VK_SHIFT] = 0x80;
        if (caps)
            state[VK_CAPITAL] = 0x01;
        if (ctrl)
            state[VK_CONTROL] = 0x80;
        ASSERT_TRUE(SetKeyboardState(state));
    };
    apply(false, false, false);
    EXPECT_EQ(VkToChar('A'), 'a');
    EXPECT_EQ(VkToChar('1'), '1');
    EXPECT_FALSE(IsModifierHeld());
    apply(true, false, false);
    EXPECT_EQ(VkToChar('1'), '!');
    EXPECT_EQ(VkToChar('A'), 'A');
    EXPECT_TRUE(IsModifierHeld());
    apply(true, true, false);
    EXPECT_EQ(VkToChar('A'), 'a');
    apply(false, false, true);
    EXPECT_EQ(VkToChar('A'), 0);
    EXPECT_TRUE(IsModifierHeld());
    EXPECT_EQ(VkToChar(VK_F5), 0);
    SetKeyboardState(saved);
}
