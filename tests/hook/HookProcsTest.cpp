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
LRESULT g_aliasAnswer = 0;
int g_queries = 0;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROMPT_QUERY) {
        ++g_queries;
        return wParam == 0 ? 0 : g_aliasAnswer;
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
        g_nOfferMoves = 0;
        Offer(5);
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

    // Rows offered as the program publishes them, for the text before the
    // caret and the window given: row r types "lo" and the r-th letter.
    void Offer(int rows, const char *word = "hel", HWND target = nullptr, int selected = 0)
    {
        BeginOfferWrite(g_Offer);
        g_Offer.target = target ? target : m_edit;
        SetSharedString(g_Offer.word, word);
        g_Offer.rows = rows;
        g_Offer.selected = selected;
        for (int r = 0; r < rows && r < OFFER_ROWS; ++r) {
            OfferRow row = {};
            const char body[] = {'l', 'o', static_cast<char>('a' + r)};
            row.length = sizeof body;
            std::memcpy(row.body, body, sizeof body);
            g_Offer.row[r] = row;
        }
        EndOfferWrite(g_Offer);
    }
    // The edit's text once the messages posted to it are handled, as an
    // application's message loop handles them.
    std::string EditText(HWND edit = nullptr)
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        char text[300] = "";
        GetWindowTextA(edit ? edit : m_edit, text, sizeof text);
        return text;
    }
    // The WM_ENTRY_CHOSEN messages posted to the main window since the last call.
    std::vector<Posted> Chosen()
    {
        std::vector<Posted> chosen;
        for (const Posted &p : Take(m_main))
            if (p.message == WM_ENTRY_CHOSEN)
                chosen.push_back(p);
        return chosen;
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

    // The program's messages posted to a window since the last call.
    static std::vector<Posted> Take(HWND window)
    {
        std::vector<Posted> posted;
        MSG msg;
        while (PeekMessageA(&msg, window, WM_APP, 0xFFFF, PM_REMOVE))
            posted.push_back({msg.message, msg.wParam, msg.lParam});
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
    // Every paint of the frame and its children done, as after a loop's idle turn.
    void PaintNow() { RedrawWindow(m_frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }
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

// A digit is replaced by its row's entry where it was typed: the hook posts
// the entry into the edit's own queue, ahead of any later key, and tells the
// program which row of which offer it typed. Its release is swallowed too.
TEST_F(HookProcs, DigitsChooseARowAtTheirKeyDown)
{
    const LONG id = g_Offer.id;
    EXPECT_TRUE(Key('3', false));
    auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(static_cast<LONG>(chosen[0].wParam), id);
    EXPECT_EQ(chosen[0].lParam, EntryChosenParam(2, '3', true, true));
    EXPECT_TRUE(Key('3', true));
    EXPECT_EQ(EditText(), "helloc");

    // Beyond the listed entries, on the numeric pad (not chosen by the
    // settings) and with nothing offered, digits reach the application.
    Offer(5, "helloc");
    EXPECT_FALSE(Press('7'));
    EXPECT_FALSE(Press(VK_NUMPAD3));
    Offer(0);
    EXPECT_FALSE(Press('3'));
    EXPECT_TRUE(Chosen().empty());
}

// An offer made for another text, another window, or with a selection move
// on its way, chooses nothing: the key stands as typed. So does a row the
// program has to type, except that the hook leaves the typing to it.
TEST_F(HookProcs, OnlyACurrentOfferChooses)
{
    HWND other = MakeEdit(ES_AUTOHSCROLL, "hel");
    Focus(m_edit);
    const struct {
        const char *word;
        HWND target;
        LONG moves;
    } stale[] = {
        {"he", nullptr, 0},     // the user typed on since
        {"hel", other, 0},      // made for another window
        {"hel", nullptr, 1},    // a Down the prompt has not made yet
    };
    for (const auto &c : stale) {
        Offer(5, c.word, c.target);
        g_nOfferMoves = c.moves;
        EXPECT_FALSE(Press('2')) << c.word;
        EXPECT_TRUE(Chosen().empty()) << c.word;
    }
    EXPECT_EQ(EditText(), "hel") << "nothing was posted into the edit";
    g_nOfferMoves = 0;

    Offer(5);
    g_Offer.row[0].length = OFFER_PROGRAM_TYPES;
    EXPECT_TRUE(Press('1'));
    const auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].lParam, EntryChosenParam(0, '1', true, false));
    EXPECT_EQ(EditText(), "hel");
}

TEST_F(HookProcs, NothingAsksTheProgramOnAKeysPath)
{
    ShowWindow(m_prompt, SW_HIDE);
    EXPECT_FALSE(Press('3'));
    EXPECT_FALSE(Press('a'));
    ShowWindow(m_prompt, SW_SHOWNA);
    EXPECT_TRUE(Press('3'));
    EXPECT_FALSE(Press(VK_SPACE));
    EXPECT_EQ(g_queries, 0);
    Take(m_main);

    // A prompt window handle that no longer names a window is never used.
    DestroyWindow(m_prompt);
    m_prompt = nullptr;
    EXPECT_FALSE(Press('3'));
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
        g_nOfferMoves = 0;
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
    Offer(13);
    ASSERT_TRUE(Press(VK_DOWN, true));
    EXPECT_EQ(g_nOfferMoves, 1) << "the move is on its way to the prompt";
    g_nOfferMoves = 0;  // as the prompt does once it has made it
    EXPECT_TRUE(Press('C'));
    auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(EntryChosenRow(static_cast<long>(chosen[0].lParam)), 12);
    EXPECT_EQ(EditText(), "hellom");

    Offer(3, "hellom", nullptr, 1);
    ASSERT_TRUE(Press(VK_DOWN, true));
    g_nOfferMoves = 0;
    EXPECT_TRUE(Key(VK_RETURN, false));
    chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(EntryChosenRow(static_cast<long>(chosen[0].lParam)), 1) << "the selected row";
    EXPECT_EQ(EditText(), "hellomlob");
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

// The space bar as completion key chooses the selected row after a word, the
// entry followed by what its tail rule gives for a space; with no current
// offer, after Esc or after a delimiter the space is typed.
TEST_F(HookProcs, SpaceAsCompletionKeyChoosesTheSelectedRow)
{
    CompWordKey = VK_SPACE;
    Offer(3, "hel", nullptr, 1);
    g_Offer.row[1].tail.wholeWord = 1;
    EXPECT_TRUE(Key(VK_SPACE, false));
    auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].lParam, EntryChosenParam(1, ' ', true, true));
    EXPECT_EQ(EditText(), "hellob ");

    // Nothing current: the space is typed, and the stale prompt goes.
    SetWindowTextA(m_edit, "hel");
    Focus(m_edit);
    Offer(3, "he");
    EXPECT_FALSE(Key(VK_SPACE, false));
    bool hidden = false;
    for (const Posted &p : Take(m_main)) {
        EXPECT_NE(p.message, static_cast<UINT>(WM_ENTRY_CHOSEN));
        hidden = hidden || p.message == WM_HIDE_PROMPT;
    }
    EXPECT_TRUE(hidden);

    // A word with nothing offered for it: the space is typed, whenever it
    // comes.
    WithdrawOffer(g_Offer);
    Drain();
    EXPECT_FALSE(Key(VK_SPACE, false));
    EXPECT_TRUE(Chosen().empty());

    // After Esc the space is typed.
    Offer(3);
    g_nLastKeyDown = VK_ESCAPE;
    EXPECT_FALSE(Key(VK_SPACE, false));
    EXPECT_TRUE(Chosen().empty());
    // And after a delimiter there is no word to complete.
    g_nLastKeyDown = 0;
    SetWindowTextA(m_edit, "hel ");
    Focus(m_edit);
    Offer(3, "hel ");
    EXPECT_FALSE(Key(VK_SPACE, false));
    EXPECT_TRUE(Chosen().empty());
}

