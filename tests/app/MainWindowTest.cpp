// The main window created from its template in the test process, with a
// small library set, the real retrieving thread, a stand-in prompt and edit
// windows of our own to type into.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Candidates.h"
#include "DebugDlg.h"
#include "EngineSettings.h"
#include "HookMessages.h"
#include "LibrarySet.h"
#include "MessageBoxCatcher.h"
#include "PromptOffer.h"
#include "RecordBuilders.h"
#include "Retrieve.h"
#include "RetrieveThread.h"
#include "Settings.h"
#include "resource.h"
#include "SharedSection.h"
#include "WordCache.h"
#include "WordStoreReset.h"

namespace {
// Handles this thread's messages until the condition holds or the time is up.
bool WaitFor(const std::function<bool()> &condition, int milliseconds = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string TextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Stands in for the prompt window: a window of our own, entries set by the
// test, and a record of what the main window asked of it.
class StandInPrompt : public CPromptLink {
public:
    struct Entry {
        CString text, key;
    };
    explicit StandInPrompt(HWND window) : m_window(window) {}

    HWND GetPromptWindow() const override { return m_window; }
    void Reset(POINT caret) override
    {
        ++resets;
        lastCaret = caret;
        entries.clear();
    }
    void FillPrompt(int count) override
    {
        if (count <= 0)
            return;
        // As the prompt does: the list just reported, appended.
        for (int i = 0; i < count; ++i) {
            if (g_nResultKind == RESULT_SHORTHANDS)
                entries.push_back({g_ShCandidates[i].expansion, g_ShCandidates[i].name});
            else
                entries.push_back({g_WordCandidates[i].word, ""});
        }
        ++fills;
        ShowWindow(m_window, SW_SHOWNA);
        // As the prompt does: the rows listed become the offer.
        std::vector<CMatchItem> items;
        for (const Entry &e : entries)
            items.push_back(CMatchItem(e.text, e.key));
        PublishOffer(items, 0, static_cast<int>(items.size()), 0);
    }
    void ShowPrompt(BOOL show) override
    {
        ShowWindow(m_window, show ? SW_SHOWNA : SW_HIDE);
        if (!show)
            ++hides;
    }
    BOOL IsAutoHide() const override { return autoHide; }
    int GetItemCount() const override { return static_cast<int>(entries.size()); }
    void ClearPromptItems() override { entries.clear(); }
    void UpdatePrompt(UINT flags) override { lastUpdateFlags = flags; }
    CString GetItemText(int row) const override
    {
        const int i = row < 0 ? 0 : row;
        return i < GetItemCount() ? entries[static_cast<size_t>(i)].text : CString();
    }
    CString GetItemKey(int row) const override
    {
        const int i = row < 0 ? 0 : row;
        return i < GetItemCount() ? entries[static_cast<size_t>(i)].key : CString();
    }
    HWND GetLastFocus() const override { return nullptr; }
    void ReleasePromptAppBarSpace() override {}

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Entry &e : entries)
            texts.push_back(e.text.GetString());
        return texts;
    }

    std::vector<Entry> entries;
    BOOL autoHide = TRUE;
    int resets = 0, fills = 0, hides = 0;
    UINT lastUpdateFlags = 0;
    POINT lastCaret = {0, 0};

private:
    HWND m_window;
};

// A stand-in for the word processor's automation: one document whose text
// and selection the insertion changes through the dispatch ids it uses.
struct WordStandIn {
    std::wstring text;
    long selStart = 0, selEnd = 0;
    std::vector<std::pair<DISPID, long>> formatPuts;  // range property, value
};
WordStandIn *g_word = nullptr;

