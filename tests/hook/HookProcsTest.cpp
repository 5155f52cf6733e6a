// The hook procedures called directly in the test process, against a main
// window and a prompt window of its own: which keys are swallowed and which
// messages reach the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "HookMessages.h"
#include "HookProcState.h"
#include "HookProcs.h"
#include "HookTextWin.h"
#include "KeyFlags.h"
#include "MainWindowLookup.h"
#include "MessageBoxCatcher.h"
#include "SharedSection.h"

namespace {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the fake main window answers to WM_PROMPT_QUERY, and how often it was asked.
LRESULT g_listed = 0;
LRESULT g_aliasAnswer = 0;
int g_queries = 0;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROMPT_QUERY) {
        ++g_queries;
        return wParam == 0 ? g_listed : g_aliasAnswer;
    }
    return CallWindowProcA(g_dialogProc, window, message, wParam, lParam);
}

LPARAM KeyLParam(UINT vk, bool up, bool extended)
{
    LPARAM value = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (extended)
        value |= 1L << 24;
    if (up)
        value |= static_cast<LPARAM>(0xC0000000UL);
    return value;
}

// Presses a modifier on the desktop (the hook reads the asynchronous key
// state) and releases it when it goes out of scope, also after a failure.
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : m_vk(vk) { keybd_event(vk, 0, 0, 0); }
    ~HeldKey()
    {
        keybd_event(m_vk, 0, KEYEVENTF_KEYUP, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
    }

private:
    BYTE m_vk;
};

class HookProcs : public ::testing::Test {
protected:
    void SetUp() override
    {
        HookState() = HookProcState();
        InitHookProductName();
        bEnablePrompt = 1;
        g_nSendKey = 0;
        g_nLastComp = 0;
        g_nLastKeyDown = 0;
        ResetTransientSharedState();
        s_bIncludeAllExcept = 1;
        g_bPromptAllCaretFail = 0;
        g_bNonEnglishChar = 1;
        SetSharedString(NonDelimiter, "");
        SetSharedString(ProcessExcluded, "");
        SetSharedString(g_szForceEnable, "");
        g_nSWKeyOption = 0;
        g_bDigitSelect = 1;
        g_bNumpadDigit = 0;
        g_bFunSel = 0;
        CompWordKey = 0;
        g_nActivatePromptKey = 0;
        s_nExpAliasKeyCode = s_nExpAliasKeyFlag = 0;
        g_bAutoCompleteUponDelimiter = g_bExpandFullSHAtDlmt = g_bFullSHMatch = 0;
        g_bRemoveSpaceBeforePunctuation = 0;
        g_bClearAtSwitch = 1;
        g_nDelayedKeyDownMsg = RegisterWindowMessageA(DELAYED_KEY_DOWN_MESSAGE_NAME);
        ClearHookBuffers();
        g_listed = 5;
        g_aliasAnswer = 0;
        g_queries = 0;

        m_main = CreateWindowExA(0, "#32770", "Lexanto Main Window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_main, nullptr);
        g_dialogProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainProc)));
        // One visible top-level window for the whole suite: under Wine without
        // a window manager, hiding or destroying a mapped top-level window
        // waits for the X server. The prompt is a child of it, so showing and
        // hiding it is cheap.
        if (!s_frame)
            s_frame = CreateWindowExA(0, "STATIC", "Hook procedures", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600,
                                      300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(s_frame, nullptr);
        m_frame = s_frame;
        m_prompt = CreateWindowExA(0, "STATIC", "prompt", WS_CHILD | WS_VISIBLE, 400, 0, 100, 100, m_frame, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        hPromptWnd = m_prompt;
        m_edit = MakeEdit(ES_AUTOHSCROLL, "hel");
        Drain();
    }
    void TearDown() override
    {
        hPromptWnd = nullptr;
        hFocusEdit = nullptr;
        for (HWND w : m_children)
            if (IsWindow(w))
                DestroyWindow(w);
        if (m_prompt)
            DestroyWindow(m_prompt);
        if (m_main)
            DestroyWindow(m_main);
        Drain();
    }
    static void TearDownTestSuite()
    {
        if (s_frame)
            DestroyWindow(s_frame);
        s_frame = nullptr;
    }

    HWND MakeEdit(DWORD style, const char *text)
    {
        HWND edit = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 300, 30, m_frame,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(edit, nullptr);
        m_children.push_back(edit);
        Focus(edit);
        return edit;
    }
    void Focus(HWND edit)
    {
        SetFocus(edit);
        EXPECT_EQ(GetFocus(), edit);
        const int end = GetWindowTextLengthA(edit);
        SendMessageA(edit, EM_SETSEL, end, end);
    }

    // Runs one key event through the keyboard hook; true when swallowed.
    static bool Key(UINT vk, bool up, bool extended = false)
    {
        return KeyboardProc(HC_ACTION, vk, KeyLParam(vk, up, extended)) == 1;
    }
    // Down and up; true when both were swallowed, false when both passed.
    static bool Press(UINT vk, bool extended = false)
    {
        const bool down = Key(vk, false, extended);
        const bool up = Key(vk, true, extended);
        EXPECT_EQ(down, up) << "key " << vk;
        return down && up;
    }
    // A queued message as the message hook sees it when it is taken out.
    static LRESULT Queued(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        MSG msg = {};
        msg.hwnd = window;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        return GetMsgProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
    }

    // The program's messages posted to a window since the last call. Taking
    // an accept is the program making it: it lets the keys it held go.
    static std::vector<Posted> Take(HWND window)
    {
        std::vector<Posted> posted;
        MSG msg;
        while (PeekMessageA(&msg, window, WM_APP, 0xFFFF, PM_REMOVE)) {
            posted.push_back({msg.message, msg.wParam, msg.lParam});
            if (msg.message == WM_ACCEPT_ITEM)
                g_bRedirectKey = 0;
        }
        return posted;
    }
    // The keys forwarded to a window since the last call, as "vk+" for a
    // key-down and "vk-" for a release.
    static std::string Forwarded(HWND window)
    {
        std::string keys;
        MSG msg;
        while (PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE))
            keys += std::to_string(msg.wParam) + (msg.message == WM_KEYDOWN ? "+ " : "- ");
        return keys;
    }
    static std::string Describe(const std::vector<Posted> &posted)
    {
        std::string text;
        for (const Posted &p : posted)
            text += std::to_string(p.message) + "(" + std::to_string(static_cast<long long>(p.wParam)) + "," +
                    std::to_string(static_cast<long long>(p.lParam)) + ") ";
        return text;
    }
    void Drain()
    {
        Take(m_main);
        Take(m_prompt);
        Take(m_edit);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    static inline HWND s_frame = nullptr;
    HWND m_main = nullptr, m_prompt = nullptr, m_frame = nullptr, m_edit = nullptr;
    std::vector<HWND> m_children;
};

}  // namespace