// A key that is no word character hides the prompt, unless it is the
// completion key itself: compared with its modifiers, so with Ctrl+Space
// completing, a plain space still hides.
TEST_F(HookProcs, KeysOtherThanTheCompletionKeyHideThePrompt)
{
    struct Case {
        UINT compWordKey;
        UINT vk;
        bool hides;
    } cases[] = {
        {0x220, VK_SPACE, true},  // Ctrl+Space completes
        {VK_TAB, VK_SPACE, true},
        {VK_TAB, VK_TAB, false},
        {0x209, VK_TAB, true},    // Ctrl+Tab completes
    };
    for (const Case &c : cases) {
        CompWordKey = c.compWordKey;
        Drain();
        Key(c.vk, false);
        Key(c.vk, true);
        bool hidden = false;
        for (const Posted &p : Take(m_main))
            hidden = hidden || p.message == WM_HIDE_PROMPT;
        EXPECT_EQ(c.hides, hidden) << std::hex << c.compWordKey << " " << c.vk;
    }
}

// The results of a manual activation choose the first row through a message
// posted to the window: taken only while it has the focus and its text is
// still what the rows were made for.
TEST_F(HookProcs, ManualActivationResultsChooseOnlyWhileCurrent)
{
    Offer(2);
    EXPECT_EQ(Queued(m_edit, WM_HOOK_ACCEPT, 0, 0), 0);
    auto chosen = Chosen();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].lParam, EntryChosenParam(0, 0, true, true));
    EXPECT_EQ(EditText(), "helloa");

    // The user typed on before the results came: nothing is typed.
    Offer(2, "hel");
    Queued(m_edit, WM_HOOK_ACCEPT, 0, 0);
    EXPECT_TRUE(Chosen().empty());
    EXPECT_EQ(EditText(), "helloa");
}