class FakeDispatch : public IDispatch {
public:
    enum Kind { APP, WINDOW, SELECTION, DOCUMENT, RANGE };
    FakeDispatch(Kind kind, long start = 0, long end = 0) : m_kind(kind), m_start(start), m_end(end) {}
    virtual ~FakeDispatch() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **out) override
    {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (!left)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *, UINT *) override
    {
        auto arg = [params](UINT i) { return params->rgvarg[params->cArgs - 1 - i]; };  // in call order
        auto object = [result](FakeDispatch *d) {
            result->vt = VT_DISPATCH;
            result->pdispVal = d;
            return S_OK;
        };
        switch (m_kind) {
        case APP:
            if (id == 3)
                return object(new FakeDispatch(DOCUMENT));
            if (id == 4)
                return object(new FakeDispatch(WINDOW));
            break;
        case WINDOW:
            if (id == 4)
                return object(new FakeDispatch(SELECTION));
            break;
        case SELECTION:
            if ((id == 3 || id == 4) && (flags & DISPATCH_PROPERTYGET)) {
                result->vt = VT_I4;
                result->lVal = id == 3 ? g_word->selStart : g_word->selEnd;
                return S_OK;
            }
            if (id == 0x64 && params->cArgs == 2) {
                g_word->selStart = arg(0).lVal;
                g_word->selEnd = arg(1).lVal;
                return S_OK;
            }
            break;
        case DOCUMENT:
            if (id == 0x7D0 && params->cArgs == 2)
                return object(new FakeDispatch(RANGE, arg(0).lVal, arg(1).lVal));
            break;
        case RANGE:
            if (id == 0 && (flags & DISPATCH_PROPERTYPUT) && params->rgvarg[0].vt == VT_BSTR) {
                g_word->text.replace(static_cast<size_t>(m_start), static_cast<size_t>(m_end - m_start),
                                     params->rgvarg[0].bstrVal);
                return S_OK;
            }
            if ((id == 0x82 || id == 0x83 || id == 0x8B) && (flags & DISPATCH_PROPERTYPUT)) {
                g_word->formatPuts.push_back({id, params->rgvarg[0].lVal});
                return S_OK;
            }
            break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    Kind m_kind;
    long m_start, m_end;
    ULONG m_refs = 1;
};

BOOL IsWordStandIn() { return g_word != nullptr; }
BOOL GetWordStandIn(IDispatch *&app)
{
    app = g_word ? new FakeDispatch(FakeDispatch::APP) : nullptr;
    return app != nullptr;
}

// The links the application fills: an alias list, a modal-dialog flag and
// the shut-down, observed by the tests.
BOOL g_modalOpen = FALSE;
int g_shutdowns = 0;
BOOL g_quittingAtShutdown = FALSE;
CString FindAlias(const CString &alias) { return alias.CompareNoCase("gm") == 0 ? CString("Good morning") : CString(); }
BOOL ModalOpen() { return g_modalOpen; }
void Shutdown(BOOL)
{
    ++g_shutdowns;
    g_quittingAtShutdown = g_bQuitting;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearWordStore();
        g_WordLibs[0].SetPath("words.lib");
        g_WordLibs[0].m_WordTable = {Word("McDonald", 5, 1700000000), Word("their", 9, 1700000000),
                                     Word("there", 7, 1700000000), Word("these", 3, 1700000000)};
        g_nWordLibCount = 1;
        g_ShLibs[0].SetPath("sh.slb");
        g_ShLibs[0].m_ShTable = {Shorthand("sig", "Best regards", 2)};
        g_nShLibCount = 1;
        g_bLibrariesOpen = TRUE;
        g_fFreqVsTime = -1;
        g_nDefPromptType = 0;
        g_bQuitting = FALSE;
        g_bAutoCompletePending = FALSE;
        g_nSendKey = 0;
        g_nPauseCount = 0;
        CompWordKey = 0x09;  // Tab
        nLastChar = 'e';
        g_bFullSHMatch = g_bAutoCompleteUponDelimiter = 0;
        hWndManualActivate = nullptr;
        hTestEdit = nullptr;
        g_modalOpen = FALSE;
        g_shutdowns = 0;
        g_quittingAtShutdown = FALSE;

        // Our own target: a visible frame with an edit to type into, and a
        // child window standing in for the prompt.
        m_frame = CreateWindowExA(0, "STATIC", "Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 300, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_frame, nullptr);
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 400, 32, m_frame,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        m_promptWindow = CreateWindowExA(0, "STATIC", "prompt", WS_CHILD, 420, 10, 100, 100, m_frame, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
        m_prompt.reset(new StandInPrompt(m_promptWindow));
        hPromptWnd = m_promptWindow;

        MainWindowLinks links;
        links.findAliasTarget = &FindAlias;
        links.modalDialogOpen = &ModalOpen;
        links.shutdown = &Shutdown;
        links.isWordWindow = &IsWordStandIn;
        links.getRunningWordApp = &GetWordStandIn;
        m_main.reset(new CDebugDlg(m_settings, links));
        ASSERT_TRUE(m_main->Create());
        m_main->SetPrompt(m_prompt.get());
    }
    void TearDown() override
    {
        m_main.reset();
        EXPECT_FALSE(IsRetrieveThreadRunning());
        DestroyWindow(m_frame);
        hPromptWnd = nullptr;
        hFocusEdit = nullptr;
        g_bQuitting = FALSE;
        g_bLibrariesOpen = FALSE;
        ClearWordStore();
        g_ShLibs[0].m_ShTable.clear();
        g_nShLibCount = 0;
        g_fFreqVsTime = 0.5f;
        CompWordKey = 0;
        g_nSendKey = 0;
        g_word = nullptr;
    }

    // The edit holds text with the caret at its end and has the keyboard
    // focus; the hook's view of it says the same.
    void Target(const char *text)
    {
        SetWindowTextA(m_edit, text);
        SetForegroundWindow(m_frame);
        SetFocus(m_edit);
        const int end = GetWindowTextLengthA(m_edit);
        SendMessageA(m_edit, EM_SETSEL, end, end);
        hFocusEdit = m_edit;
        SetSharedString(WordBuffer, text);
        CaretPos.x = 5;
        CaretPos.y = 5;
        const size_t length = std::strlen(text);
        nLastChar = length ? text[length - 1] : 0;
    }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(m_main->m_hWnd, msg, wParam, lParam); }
    // Requests completions for the edit's text and waits for the words.
    void RequestAndWait(const char *text)
    {
        Target(text);
        const int fills = m_prompt->fills;
        ASSERT_EQ(Send(WM_REQUEST_PROMPT), 1);
        ASSERT_TRUE(WaitFor([&] { return m_prompt->fills > fills; }));
    }
    std::string EditText() const { return TextOf(m_edit); }

    CAppSettings m_settings;
    std::unique_ptr<StandInPrompt> m_prompt;
    std::unique_ptr<CDebugDlg> m_main;
    HWND m_frame = nullptr, m_edit = nullptr, m_promptWindow = nullptr;
};
}  // namespace