TEST_F(HookProcs, DigitsChooseARowAtTheirRelease)
{
    EXPECT_TRUE(Key('3', false)) << "the key-down of 3 arms the selection";
    EXPECT_TRUE(Take(m_main).empty());
    EXPECT_TRUE(Key('3', true));
    const auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_ACCEPT_ITEM));
    EXPECT_EQ(static_cast<int>(posted[0].wParam), 2);
    EXPECT_EQ(posted[0].lParam, 0);

    // Beyond the listed entries, on the numeric pad (not chosen by the
    // settings) and with the prompt hidden, digits reach the application.
    EXPECT_FALSE(Press('7'));
    EXPECT_FALSE(Press(VK_NUMPAD3));
    g_listed = 0;
    EXPECT_FALSE(Press('3'));
    for (const Posted &p : Take(m_main))
        EXPECT_NE(p.message, static_cast<UINT>(WM_ACCEPT_ITEM));
}

TEST_F(HookProcs, TheProgramIsOnlyAskedWhileThePromptIsShown)
{
    ShowWindow(m_prompt, SW_HIDE);
    EXPECT_FALSE(Press('3'));
    EXPECT_FALSE(Press('a'));
    EXPECT_EQ(g_queries, 0);
    ShowWindow(m_prompt, SW_SHOWNA);
    EXPECT_TRUE(Press('3'));
    EXPECT_EQ(g_queries, 2);
    Take(m_main);

    // A prompt window handle that no longer names a window is never used.
    DestroyWindow(m_prompt);
    m_prompt = nullptr;
    g_queries = 0;
    EXPECT_FALSE(Press('3'));
    EXPECT_EQ(g_queries, 0);
}

