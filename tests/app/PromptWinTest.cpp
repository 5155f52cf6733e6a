// The prompt window on a real desktop: filled from the candidate lists,
// placed at a caret without taking the focus from an editor of our own,
// paged, chosen from (the choice reaches a stand-in main window) and hidden.
// Screenshots of the filled prompt go to build/<tree>/screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "Candidates.h"
#include "EngineSettings.h"
#include "HookMessages.h"
#include "ProfileSettings.h"
#include "ProgramPath.h"
#include "Screenshot.h"
#include "RetrieveThread.h"
#include "SharedSection.h"
#include "WordPrompt.h"
#include "resource.h"

// The main window's variable; its code is not linked here.
int g_nCaretLineHeight = 0;

namespace {
// The main window's part: records the choices it is sent.
struct Accepted {
    WPARAM row;
    LPARAM flag;
};
std::vector<Accepted> g_accepted;

LRESULT CALLBACK StandInMainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ACCEPT_ITEM) {
        g_accepted.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

class StandInMain : public CWnd {
public:
    StandInMain()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StandInMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PromptTestMain";
        RegisterClassA(&wc);
        // Hidden, like the real main window.
        m_hWnd = CreateWindowExA(0, "PromptTestMain", "stand-in main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~StandInMain() override { ::DestroyWindow(m_hWnd); }
};

// An editor of our own, focused, far from where the prompt goes.
class Editor {
public:
    Editor()
    {
        m_frame = CreateWindowExA(0, "STATIC", "editor", WS_POPUP | WS_VISIBLE | WS_BORDER, 700, 600, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 200, m_frame,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(m_frame);
        SetFocus(m_edit);
        Pump(100);
    }
    ~Editor() { DestroyWindow(m_frame); }
    HWND m_frame, m_edit;
};

class PromptWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_bUseIniText = TRUE;
        g_strIniText = "";
        std::memset(&g_lfPromptFont, 0, sizeof g_lfPromptFont);
        g_lfPromptFont.lfHeight = -13;
        g_lfPromptFont.lfWeight = 400;
        std::strcpy(g_lfPromptFont.lfFaceName, "Tahoma");
        m_settings.m_nCopyDelay = 0;
        m_settings.m_nNumInPage = 6;
        m_settings.m_nPromptPosition = 1;
        m_settings.m_bShowItemNumber = 1;
        m_settings.m_bAutoSizeVPrompt = 1;
        m_settings.m_nHPromptWidth = 360;
        g_nPromptNum = 12;
        g_nResultKind = RESULT_WORDS;
        g_bAutoCompletePending = FALSE;
        g_nCaretLineHeight = 0;
        CompWordKey = 9;
        g_accepted.clear();
        ClearCandidates();
        hFocusEdit = m_editor.m_edit;
        m_prompt = new CWordPrompt(m_settings);
        ASSERT_TRUE(m_prompt->Create(&m_main));
        hPromptWnd = m_prompt->m_hWnd;
    }
    void TearDown() override
    {
        delete m_prompt;
        hPromptWnd = nullptr;
        hFocusEdit = nullptr;
        ClearCandidates();
        g_bUseIniText = FALSE;
    }
    static void ClearCandidates()
    {
        for (auto &c : g_WordCandidates)
            c = WRecord_X();
    }
    // count words "wordNN..." ranked in order, typed "wo", given as one result.
    void Fill(int count, int caretX = 200, int caretY = 150, const char *typed = "wo")
    {
        for (int i = 0; i < count; ++i)
            g_WordCandidates[i].word.Format("word%02d%s", i, i % 3 == 1 ? "wide" : "");
        SetSharedString(g_szRequestWord, typed);
        m_prompt->Reset(caretX, caretY);
        m_prompt->FillPrompt(count);
        Pump(50);
    }
    RECT PromptRect()
    {
        RECT r;
        GetWindowRect(m_prompt->m_hWnd, &r);
        return r;
    }
    void Line(UINT key) { SendMessageA(m_prompt->m_hWnd, WM_PROMPT_LINE, key, 0); }
    void Page(UINT key) { SendMessageA(m_prompt->m_hWnd, WM_PROMPT_PAGE, key, 0); }
    int Sel() { return m_prompt->m_wndList.GetCurSel(); }
    int First() { return m_prompt->m_wndList.m_nFirstItem; }

    CAppSettings m_settings;
    StandInMain m_main;
    Editor m_editor;
    CWordPrompt *m_prompt = nullptr;
};
}  // namespace