TEST_F(MainWindow, CreatedHiddenUnderItsFixedCaption)
{
    EXPECT_EQ(FindWindowA("#32770", "Lexanto Main Window"), m_main->m_hWnd);
    EXPECT_FALSE(IsWindowVisible(m_main->m_hWnd));
    EXPECT_TRUE(IsRetrieveThreadRunning());
    // Esc typed into its debug face is swallowed before the dialog sees it.
    MSG esc = {GetDlgItem(m_main->m_hWnd, IDC_DEBUG_LOG), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(m_main->PreTranslateMessage(&esc));
    esc.wParam = 'A';
    EXPECT_FALSE(m_main->PreTranslateMessage(&esc));
}

// The debug face's "Check User" and "Setup Wizard" run what the program links
// to them, and nothing while it links nothing.
TEST_F(MainWindow, DebugButtonsRunTheirLinks)
{
    static int checks, wizards;
    checks = wizards = 0;
    const struct {
        int id;
        const char *caption;
        int *runs;
    } buttons[] = {{IDC_CHECK_USER, "Check User", &checks}, {IDC_SETUP_WIZARD, "Setup Wizard", &wizards}};
    for (const auto &b : buttons) {
        char caption[32] = "";
        GetDlgItemTextA(m_main->m_hWnd, b.id, caption, sizeof caption);
        EXPECT_STREQ(b.caption, caption);
        Send(WM_COMMAND, MAKEWPARAM(b.id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_main->m_hWnd, b.id)));
    }
    EXPECT_EQ(0, checks + wizards);

    MainWindowLinks links;
    links.checkUserLibrary = [] { ++checks; };
    links.runSetupWizard = [] { ++wizards; };
    m_main.reset();
    m_main.reset(new CDebugDlg(m_settings, links));
    ASSERT_TRUE(m_main->Create());
    m_main->SetPrompt(m_prompt.get());
    for (const auto &b : buttons)
        Send(WM_COMMAND, MAKEWPARAM(b.id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_main->m_hWnd, b.id)));
    EXPECT_EQ(1, checks);
    EXPECT_EQ(1, wizards);
}