TEST_F(HookProcs, LineKeysFollowTheSelectionKeyOption)
{
    const struct {
        int option;
        bool extended;
        bool shift;
        bool swallowed;
    } cases[] = {
        {0, true, false, true},    // main-block Down moves the selection
        {0, false, false, false},  // numeric-pad Down (Num Lock off) reaches the application
        {0, true, true, false},    // Shift+Down extends the application's selection
        {1, false, false, true},
        {1, true, false, false},
    };
    for (const auto &c : cases) {
        HookState() = HookProcState();
        g_nSWKeyOption = c.option;
        bool swallowed;
        if (c.shift) {
            HeldKey shift(VK_SHIFT);
            swallowed = Press(VK_DOWN, c.extended);
        } else {
            swallowed = Press(VK_DOWN, c.extended);
        }
        EXPECT_EQ(swallowed, c.swallowed) << "option " << c.option << " extended " << c.extended << " shift "
                                          << c.shift;
        const auto toPrompt = Take(m_prompt);
        Take(m_main);
        if (c.swallowed) {
            ASSERT_EQ(toPrompt.size(), 1u) << Describe(toPrompt);
            EXPECT_EQ(toPrompt[0].message, static_cast<UINT>(WM_PROMPT_LINE));
            EXPECT_EQ(toPrompt[0].wParam, static_cast<WPARAM>(VK_DOWN));
        } else {
            EXPECT_TRUE(toPrompt.empty()) << Describe(toPrompt);
        }
    }

    // After moving the selection, letters choose rows 10-35 and Enter accepts
    // the current one at its key-down.
    HookState() = HookProcState();
    g_nSWKeyOption = 0;
    g_listed = 13;
    ASSERT_TRUE(Press(VK_DOWN, true));
    EXPECT_TRUE(Press('C'));
    auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_ACCEPT_ITEM));
    EXPECT_EQ(static_cast<int>(posted[0].wParam), 12);
    ASSERT_TRUE(Press(VK_DOWN, true));
    EXPECT_TRUE(Key(VK_RETURN, false));
    posted = Take(m_main);
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_ACCEPT_ITEM));
    EXPECT_EQ(static_cast<int>(posted[0].wParam), -1);
}

TEST_F(HookProcs, ManualActivationIsRequestedAtTheLastRelease)
{
    g_nActivatePromptKey = VK_F12 | (KEYMOD_CTRL << 8);
    ShowWindow(m_prompt, SW_HIDE);
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE state[256] = {0};
    {
        HeldKey ctrl(VK_CONTROL);
        EXPECT_TRUE(Key(VK_F12, false));
        // F12 and Ctrl still read as down in the thread's key state.
        state[VK_F12] = state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        EXPECT_FALSE(Key(VK_F12, true));
        EXPECT_TRUE(Take(m_main).empty());
        state[VK_F12] = 0;
        SetKeyboardState(state);
        EXPECT_FALSE(Key(VK_SHIFT, true));
        EXPECT_TRUE(Take(m_main).empty());
    }
    // At its own release Ctrl still reads as down: the thread's key state
    // takes in an event after the hook has seen it.
    std::memset(state, 0, sizeof state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    EXPECT_TRUE(Key(VK_CONTROL, true));
    SetKeyboardState(saved);
    const auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_REQUEST_PROMPT));
    EXPECT_EQ(posted[0].lParam, 1);
    EXPECT_EQ(hWndManualActivate, m_edit);

    // F12 alone is not the activation key.
    EXPECT_FALSE(Press(VK_F12));
}

TEST_F(HookProcs, SpaceAsCompletionKeyAcceptsAfterAWord)
{
    CompWordKey = VK_SPACE;
    ShowWindow(m_prompt, SW_HIDE);
    EXPECT_TRUE(Key(VK_SPACE, false));
    auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_ACCEPT_ITEM));
    EXPECT_EQ(static_cast<int>(posted[0].wParam), -1);
    Key(VK_SPACE, true);
    Take(m_main);

    // After Esc the space is typed.
    g_nLastKeyDown = VK_ESCAPE;
    EXPECT_FALSE(Key(VK_SPACE, false));
    for (const Posted &p : Take(m_main))
        EXPECT_NE(p.message, static_cast<UINT>(WM_ACCEPT_ITEM));
    // And after a delimiter there is no word to complete.
    g_nLastKeyDown = 0;
    SetWindowTextA(m_edit, "hel ");
    Focus(m_edit);
    EXPECT_FALSE(Key(VK_SPACE, false));
}