// The work after a typed character waits while its thread still has to
// paint, so the program's answer does not hold up the echo: the paint posts
// it behind itself, once, and a key-down before the paint does it at once,
// so the key meets the line as it stands.
TEST_F(HookProcs, RequestWaitsForThePaintOfTheEcho)
{
    const LPARAM lParam = KeyLParam('L', false, false);
    hFocusEdit = m_edit;
    auto requests = [this] {
        int n = 0;
        for (const Posted &p : Take(m_main))
            n += p.message == static_cast<UINT>(WM_REQUEST_PROMPT);
        return n;
    };

    SetSharedString(WordBuffer, "");
    InvalidateRect(m_edit, nullptr, TRUE);
    EXPECT_EQ(Queued(m_edit, g_nDelayedKeyDownMsg, 'l', lParam), 0);
    EXPECT_STREQ(WordBuffer, "");
    EXPECT_EQ(requests(), 0);
    Queued(m_edit, WM_PAINT, 0, 0);
    Queued(m_edit, WM_PAINT, 0, 0);
    auto toEdit = Take(m_edit);
    ASSERT_EQ(toEdit.size(), 1u) << Describe(toEdit);
    EXPECT_EQ(toEdit[0].message, g_nDelayedKeyDownMsg);
    Queued(m_edit, toEdit[0].message, toEdit[0].wParam, toEdit[0].lParam);
    EXPECT_STREQ(WordBuffer, "hel");
    EXPECT_EQ(requests(), 1);

    SetSharedString(WordBuffer, "");
    InvalidateRect(m_edit, nullptr, TRUE);
    Queued(m_edit, g_nDelayedKeyDownMsg, 'l', lParam);
    EXPECT_STREQ(WordBuffer, "");
    Key(VK_RIGHT, false, true);
    EXPECT_STREQ(WordBuffer, "hel");
    EXPECT_EQ(requests(), 1);
    Key(VK_RIGHT, true, true);
    // The paint then finds nothing waiting.
    Queued(m_edit, WM_PAINT, 0, 0);
    EXPECT_TRUE(Take(m_edit).empty());
}

// Punctuation after the space a completion added takes the space's place,
// typed in the edit's own queue.
TEST_F(HookProcs, PunctuationTakesThePlaceOfTheSpace)
{
    g_bRemoveSpaceBeforePunctuation = 1;
    ShowWindow(m_prompt, SW_HIDE);
    SetWindowTextA(m_edit, "hello  ");
    Focus(m_edit);
    EXPECT_TRUE(Key(VK_OEM_PERIOD, false));
    EXPECT_EQ(EditText(), "hello.");
    Key(VK_OEM_PERIOD, true);
    // Without a space before it, the full stop is typed.
    EXPECT_FALSE(Key(VK_OEM_PERIOD, false));
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

    // Taken from the queue after the control has the character and the
    // thread has painted: the line goes to WordBuffer and the program is
    // asked for candidates.
    hFocusEdit = m_edit;
    PaintNow();
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

    // A delimiter ends the word; the word's text goes with the message, in
    // the shared slot it names.
    Queued(m_edit, WM_CHAR, ' ', lParam);
    posted = Take(m_main);
    ASSERT_EQ(posted.size(), 1u) << Describe(posted);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_WORD_ENDED));
    const LONG seq = static_cast<LONG>(posted[0].wParam);
    ASSERT_NE(seq, 0);
    const WordEnd &slot = g_WordEnds[static_cast<unsigned long>(seq) % WORD_END_SLOTS];
    EXPECT_EQ(slot.seq, seq);
    EXPECT_STREQ(slot.text, "hel");
    EXPECT_EQ(slot.last, ' ');
    SetWindowTextA(m_edit, "other");
    EXPECT_STREQ(slot.text, "hel") << "what the line holds later is not the word";
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
    EXPECT_FALSE(Press('S'));
    EXPECT_EQ(Forwarded(m_main), "");
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