TEST_F(MainWindow, RequestGetsResultsOfItsOwnIdOnly)
{
    RequestAndWait("I like the");
    EXPECT_EQ(m_prompt->Texts(), (std::vector<std::string>{"their", "there", "these"}));
    EXPECT_EQ(CString(g_szRequestWord), "I like the");
    POINT expected = {5, 5};
    ClientToScreen(m_edit, &expected);
    EXPECT_EQ(m_prompt->lastCaret.x, expected.x);
    EXPECT_EQ(m_prompt->lastCaret.y, expected.y);

    // Two quick requests: the first one's results carry an old id.
    Target("I met mc");
    ASSERT_EQ(Send(WM_REQUEST_PROMPT), 1);
    Target("I like thei");
    const int fills = m_prompt->fills;
    ASSERT_EQ(Send(WM_REQUEST_PROMPT), 1);
    ASSERT_TRUE(WaitFor([&] { return m_prompt->fills > fills; }));
    WaitFor([] { return false; }, 300);  // anything late would arrive now
    EXPECT_EQ(m_prompt->Texts(), (std::vector<std::string>{"their"}));

    // A results message with an older id changes nothing, whenever it comes.
    const int before = m_prompt->fills;
    g_nResultKind = RESULT_WORDS;
    Send(WM_RESULTS_READY, static_cast<WPARAM>(g_nRequestId - 1), 1);
    EXPECT_EQ(m_prompt->fills, before);
    Send(WM_RESULTS_READY, static_cast<WPARAM>(g_nRequestId.load()), 1);
    EXPECT_EQ(m_prompt->fills, before + 1);
}

TEST_F(MainWindow, HidingDropsResultsInFlight)
{
    Target("I like the");
    ASSERT_EQ(Send(WM_REQUEST_PROMPT), 1);
    const int id = g_nRequestId;
    ShowWindow(m_promptWindow, SW_SHOWNA);
    Send(WM_HIDE_PROMPT);
    EXPECT_EQ(g_nRequestId, id + 1);
    EXPECT_FALSE(IsWindowVisible(m_promptWindow));  // an auto-hidden prompt hides

    // The next request's results arrive after the hidden one's were dropped.
    RequestAndWait("I met McD");
    EXPECT_EQ(m_prompt->Texts(), (std::vector<std::string>{"McDonald"}));

    // A prompt that does not hide itself is emptied in place, and that
    // cancels too.
    m_prompt->autoHide = FALSE;
    ShowWindow(m_promptWindow, SW_SHOWNA);
    const int shown = g_nRequestId;
    Send(WM_HIDE_PROMPT);
    EXPECT_EQ(g_nRequestId, shown + 2);
    EXPECT_TRUE(IsWindowVisible(m_promptWindow));
    EXPECT_EQ(m_prompt->GetItemCount(), 0);
    EXPECT_EQ(m_prompt->lastUpdateFlags, 9u);
}