// From the accept on, the user's keys go to the program, untouched here,
// until it lets them go. It types them again one at a time, naming each
// beforehand: that one is handled as typed and reported back; until all have
// come through, other keys were typed after them and go to the program too.
// A new hold sends the key typed again back, flagged.
TEST_F(HookProcs, KeysBehindAnAcceptGoToTheProgramUntilTypedAgain)
{
    // As the program types a key again: named, with the scan code it gives.
    auto typedAgain = [](UINT vk, bool up) {
        const LPARAM real = KeyLParam(vk, up, false);
        g_nKeyTypedAgain = KeyTypedAgainId(vk, real);
        const LPARAM sent = (real & ~0x00FF0000L) | static_cast<LPARAM>(ScanTypedAgain(vk, real)) << 16;
        return KeyboardProc(HC_ACTION, vk, sent) == 1;
    };
    auto reports = [&] {
        int n = 0;
        MSG msg;
        while (PeekMessageA(&msg, m_main, WM_KEY_TYPED_AGAIN, WM_KEY_TYPED_AGAIN, PM_REMOVE))
            ++n;
        return n;
    };
    CompWordKey = VK_SPACE;
    EXPECT_TRUE(Key(VK_SPACE, false));
    const char held = nLastChar;
    EXPECT_EQ(held, ' ');
    EXPECT_EQ(g_bRedirectKey, 1);
    EXPECT_TRUE(Key(VK_SPACE, true));
    EXPECT_TRUE(Press('O'));
    EXPECT_EQ(nLastChar, held) << "the held key's character is what the accept reads";
    EXPECT_EQ(Forwarded(m_main), "32- 79+ 79- ");
    EXPECT_EQ(g_nKeysAway, 3);

    // The program has made the accept; K was typed after O and reaches the
    // hook before O comes back.
    Take(m_main);
    EXPECT_EQ(g_bRedirectKey, 0);
    EXPECT_TRUE(Press('K'));
    EXPECT_EQ(Forwarded(m_main), "75+ 75- ");
    EXPECT_EQ(g_nKeysAway, 5);
    EXPECT_FALSE(typedAgain(VK_SPACE, true));
    EXPECT_FALSE(typedAgain('O', false));
    EXPECT_EQ(nLastChar, 'o');
    EXPECT_EQ(g_nKeyTypedAgain, 0) << "claimed";
    EXPECT_FALSE(typedAgain('O', true));
    EXPECT_EQ(reports(), 3);
    EXPECT_EQ(g_nKeysAway, 2);

    // A hold begun meanwhile sends the key typed again back, still away.
    g_bRedirectKey = 1;
    EXPECT_TRUE(typedAgain('K', false));
    const std::string again = std::to_string(FORWARDED_AGAIN | 'K') + "+ ";
    EXPECT_EQ(Forwarded(m_main), again);
    EXPECT_EQ(reports(), 0);
    EXPECT_EQ(g_nKeysAway, 2);
    g_bRedirectKey = 0;
    EXPECT_FALSE(typedAgain('K', false));
    EXPECT_FALSE(typedAgain('K', true));
    EXPECT_EQ(reports(), 2);
    EXPECT_EQ(g_nKeysAway, 0);
    EXPECT_FALSE(Press('K'));
    EXPECT_EQ(Forwarded(m_main), "");

    // A modifier is typed again with its own scan code and known by its
    // name; an event that differs from the one named (the release) is not it,
    // nor is a letter of the user's equal to the one named.
    g_nKeysAway = 2;
    EXPECT_FALSE(typedAgain(VK_SHIFT, false));
    EXPECT_EQ(reports(), 1);
    g_nKeyTypedAgain = KeyTypedAgainId(VK_SHIFT, KeyLParam(VK_SHIFT, false, false));
    EXPECT_TRUE(Key(VK_SHIFT, true));
    g_nKeyTypedAgain = KeyTypedAgainId('A', KeyLParam('A', false, false));
    EXPECT_TRUE(Key('A', false));
    EXPECT_EQ(Forwarded(m_main), "16- 65+ ");
    EXPECT_NE(g_nKeyTypedAgain, 0);
    EXPECT_EQ(reports(), 0);
    g_nKeysAway = 0;
    g_nKeyTypedAgain = 0;

    // The program's own counted keys pass a hold.
    g_bRedirectKey = 1;
    g_nSendKey = 1;
    EXPECT_FALSE(Press('A'));
    EXPECT_EQ(g_nSendKey, 0);
    EXPECT_TRUE(Press('A'));
    EXPECT_EQ(Forwarded(m_main), "65+ 65- ");
}