TEST_F(PromptWin, FilledPromptShowsRankedLabelledRowsAtTheCaretWithoutTakingTheFocus)
{
    Fill(8);
    ASSERT_TRUE(IsWindowVisible(m_prompt->m_hWnd));
    // One page of six rows, in rank order.
    EXPECT_EQ(8u, m_prompt->m_items.size());
    EXPECT_EQ(6, m_prompt->GetItemCount());
    EXPECT_EQ(6, g_nNumWord);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(m_prompt->m_items[static_cast<size_t>(row)].m_strText, m_prompt->m_wndList.GetRowText(row));
    EXPECT_EQ(CString("word00"), m_prompt->GetItemText(0));
    EXPECT_EQ(CString("word01wide"), m_prompt->GetItemText(1));
    EXPECT_EQ(0, Sel());

    // Below right of the caret: caret line 25 plus 5.
    const RECT r = PromptRect();
    EXPECT_EQ(205, r.left);
    EXPECT_EQ(180, r.top);
    EXPECT_GE(r.right - r.left, 80);

    // The editor keeps the focus and stays the active window.
    EXPECT_EQ(m_editor.m_edit, GetFocus());
    EXPECT_EQ(m_editor.m_frame, GetForegroundWindow());
    EXPECT_EQ(m_editor.m_frame, GetActiveWindow());
    // Topmost.
    EXPECT_NE(0, GetWindowLongA(m_prompt->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Painted: the selected row in the selection's colour, the others in the
    // prompt's, from the left edge of each row.
    HWND list = m_prompt->m_wndList.m_hWnd;
    const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(list);
    EXPECT_EQ(static_cast<COLORREF>(m_settings.m_crSelectedBack), GetPixel(dc, 0, rowHeight / 2));
    EXPECT_EQ(static_cast<COLORREF>(m_settings.m_crBackColor), GetPixel(dc, 0, rowHeight + rowHeight / 2));
    EXPECT_EQ(static_cast<COLORREF>(m_settings.m_crBackColor), GetPixel(dc, 0, 5 * rowHeight + rowHeight / 2));
    ReleaseDC(list, dc);

    EXPECT_GT(SaveScreenshot(m_prompt->m_hWnd, "prompt_vertical"), 3u);
}

// Refills of a shown prompt resize it to its rows both ways; only an entry
// wider than "MaxPromptWidth" brings the list's horizontal scroll bar.
TEST_F(PromptWin, RefillsFitTheWindowToTheRowsAndScrollOnlyWhatIsTooWide)
{
    m_settings.m_nMaxPromptWidth = 200;
    auto hasHScroll = [&] { return (GetWindowLongA(m_prompt->m_wndList.m_hWnd, GWL_STYLE) & WS_HSCROLL) != 0; };
    auto width = [&] { return PromptRect().right - PromptRect().left; };
    const char *const rounds[][2] = {{"wo", "wok"},
                                     {"wo", "wonderfully"},
                                     {"wo", "wo" "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
                                     {"wo", "wok"}};
    int widths[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        ClearCandidates();
        g_WordCandidates[0].word = rounds[i][1];
        SetSharedString(g_szRequestWord, rounds[i][0]);
        m_prompt->Reset(200, 150);
        m_prompt->FillPrompt(1);
        Pump(50);
        ASSERT_TRUE(IsWindowVisible(m_prompt->m_hWnd)) << i;
        EXPECT_NE(0, GetWindowLongA(m_prompt->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) << i;
        EXPECT_EQ(205, PromptRect().left) << i;
        EXPECT_EQ(CString(rounds[i][1]), m_prompt->m_wndList.GetRowText(0)) << i;
        widths[i] = width();
        EXPECT_EQ(i == 2, hasHScroll()) << i;
    }
    EXPECT_LT(widths[0], widths[1]);
    EXPECT_LT(widths[1], widths[2]);
    EXPECT_EQ(widths[0], widths[3]);
    // The scrolled list is as wide as the setting allows, plus the frames.
    RECT client;
    GetClientRect(m_prompt->m_wndList.m_hWnd, &client);
    EXPECT_LE(client.right, 200);
}

// A refill reuses the list's rows for its own entries; a request that finds
// nothing leaves no row of the one before.
TEST_F(PromptWin, RefillsShowOnlyTheirOwnEntries)
{
    Fill(5);
    ASSERT_EQ(5, m_prompt->GetItemCount());
    Fill(2, 200, 150, "wor");
    ASSERT_EQ(2, m_prompt->GetItemCount());
    EXPECT_EQ(CString("word01wide"), m_prompt->m_wndList.GetRowText(1));
    Fill(4);
    ASSERT_EQ(4, m_prompt->GetItemCount());
    EXPECT_EQ(CString("word03"), m_prompt->m_wndList.GetRowText(3));

    ClearCandidates();
    m_prompt->Reset(200, 150);
    m_prompt->FillPrompt(0);
    Pump(50);
    EXPECT_EQ(0, m_prompt->GetItemCount());
}

TEST_F(PromptWin, LinesAndPagesMoveTheSelectionWithinTheListedRows)
{
    Fill(9);  // pages of 6 and 3
    for (int i = 1; i <= 5; ++i) {
        Line(VK_DOWN);
        EXPECT_EQ(i, Sel());
    }
    const RECT before = PromptRect();
    Line(VK_DOWN);  // past the last row: the next page, where the window is
    EXPECT_EQ(6, First());
    EXPECT_EQ(3, m_prompt->GetItemCount());
    EXPECT_EQ(0, Sel());
    EXPECT_EQ(before.left, PromptRect().left);
    EXPECT_EQ(before.top, PromptRect().top);
    EXPECT_EQ(CString("word06"), m_prompt->GetItemText(-1));

    Line(VK_DOWN);
    Line(VK_DOWN);
    EXPECT_EQ(2, Sel());
    Line(VK_DOWN);  // no page after the last one
    EXPECT_EQ(2, Sel());
    EXPECT_EQ(6, First());
    Page(VK_NEXT);
    EXPECT_EQ(6, First());

    // Choosing sends the selected row; the main window adds the page offset.
    SendMessageA(m_prompt->m_hWnd, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(1u, g_accepted.size());
    EXPECT_EQ(2u, g_accepted[0].row);
    EXPECT_EQ(1, g_accepted[0].flag);
    EXPECT_EQ(CString("word08"), m_prompt->GetItemText(static_cast<int>(g_accepted[0].row)));

    Line(VK_UP);
    Line(VK_UP);
    EXPECT_EQ(0, Sel());
    Line(VK_UP);  // above the first row: the previous page, at the caret again
    EXPECT_EQ(0, First());
    EXPECT_EQ(6, m_prompt->GetItemCount());
    EXPECT_EQ(205, PromptRect().left);
    Page(VK_NEXT);
    EXPECT_EQ(6, First());
    Page(VK_PRIOR);
    EXPECT_EQ(0, First());
    Page(VK_PRIOR);  // no page before the first
    EXPECT_EQ(0, First());

    // A double click chooses the row it lands on.
    Line(VK_DOWN);
    SendMessageA(m_prompt->m_wndList.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(2u, g_accepted.size());
    EXPECT_EQ(1u, g_accepted[1].row);
    EXPECT_EQ(m_editor.m_edit, GetFocus());
}

TEST_F(PromptWin, HorizontalListShowsWhatFitsAndPagesByWidth)
{
    g_WordCandidates[0].word = "wo" + CString('x', 48);  // 50 characters
    m_settings.m_nHPromptWidth = 700;
    SendMessageA(m_prompt->m_hWnd, WM_COMMAND, ID_PROMPT_HORIZONTAL, 0);
    ASSERT_TRUE(m_prompt->IsHorizontalLayout());
    for (int i = 1; i < 12; ++i)
        g_WordCandidates[i].word.Format("word%02d", i);
    SetSharedString(g_szRequestWord, "wo");
    m_prompt->Reset(500, 150);
    m_prompt->FillPrompt(12);
    Pump(50);
    ASSERT_TRUE(IsWindowVisible(m_prompt->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(m_prompt->m_wndList.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(m_prompt->m_wndHList.m_hWnd));
    // Centred under the caret.
    EXPECT_EQ(500 - 350, PromptRect().left);
    EXPECT_EQ(150 + 25 + 4, PromptRect().top);
    EXPECT_EQ(700, PromptRect().right - PromptRect().left);

    CHListBox &list = m_prompt->m_wndHList;
    const int firstPage = list.GetCount();
    ASSERT_GT(firstPage, 1);
    ASSERT_LT(firstPage, 12);
    EXPECT_EQ(CString("wo" + CString('x', 35) + "..."), list.m_strings[0]);
    EXPECT_EQ(CString("word01"), list.m_strings[1]);
    EXPECT_GT(SaveScreenshot(m_prompt->m_hWnd, "prompt_horizontal"), 3u);

    // Down moves along the row, then to the next page.
    for (int i = 1; i < firstPage; ++i) {
        Line(VK_DOWN);
        EXPECT_EQ(i, list.GetCurSel());
    }
    Line(VK_DOWN);
    EXPECT_EQ(firstPage, First());
    EXPECT_EQ(0, list.GetCurSel());
    CString nextFirst;
    nextFirst.Format("word%02d", firstPage);
    EXPECT_EQ(nextFirst, list.m_strings[0]);
    Line(VK_UP);  // before the first row: back to the page before
    EXPECT_EQ(0, First());

    // Clicks: the first row starts at the margin; the gap selects nothing.
    const int margin = m_settings.m_nPromptBoxMargin;
    EXPECT_EQ(-1, list.HitTest(margin - 1, 5));
    EXPECT_EQ(0, list.HitTest(margin, 5));
    int gapX = -1;
    for (int x = margin; x < 700 && gapX < 0; ++x)
        if (list.HitTest(x, 5) == -1)
            gapX = x;
    ASSERT_GT(gapX, margin);
    EXPECT_EQ(1, list.HitTest(gapX + list.m_nGap, 5));
    list.SetCurSel(0, TRUE);
    SendMessageA(list.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gapX, 5));
    EXPECT_EQ(0, list.GetCurSel());
    SendMessageA(list.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gapX + list.m_nGap, 5));
    EXPECT_EQ(1, list.GetCurSel());
    SendMessageA(list.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(gapX + list.m_nGap, 5));
    ASSERT_EQ(1u, g_accepted.size());
    EXPECT_EQ(1u, g_accepted[0].row);
    EXPECT_EQ(CString("word01"), m_prompt->GetItemText(1));
}

TEST_F(PromptWin, ManualActivationInsertsTheOnlyResultWithoutShowingIt)
{
    struct Case {
        int results;
        UINT completionKey;
        bool shown, accepted;
    } cases[] = {
        {1, 9, false, true},    // the only result goes in at once
        {3, 32, true, true},    // the space bar takes the first of several
        {3, 9, true, false},    // any other key leaves the choice to the user
    };
    for (const Case &c : cases) {
        m_prompt->ShowPrompt(FALSE);
        g_accepted.clear();
        g_bAutoCompletePending = TRUE;
        CompWordKey = c.completionKey;
        Fill(c.results);
        Pump(50);
        EXPECT_EQ(c.shown, IsWindowVisible(m_prompt->m_hWnd) != 0) << c.results << " " << c.completionKey;
        EXPECT_FALSE(g_bAutoCompletePending);
        ASSERT_EQ(c.accepted ? 1u : 0u, g_accepted.size()) << c.results << " " << c.completionKey;
        if (c.accepted) {
            EXPECT_EQ(0u, g_accepted[0].row);
            EXPECT_EQ(1, g_accepted[0].flag);
        }
    }
}

TEST_F(PromptWin, HidingAndClosing)
{
    Fill(3);
    ASSERT_TRUE(IsWindowVisible(m_prompt->m_hWnd));
    // Esc never closes it.
    SendMessageA(m_prompt->m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(m_prompt->m_hWnd));
    m_prompt->ShowPrompt(FALSE);
    EXPECT_FALSE(IsWindowVisible(m_prompt->m_hWnd));

    Fill(3);
    hWndManualActivate = m_editor.m_edit;
    SendMessageA(m_prompt->m_hWnd, WM_COMMAND, ID_PROMPT_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(m_prompt->m_hWnd));
    EXPECT_EQ(nullptr, hWndManualActivate);
    EXPECT_TRUE(IsWindow(m_prompt->m_hWnd));

    // The window's end stores where it was docked.
    delete m_prompt;
    m_prompt = nullptr;
    EXPECT_NE(-1, g_strIniText.Find("PromptDock=-1"));
    EXPECT_NE(-1, g_strIniText.Find("PromptDockedEdge=3"));
}

TEST_F(PromptWin, RowsOutliveTheEntriesTheyShow)
{
    Fill(4);
    ASSERT_EQ(4, m_prompt->GetItemCount());
    // Entries emptied behind the list's back: the rows keep indexes, so they
    // read nothing instead of freed text, and painting them is harmless.
    m_prompt->m_items.clear();
    EXPECT_EQ(CString(), m_prompt->m_wndList.GetRowText(0));
    InvalidateRect(m_prompt->m_wndList.m_hWnd, nullptr, TRUE);
    UpdateWindow(m_prompt->m_wndList.m_hWnd);
    EXPECT_EQ(CString(), m_prompt->GetItemText(0));
    // A fill beyond the lists lists "PromptNum" entries.
    g_nPromptNum = 100000;
    Fill(MAX_CANDIDATES);
    m_prompt->FillPrompt(1 << 30);
    EXPECT_EQ(static_cast<size_t>(MAX_CANDIDATES), m_prompt->m_items.size());
}