TEST_F(MainWindow, RefusedRequestsLeaveThePromptAlone)
{
    Target("I like the");
    const int resets = m_prompt->resets;
    // A paused retrieving thread takes no request.
    g_nPauseCount = 1;
    EXPECT_EQ(Send(WM_REQUEST_PROMPT), 0);
    g_nPauseCount = 0;
    // A small edit with "DisableSmallEdit".
    MoveWindow(m_edit, 10, 10, 400, 29, TRUE);
    EXPECT_EQ(Send(WM_REQUEST_PROMPT), 0);
    EXPECT_EQ(m_prompt->resets, resets);
    MoveWindow(m_edit, 10, 10, 400, 30, TRUE);
    EXPECT_EQ(Send(WM_REQUEST_PROMPT), 1);
    EXPECT_EQ(m_prompt->resets, resets + 1);
}

TEST_F(MainWindow, QuittingIgnoresTheHook)
{
    RequestAndWait("I like the");
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 0), 3);

    // Closing with a modal dialog open is refused.
    g_modalOpen = TRUE;
    {
        MessageBoxCatcher boxes;
        Send(WM_CLOSE);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, "Please close active dialog first!");
    }
    EXPECT_TRUE(IsWindow(m_main->m_hWnd));
    EXPECT_EQ(g_shutdowns, 0);
    EXPECT_FALSE(g_bQuitting);

    // The shut-down finds the quitting flag already set.
    g_modalOpen = FALSE;
    Send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(g_shutdowns, 1);
    EXPECT_TRUE(g_quittingAtShutdown);

    const int id = g_nRequestId;
    const int resets = m_prompt->resets;
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 0), 0);
    SetSharedString(WordBuffer, "say gm");
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 1), 0);
    EXPECT_EQ(Send(WM_REQUEST_PROMPT), 0);
    Send(WM_HIDE_PROMPT);
    Send(WM_ACCEPT_ITEM, 0, 1);
    Send(WM_RESULTS_READY, static_cast<WPARAM>(id), 1);
    EXPECT_EQ(g_nRequestId, id);
    EXPECT_EQ(m_prompt->resets, resets);
    EXPECT_EQ(m_prompt->GetItemCount(), 3);
    EXPECT_EQ(EditText(), "I like the");
}

// A key in the application chose a row of the offer: the hook typed the
// entry, and the program records its use and hides the prompt, typing
// nothing; when the hook left the typing to it, it types the entry itself.
// An offer too old to be remembered only hides the prompt.
TEST_F(MainWindow, ChosenEntriesAreRecordedAndTypedOnlyOnce)
{
    CompWordKey = 32;
    g_WordLibs[0].m_WordTable.push_back(Word("thoroughly", 20, 1700000000));  // long enough to be learned
    RequestAndWait("I feel th");
    ASSERT_GT(g_Offer.rows, 0);
    EXPECT_EQ(g_Offer.target, m_edit);
    EXPECT_STREQ(g_Offer.word, "I feel th");
    const std::vector<std::string> offered = m_prompt->Texts();
    ASSERT_FALSE(offered.empty());
    // Uses of a word, wherever learning keeps it.
    auto uses = [](const std::string &word) {
        int pos = 0;
        if (FindInWordCache(word.c_str(), pos, TRUE))
            return static_cast<long long>(g_WordCache[pos].useCount);
        if (g_WordLibs[0].FindRecord(word.c_str(), pos, TRUE))
            return static_cast<long long>(g_WordLibs[0].m_WordTable[static_cast<size_t>(pos)].useCount);
        return 0LL;
    };
    const long long before = uses(offered[0]);

    // Typed by the hook: the text stays as the hook left it.
    SetWindowTextA(m_edit, ("I feel " + offered[0] + " ").c_str());
    Send(WM_ENTRY_CHOSEN, static_cast<WPARAM>(g_Offer.id), EntryChosenParam(0, ' ', true, true));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(EditText(), "I feel " + offered[0] + " ");
    EXPECT_EQ(uses(offered[0]), before + 1);
    EXPECT_FALSE(IsWindowVisible(m_promptWindow));
    EXPECT_EQ(std::string(g_strCurrentWord.GetString()), "I feel " + offered[0]);

    // Left to the program: it types the entry, after the text it was made for.
    RequestAndWait("I feel th");
    const std::string second = m_prompt->Texts()[0];
    Send(WM_ENTRY_CHOSEN, static_cast<WPARAM>(g_Offer.id), EntryChosenParam(0, ' ', true, false));
    EXPECT_TRUE(WaitFor([&] { return EditText() == "I feel " + second; })) << EditText();

    // An offer no longer remembered: nothing typed, the prompt hidden.
    RequestAndWait("I feel th");
    const int requestId = g_nRequestId;
    Send(WM_ENTRY_CHOSEN, static_cast<WPARAM>(g_Offer.id - 100), EntryChosenParam(0, ' ', true, false));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(EditText(), "I feel th");
    EXPECT_NE(g_nRequestId, requestId) << "results still on their way are dropped";
    WaitFor([] { return g_nSendKey == 0; }, 5000);
}