TEST_F(HookProcs, TypedCharactersComeBackAsRequests)
{
    // A word character is re-posted to its window as the delayed message.
    const LPARAM lParam = KeyLParam('L', false, false);
    Queued(m_edit, WM_CHAR, 'l', lParam);
    auto toEdit = Take(m_edit);
    ASSERT_EQ(toEdit.size(), 1u) << Describe(toEdit);
    EXPECT_EQ(toEdit[0].message, g_nDelayedKeyDownMsg);
    EXPECT_EQ(toEdit[0].wParam, static_cast<WPARAM>('l'));
    EXPECT_EQ(toEdit[0].lParam, lParam);
    EXPECT_EQ(nLastChar, 'l');

    // Taken from the queue after the control has the character: the line
    // goes to WordBuffer and the program is asked for candidates.
    hFocusEdit = m_edit;
    EXPECT_EQ(Queued(m_edit, g_nDelayedKeyDownMsg, 'l', lParam), 0);
    EXPECT_STREQ(WordBuffer, "hel");
    auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_REQUEST_PROMPT));
    EXPECT_EQ(posted[0].lParam, 0);
    EXPECT_GE(CaretPos.x, 1);

    // The program's own characters and characters typed while it types are
    // not re-posted.
    Queued(m_edit, WM_CHAR, 'x', 0x1E000001);
    g_nSendKey = 3;
    Queued(m_edit, WM_CHAR, 'x', lParam);
    EXPECT_TRUE(Take(m_edit).empty());
    g_nSendKey = 0;

    // A delimiter ends the word.
    Queued(m_edit, WM_CHAR, ' ', lParam);
    posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_WORD_ENDED));
    EXPECT_TRUE(Take(m_edit).empty());
}

TEST_F(HookProcs, UnicodeCharactersAreConvertedNotCut)
{
    HWND wide = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 50, 300, 30, m_frame, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(wide, nullptr);
    m_children.push_back(wide);
    ASSERT_TRUE(IsWindowUnicode(wide));
    const struct {
        WPARAM unit;
        char expected;
    } cases[] = {
        {0x436, '?'},                         // Cyrillic zhe: its low byte would be '6'
        {0xE9, static_cast<char>(0xE9)},      // e acute is in the ANSI code page
        {'a', 'a'},
        {0x20AC, static_cast<char>(0x80)},    // the euro sign
    };
    for (const auto &c : cases) {
        Queued(wide, WM_CHAR, c.unit, 1);
        EXPECT_EQ(nLastChar, c.expected) << std::hex << c.unit;
    }
    Take(wide);
}

TEST_F(HookProcs, PasswordFieldsStayOutOfEveryBuffer)
{
    HWND password = MakeEdit(ES_PASSWORD | ES_AUTOHSCROLL, "secret");
    SetSharedString(CharBuf, "earlier");
    SetSharedString(WordBuffer, "earlier");
    hTestEdit = password;  // not even the options' test box turns prompting on here
    ShowWindow(m_prompt, SW_HIDE);
    CompWordKey = VK_SPACE;
    g_nActivatePromptKey = VK_F12;

    for (UINT vk : {UINT('S'), UINT(VK_SPACE), UINT(VK_RETURN), UINT(VK_BACK), UINT(VK_F12)})
        EXPECT_FALSE(Press(vk)) << vk;
    for (char c : {'s', 'e', ' ', '.', '\b', '\r'})
        Queued(password, WM_CHAR, static_cast<unsigned char>(c), 1);
    HookState().altReleased = TRUE;
    Queued(password, WM_CHAR, 'x', 1);

    EXPECT_STREQ(CharBuf, "");
    EXPECT_STREQ(WordBuffer, "");
    EXPECT_EQ(nLastChar, 0);
    EXPECT_EQ(hWndManualActivate, nullptr);
    for (const Posted &p : Take(m_main))
        EXPECT_NE(p.message, static_cast<UINT>(WM_REQUEST_PROMPT)) << Describe({p});
    EXPECT_TRUE(Take(password).empty());

    // Keys held for the program are not held here: they would pass through it.
    g_bRedirectKey = 1;
    g_nKeysAway = 1;
    EXPECT_FALSE(Press('S'));
    EXPECT_EQ(Forwarded(m_main), "");
    EXPECT_EQ(g_nKeysAway, 1);
    ResetTransientSharedState();
    hTestEdit = nullptr;

    // The program's own keys typed into it are still counted off.
    g_nSendKey = 2;
    EXPECT_FALSE(Press('S'));
    EXPECT_EQ(g_nSendKey, 1);
}