TEST_F(MainWindow, AcceptTypesTheCompletion)
{
    CompWordKey = 32;
    struct Case {
        const char *name;
        const char *typed;
        const char *entry;
        const char *key;
        int appendSpace;
        const char *result;
        int sendKey;  // synthetic key events the hook is told to ignore
    };
    const Case cases[] = {
        {"word rest", "I like the", "their", "", 0, "I like their", 2},
        // Three Backspaces, then the entry with two Shift presses.
        {"case differs", "I met mcd", "McDonald", "", 0, "I met McDonald", 3 + 8 + 2},
        {"complete word", "their", "their", "", 0, "their ", 1},
        {"shorthand", "Regards, $sig", "Best regards", "sig", 1, "Regards, Best regards ", 4 + 13 + 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_settings.m_bAppendSpaceOnCompletion = c.appendSpace;
        Target(c.typed);
        g_strCurrentWord = c.typed;
        m_prompt->entries = {{c.entry, c.key}};
        ShowWindow(m_promptWindow, SW_SHOWNA);
        EXPECT_EQ(Send(WM_ACCEPT_ITEM, 0, 1), 0);  // chosen in the prompt
        EXPECT_EQ(g_nSendKey, c.sendKey);
        EXPECT_GT(m_main->m_tkSendKeyDeadline, clock());
        EXPECT_TRUE(WaitFor([&] { return EditText() == c.result; })) << EditText();
        EXPECT_FALSE(IsWindowVisible(m_promptWindow));
        // No hook counts the keys down here: the timer clears the count.
        EXPECT_TRUE(WaitFor([] { return g_nSendKey == 0; }, 5000));
    }
    // The shorthand's use was recorded.
    EXPECT_EQ(g_ShLibs[0].m_ShTable[0].useCount, 3);
}

TEST_F(MainWindow, AcceptedNewWordIsLearned)
{
    Target("I feel won");
    g_strCurrentWord = "I feel won";
    m_prompt->entries = {{"wonderful", ""}};
    ShowWindow(m_promptWindow, SW_SHOWNA);
    nLastChar = '1';  // chosen with a digit
    Send(WM_ACCEPT_ITEM, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return EditText() == "I feel wonderful"; })) << EditText();
    int pos = 0;
    ASSERT_TRUE(FindInWordCache("wonderful", pos, TRUE));
    EXPECT_EQ(g_WordCache[pos].useCount, 1);
    EXPECT_EQ(CString(g_strCurrentWord), "I feel wonderful");

    // A word that a delimiter ends is learned too: the one the hook put in
    // the slot the message names, whatever the line holds by now.
    Target("so marvellous");
    g_WordEnds[5].seq = 0;
    SetSharedString(g_WordEnds[5].text, "so splendid");
    g_WordEnds[5].last = ' ';
    g_WordEnds[5].seq = 5;
    Send(WM_WORD_ENDED, 5);
    EXPECT_TRUE(FindInWordCache("splendid", pos, TRUE));
    EXPECT_FALSE(FindInWordCache("marvellous", pos, TRUE));
    // A slot overwritten by a later word is not learned from.
    g_WordEnds[6].seq = 6 + WORD_END_SLOTS;
    SetSharedString(g_WordEnds[6].text, "so wondrous");
    Send(WM_WORD_ENDED, 6);
    EXPECT_FALSE(FindInWordCache("wondrous", pos, TRUE));

    // An accept just after a hot key does nothing.
    Target("I like the");
    g_strCurrentWord = "I like the";
    m_prompt->entries = {{"their", ""}};
    m_main->m_tkLastHotKey = clock();
    Send(WM_ACCEPT_ITEM, 0, 1);
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(EditText(), "I like the");
}