TEST_F(HookProcs, AltReleaseRequestsOnlyInEnabledWindows)
{
    // The character after an Alt release (Alt + numeric pad) is not in the
    // control yet: it is appended to the line.
    EXPECT_FALSE(Key(VK_MENU, true));
    ASSERT_TRUE(HookState().altReleased);
    Queued(m_edit, WM_CHAR, 0xE9, 1);
    EXPECT_STREQ(WordBuffer, "hel\xE9");
    auto posted = Take(m_main);
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().message, static_cast<UINT>(WM_REQUEST_PROMPT));

    // In an excluded program nothing is requested.
    SetSharedString(ProcessExcluded, HookProgramName(GetLowerModulePath()));
    Take(m_edit);
    HookState().altReleased = TRUE;
    Queued(m_edit, WM_CHAR, 0xE9, 1);
    for (const Posted &p : Take(m_main))
        EXPECT_NE(p.message, static_cast<UINT>(WM_REQUEST_PROMPT));
}

TEST_F(HookProcs, OwnKeystrokesAreCountedNotHandled)
{
    g_nSendKey = 2;
    EXPECT_FALSE(Press('3'));  // the prompt is shown, but the program is typing
    EXPECT_EQ(g_nSendKey, 1);
    EXPECT_FALSE(Press(VK_DOWN, true));
    EXPECT_EQ(g_nSendKey, 0);
    EXPECT_EQ(g_queries, 0);
    g_nSendKey = -4;  // clamped
    EXPECT_TRUE(Press('3'));
    EXPECT_EQ(g_nSendKey, 0);

    // Also in a window without a caret.
    HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 10, 80, 50, 20, m_frame, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    m_children.push_back(button);
    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    g_nSendKey = 1;
    EXPECT_FALSE(Press('A'));
    EXPECT_EQ(g_nSendKey, 0);
}

TEST_F(HookProcs, FocusChangesHideThePromptAndClearTheBuffer)
{
    HWND promptChild = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_prompt, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    hLastFocus = nullptr;
    SetSharedString(CharBuf, "abc");
    CWPSTRUCT sent = {0, 0, WM_SETFOCUS, promptChild};
    EXPECT_EQ(CallWndProc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&sent)), 0);
    EXPECT_TRUE(Take(m_main).empty());
    EXPECT_EQ(hLastFocus, nullptr) << "the program's own windows are not the last focus";

    sent.hwnd = m_edit;
    CallWndProc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&sent));
    const auto posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_HIDE_PROMPT));
    EXPECT_STREQ(CharBuf, "");
}

TEST_F(HookProcs, WithoutTheMainWindowEverythingPasses)
{
    DestroyWindow(m_main);
    m_main = nullptr;
    EXPECT_FALSE(Press('3'));
    CompWordKey = VK_SPACE;
    EXPECT_FALSE(Press(VK_SPACE));
    Queued(m_edit, WM_CHAR, 'l', 1);
    EXPECT_TRUE(Take(m_edit).empty());
    EXPECT_EQ(g_queries, 0);
}

TEST_F(HookProcs, SpellCheckWithoutTheComponentSaysSo)
{
    MessageBoxCatcher boxes;
    ASSERT_TRUE(boxes.Installed());
    Queued(m_edit, WM_HOOK_SPELLCHECK, 0, 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Corvalen spell checker engine not installed!");
}