TEST_F(MainWindow, AliasQueryAndExpansion)
{
    Target("say gm");
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 1), 1);
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 7), 0);
    Send(WM_EXPAND_ALIAS);
    EXPECT_EQ(g_nSendKey, 2 + 12 + 1);  // Backspaces, the target and its Shift
    EXPECT_TRUE(WaitFor([&] { return EditText() == "say Good morning"; })) << EditText();
    Target("say gx");
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 1), 0);
    Target("say gm ");
    EXPECT_EQ(Send(WM_PROMPT_QUERY, 1), 0);
}

TEST_F(MainWindow, OverdueKeyCountIsCleared)
{
    g_nSendKey = -2;  // cleared whatever the deadline
    m_main->m_tkSendKeyDeadline = clock() + 60000;
    EXPECT_TRUE(WaitFor([] { return g_nSendKey == 0; }, 3000));
    g_nSendKey = 4;  // within its deadline: kept
    WaitFor([] { return false; }, 700);
    EXPECT_EQ(g_nSendKey, 4);
    m_main->m_tkSendKeyDeadline = clock() - 1;
    EXPECT_TRUE(WaitFor([] { return g_nSendKey == 0; }, 3000));
}

TEST_F(MainWindow, WordProcessorInsertsThroughAutomation)
{
    WordStandIn word;
    word.text = L"Hello $sig";
    word.selStart = word.selEnd = 10;
    g_word = &word;
    CompWordKey = 32;
    m_settings.m_bAppendSpaceOnCompletion = 1;
    Target("Hello $sig");  // the hook's view; the space goes to the focused window
    SetWindowTextA(m_edit, "");
    g_strCurrentWord = "Hello $sig";
    m_prompt->entries = {{"Best regards", "sig"}};
    ShowWindow(m_promptWindow, SW_SHOWNA);
    nLastChar = ' ';
    Send(WM_ACCEPT_ITEM, 0, 0);

    // The shorthand and its tag replaced in one step, the caret after it, the
    // hook's buffers following, and the trailing space typed afterwards.
    EXPECT_TRUE(word.text == L"Hello Best regards");
    EXPECT_EQ(word.selStart, 18);
    EXPECT_EQ(word.selEnd, 18);
    EXPECT_STREQ(WordBuffer, "Hello Best regards");
    EXPECT_STREQ(CharBuf, "Hello Best regards");
    EXPECT_EQ(g_nSendKey, 0);
    EXPECT_TRUE(WaitFor([&] { return EditText() == " "; })) << EditText();

    // Formatting keys: bold is switched off over the shorthand, and the
    // expansion is left to the keystrokes.
    word.text = L"Note $b";
    word.selStart = word.selEnd = 7;
    Target("Note $b");
    g_strCurrentWord = "Note $b";
    m_prompt->entries = {{"^bNOTE^b", "b"}};
    ShowWindow(m_promptWindow, SW_SHOWNA);
    nLastChar = ' ';
    Send(WM_ACCEPT_ITEM, 0, 0);
    EXPECT_TRUE(word.text == L"Note $b");
    ASSERT_EQ(word.formatPuts.size(), 1u);
    EXPECT_EQ(word.formatPuts[0].first, 0x82);
    EXPECT_EQ(word.formatPuts[0].second, 0);
    EXPECT_TRUE(WaitFor([&] { return EditText() == "Note NOTE "; })) << EditText();
    WaitFor([] { return g_nSendKey == 0; }, 5000);
}
