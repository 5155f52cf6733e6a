#include "WordPrompt.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "Candidates.h"
#include "EngineSettings.h"
#include "HelpLinks.h"
#include "HookMessages.h"
#include "LatencyStamps.h"
#include "ProfileSettings.h"
#include "PromptOffer.h"
#include "RetrieveThread.h"
#include "SharedSection.h"
#include "UserMessage.h"
#include "WindowHelpers.h"
#include "WordCache.h"
#include "WordPromptLayout.h"
#include "resource.h"

CWordPrompt *g_pWordPrompt = nullptr;
const char kPromptSettingsSection[] = "Settings";

namespace {
bool LeftButtonDown() { return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0; }

PromptBox BoxOf(const RECT &r) { return {r.left, r.top, r.right, r.bottom}; }

// The prompt's children are moved and shown only when that changes
// something: under Wine every such call is a round trip to the server, and
// the prompt is laid out at every key.
bool HasVisibleStyle(HWND child) { return (GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE) != 0; }

void ShowChild(HWND child, bool show)
{
    if (child && HasVisibleStyle(child) != show)
        ::ShowWindow(child, show ? SW_SHOW : SW_HIDE);
}

// SWP_NOMOVE and SWP_NOSIZE for what stays as it is from one rectangle to
// the other.
UINT UnchangedFlags(const RECT &from, const RECT &to)
{
    UINT flags = 0;
    if (from.left == to.left && from.top == to.top)
        flags |= SWP_NOMOVE;
    if (from.right - from.left == to.right - to.left && from.bottom - from.top == to.bottom - to.top)
        flags |= SWP_NOSIZE;
    return flags;
}
const UINT kUnchanged = SWP_NOMOVE | SWP_NOSIZE;

void PlaceChild(HWND parent, HWND child, int x, int y, int cx, int cy)
{
    if (!child)
        return;
    RECT r;
    ::GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&r), 2);
    const RECT to = {x, y, x + cx, y + cy};
    const UINT how = UnchangedFlags(r, to);
    if (how != kUnchanged)
        ::SetWindowPos(child, nullptr, x, y, cx, cy, how | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

CWordPrompt::CWordPrompt(CAppSettings &settings)
    : CDialog(IDD_PROMPT), m_settings(settings), m_wndHList(this), m_wndList(this)
{
    m_nDockEdge = GetSettingInt("PromptDock", -1, kPromptSettingsSection);
    if (m_nDockEdge < -1 || m_nDockEdge > 3)
        m_nDockEdge = -1;
    m_nLastDockedEdge = GetSettingInt("PromptDockedEdge", 3, kPromptSettingsSection);
    if (m_nLastDockedEdge < 0 || m_nLastDockedEdge > 3)
        m_nLastDockedEdge = -1;
    SetHorz(GetSettingInt("PromptHorz", 0, kPromptSettingsSection) != 0);
}

CWordPrompt::~CWordPrompt()
{
    // Destroyed here, while the object is whole, so WM_DESTROY stores the
    // dock state and gives the screen strip back.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    if (g_pWordPrompt == this)
        g_pWordPrompt = nullptr;
}

BOOL CWordPrompt::Create(CWnd *mainWindow)
{
    m_hMainWnd = mainWindow ? mainWindow->m_hWnd : nullptr;
    return CDialog::Create(IDD_PROMPT, mainWindow);
}

void CWordPrompt::SetHorz(BOOL horz)
{
    m_bHorz = horz ? TRUE : FALSE;
    m_settings.m_bPromptHorz = m_bHorz;  // the settings code saves it
}

int CWordPrompt::VNumInPage() const
{
    if (IsHorizontalLayout())
        return -1;
    if (IsDocked())
        return 100;
    return std::max(1, m_settings.m_nNumInPage);
}

// ---------------------------------------------------------------------------
// Creation and layout

BOOL CWordPrompt::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateToolBar();
    if (HWND ok = GetDlgItem(IDOK))
        ::SetWindowPos(ok, nullptr, -10, -10, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);
    RecreatePromptList();
    m_wndHList.Create(this, m_settings.m_nHPromptWidth);
    Reset(0, 0);
    LayoutPrompt();
    AppBarMessage(ABM_NEW, m_nDockEdge, nullptr);
    if (IsDocked())
        DockPrompt(m_nDockEdge);
    // No focus: the prompt must never take it from the application typed in.
    return FALSE;
}

void CWordPrompt::CreateToolBar()
{
    INITCOMMONCONTROLSEX controls;
    std::memset(&controls, 0, sizeof controls);
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    // Images of the bitmap: previous, next, hide, dock, close, help.
    struct Button {
        int image, command;
    };
    const Button order[] = {{0, ID_PROMPT_PREV_PAGE}, {1, ID_PROMPT_NEXT_PAGE},   {5, ID_PROMPT_HELP},
                            {2, ID_PROMPT_SMALL_BUTTONS}, {3, ID_PROMPT_TOGGLE_DOCK}, {4, ID_PROMPT_CLOSE}};
    TBBUTTON buttons[6];
    std::memset(buttons, 0, sizeof buttons);
    for (int i = 0; i < 6; ++i) {
        buttons[i].iBitmap = order[i].image;
        buttons[i].idCommand = order[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    m_wndToolBar = CreateToolbarEx(m_hWnd,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                       CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                   IDC_PROMPT_TOOLBAR, 6, AfxGetResourceHandle(), IDR_PROMPT_TOOLBAR, buttons, 6, 0,
                                   0, 8, 8, sizeof(TBBUTTON));
    if (m_wndToolBar) {
        const SIZE size = ToolBarSize();
        ::SetWindowPos(m_wndToolBar, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE CWordPrompt::ToolBarSize() const
{
    SIZE size = {0, 0};
    if (!m_wndToolBar)
        return size;
    const int count = static_cast<int>(::SendMessageA(m_wndToolBar, TB_BUTTONCOUNT, 0, 0));
    RECT last = {0, 0, 0, 0};
    if (count > 0 && ::SendMessageA(m_wndToolBar, TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
                                    reinterpret_cast<LPARAM>(&last))) {
        size.cx = last.right;
        size.cy = last.bottom;
    }
    return size;
}

void CWordPrompt::RecreatePromptList()
{
    if (m_wndList.m_hWnd) {
        HWND old = m_wndList.UnsubclassWindow();
        ::DestroyWindow(old);
    }
    const LOGFONTA font = PromptLogFont(false);
    m_fontList.CreateFontIndirect(&font);
    const LOGFONTA bold = PromptLogFont(true);
    m_fontBold.CreateFontIndirect(&bold);
    const RECT rect = {0, 0, 1, 1};
    if (!m_wndList.Create(WS_CHILD | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | WS_HSCROLL | WS_BORDER | WS_VISIBLE,
                          rect, this, IDC_PROMPT_VLIST))
        return;
    m_wndList.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontList.GetSafeHandle()), FALSE);
    const LONG_PTR ex = GetWindowLongPtrA(m_wndList, GWL_EXSTYLE);
    SetWindowLongPtrA(m_wndList, GWL_EXSTYLE, ex | WS_EX_CLIENTEDGE);
    ::SetWindowPos(m_wndList, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CWordPrompt::LayoutPrompt()
{
    SIZE size;
    if (!MeasurePrompt(size))
        return;
    if (!IsSideDocked())
        ResizePrompt(size);
    ApplyListExtent();
}

void CWordPrompt::ApplyListExtent()
{
    if (IsHorizontalLayout() || m_wndList.GetHorizontalExtent() == m_nListExtent)
        return;
    m_wndList.SetHorizontalExtent(m_nListExtent);
    // The new range may have cut the scroll bar's page, which the list sets
    // only when it is resized: the page is the list's width.
    RECT client;
    ::GetClientRect(m_wndList, &client);
    SCROLLINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE;
    info.nPage = static_cast<UINT>(client.right);
    ::SetScrollInfo(m_wndList, SB_HORZ, &info, TRUE);
}

void CWordPrompt::ResizePrompt(SIZE size)
{
    const SIZE now = GetWindowSize(m_hWnd);
    if (now.cx == size.cx && now.cy == size.cy)
        return;
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWordPrompt::MeasurePrompt(SIZE &size)
{
    if (!m_wndList.IsWindow() || !m_wndHList.IsWindow())
        return FALSE;
    const SIZE frame = GetFrameSize(m_hWnd);
    int width = 0, height = 0;
    if (IsHorizontalLayout()) {
        height = m_wndHList.GetRowHeight() + frame.cy;
        width = IsDocked() ? GetWindowSize(m_hWnd).cx : m_settings.m_nHPromptWidth;
    } else {
        // The rows are replaced with the list's drawing off: one repaint
        // instead of one for every row.
        SendWithinThread(m_wndList, WM_SETREDRAW, FALSE);
        const int perPage = VNumInPage();
        const int first = std::max(0, m_wndList.m_nFirstItem);
        const int had = m_wndList.GetCount();
        HDC dc = ::GetDC(m_wndList);
        HGDIOBJ old = SelectObject(dc, m_fontBold);
        int widest = 0, rows = 0;
        for (size_t index = static_cast<size_t>(first); index < m_items.size() && rows < perPage; ++index, ++rows) {
            // The row keeps the entry's index: the entries may be replaced
            // while the list still shows them. Rows already there are
            // reused (a row removed costs a message to the owner).
            if (rows >= had)
                m_wndList.AddString(static_cast<LPARAM>(index));
            else if (m_wndList.GetItemData(rows) != static_cast<LRESULT>(index))
                m_wndList.SetItemData(rows, static_cast<LPARAM>(index));
            CString text = m_items[index].GetDisplayText();
            if (m_settings.m_bShowItemNumber)
                text = FormatNumberedItem(text, rows);
            SIZE size = {0, 0};
            GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, old);
        ::ReleaseDC(m_wndList, dc);
        for (int extra = had - 1; extra >= rows; --extra)
            m_wndList.DeleteString(extra);
        // The first row is selected before the list is drawn again, so the
        // selection costs no paint of its own.
        if (rows > 0)
            m_wndList.SetCurSel(0);
        SendWithinThread(m_wndList, WM_SETREDRAW, TRUE);
        ::InvalidateRect(m_wndList, nullptr, TRUE);

        // A wider extent waits for the window's new size: set against the
        // old width, it would show the scroll bar only for the resize to
        // hide it again.
        const int extent = widest + 2 * m_settings.m_nPromptBoxMargin;
        m_nListExtent = extent;
        RECT listClient;
        ::GetClientRect(m_wndList, &listClient);
        if (extent <= listClient.right)
            ApplyListExtent();
        const int rowHeight = m_wndList.GetItemHeight(0);
        const SIZE listFrame = GetFrameSize(m_wndList);
        int w = 0, listHeight = 0;
        if (IsAutoSize()) {
            w = std::max(std::min(extent, m_settings.m_nMaxPromptWidth), 80);
            listHeight = rowHeight * rows + listFrame.cy;
            width = listFrame.cx + frame.cx + w;
        } else {
            width = m_settings.m_nVPromptWidth;
            listHeight = perPage * rowHeight + listFrame.cy;
            w = extent;
        }
        g_nNumWord = rows;
        if (!m_settings.m_bShowGadget)
            ShowChild(m_wndToolBar, false);
        height = frame.cy + (extent - w > 4 ? 16 : 0) + (m_settings.m_bShowGadget ? ToolBarSize().cy : 0) +
                 listHeight - 2;
    }
    size.cx = width;
    size.cy = height;
    return TRUE;
}

void CWordPrompt::LayoutPromptControls()
{
    if (!m_wndList.IsWindow() || !m_wndHList.IsWindow())
        return;
    const SIZE window = GetWindowSize(m_hWnd);
    const SIZE frame = GetFrameSize(m_hWnd);
    const SIZE bar = ToolBarSize();
    const bool gadget = m_settings.m_bShowGadget != 0;
    if (IsHorizontalLayout()) {
        ShowChild(m_wndToolBar, gadget);
        const int listWidth = window.cx - (gadget ? bar.cx + 4 : 0) - frame.cx;
        PlaceChild(m_hWnd, m_wndHList, 0, 0, listWidth, window.cy - frame.cy);
        ShowChild(m_wndHList, true);
        ShowChild(m_wndList, false);
        if (gadget)
            PlaceChild(m_hWnd, m_wndToolBar, listWidth + 4, (window.cy - frame.cy - bar.cy) / 2 + 1, bar.cx, bar.cy);
    } else {
        RECT client;
        GetClientRect(&client);
        const int top = (bar.cy + 2) * (gadget ? 1 : 0) - 2;
        // The list's border lies outside the client area.
        PlaceChild(m_hWnd, m_wndList, -2, top, client.right + 4, client.bottom + 2 - top);
        PlaceChild(m_hWnd, m_wndToolBar, 0, 0, bar.cx, bar.cy);
        ShowChild(m_wndToolBar, gadget);
        ShowChild(m_wndList, true);
        ShowChild(m_wndHList, false);
    }
}

// ---------------------------------------------------------------------------
// Filling and showing

void CWordPrompt::Reset(int x, int y)
{
    m_nPage = 0;
    m_wndList.m_nFirstItem = 0;
    m_ptCaret.x = x;
    m_ptCaret.y = y;
    // The list's rows stay until the fill sets them: each row removed costs
    // the list a message to its owner, and a request is made at every key.
    // Until then they name no entry and draw none.
    if (m_wndHList.IsWindow())
        m_wndHList.Clear();
    m_items.clear();
    WithdrawPromptOffer();
}

void CWordPrompt::FillPrompt(int n)
{
    if (n == 0 && !::IsWindowVisible(m_hWnd))
        return;
    const int old = static_cast<int>(m_items.size());
    const bool first = m_items.empty();
    const CString typed(g_szRequestWord, static_cast<int>(strnlen(g_szRequestWord, sizeof g_szRequestWord - 1)));
    n = AppendCandidateItems(m_items, n, g_nResultKind, typed, PromptNum());
    if (n <= 0) {
        // Nothing for this request: rows left from the last one go.
        if (m_items.empty())
            ClearPromptItems();
        return;
    }

    const bool pending = g_bAutoCompletePending;
    int flags = first ? UPDATE_ERASE : 0;
    if (pending && n == 1)
        flags |= UPDATE_NO_SHOW;

    // A second list of the same request is shown only when it lands on the
    // page in view, so a prompt showing a later page does not move.
    bool onPage;
    if (IsHorizontalLayout()) {
        onPage = m_wndHList.GetCount() + m_wndList.m_nFirstItem == old;
    } else {
        const int perPage = VNumInPage();
        onPage = perPage * m_nPage <= old && old < perPage * (m_nPage + 1);
    }
    if (onPage)
        UpdatePrompt(flags);

    if (pending) {
        g_bAutoCompletePending = FALSE;
        if (n == 1 || CompWordKey == 32)
            ChooseFirstRowForActivation();
    }
    StampLatency(LATENCY_PROMPT_FILLED);
    if (g_bLatencyProbe)
        ++g_nLatencyFills;
}

void CWordPrompt::UpdatePrompt(int flags)
{
    if (!m_wndList.IsWindow() || !m_wndHList.IsWindow())
        return;
    const BOOL horizontal = IsHorizontalLayout();
    ShowChild(m_wndHList, horizontal != FALSE);
    ShowChild(m_wndList, horizontal == FALSE);
    if (horizontal)
        m_wndHList.FillHList(m_items, m_wndList.m_nFirstItem, (flags & UPDATE_ERASE) != 0);
    SIZE size;
    const BOOL measured = !(flags & UPDATE_NO_RESIZE) && MeasurePrompt(size);
    ShowPromptAt(flags, measured && !IsSideDocked() ? &size : nullptr);
    if (measured)
        ApplyListExtent();
    if (!horizontal && m_wndList.GetCount() > 0 && m_wndList.GetCurSel() != 0)
        m_wndList.SetCurSel(0);
    PublishRows();
}

void CWordPrompt::PublishRows()
{
    if (m_items.empty() || GetItemCount() <= 0)
        WithdrawPromptOffer();
    else
        PublishOffer(m_items, m_wndList.m_nFirstItem, GetItemCount(), SelectedRow());
}

void CWordPrompt::MoveArrived()
{
    // The hook counted this move as on its way; keys choose from the offer
    // again once none is.
    for (LONG n = g_nOfferMoves; n > 0; n = g_nOfferMoves)
        if (InterlockedCompareExchange(&g_nOfferMoves, n - 1, n) == n)
            break;
}

void CWordPrompt::ChooseFirstRowForActivation()
{
    // Typed by the hook in the target's own thread when it can, so that it
    // lands only if the user has not typed on; the program types the rest.
    const HWND target = CurrentOfferRequest().target;
    if (HookTypesOfferRow(0) && target && ::IsWindow(target))
        ::PostMessageA(target, WM_HOOK_ACCEPT, 0, 0);
    else
        ::PostMessageA(m_hMainWnd, WM_ACCEPT_ITEM, 0, 1);
}

void CWordPrompt::ShowPromptAt(int flags, const SIZE *newSize)
{
    // The new size, the place at the caret and the showing on top are one
    // window operation: under Wine each costs a round trip to the server
    // and the display, and a prompt is filled at every key.
    RECT rect;
    GetWindowRect(&rect);
    const RECT before = rect;
    if (newSize) {
        rect.right = rect.left + newSize->cx;
        rect.bottom = rect.top + newSize->cy;
    }
    if (!(flags & UPDATE_NO_MOVE) && !IsDocked())
        PlacePromptAtCaret(rect.right - rect.left, rect.bottom - rect.top, rect);
    const UINT how = UnchangedFlags(before, rect) | SWP_NOACTIVATE;
    // A docked prompt is shown the usual way: its screen strip is claimed
    // when it is shown.
    if ((flags & UPDATE_NO_SHOW) || IsDocked()) {
        if ((how & kUnchanged) != kUnchanged)
            SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         how | SWP_NOZORDER);
        if (!(flags & UPDATE_NO_SHOW))
            ShowPrompt(TRUE);
        return;
    }
    SetWindowPos(HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 how | SWP_SHOWWINDOW);
}

void CWordPrompt::ShowPrompt(BOOL show)
{
    if (!show) {
        WithdrawPromptOffer();
        ShowWindow(SW_HIDE);
        return;
    }
    ShowWindow(SW_SHOWNOACTIVATE);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (IsDocked() ? SWP_NOZORDER : 0));
}

void CWordPrompt::PlacePromptAtCaret(int cx, int cy, RECT &rect)
{
    // The user is dragging the prompt or clicking in it.
    if (LeftButtonDown())
        return;
    if (m_settings.m_nPromptPosition == 1 && m_ptCaret.x != -1) {
        const int h = g_nCaretLineHeight ? g_nCaretLineHeight : 25;
        if (m_settings.m_bCenterHorizontalPromptBox && m_bHorz) {
            SetRect(&rect, m_ptCaret.x - cx / 2, m_ptCaret.y + h + 4, m_ptCaret.x - cx / 2 + cx,
                    m_ptCaret.y + h + 4 + cy);
            return;
        }
        CaretPlacement place;
        place.caretX = m_ptCaret.x;
        place.caretY = m_ptCaret.y;
        place.lineHeight = g_nCaretLineHeight;
        place.cx = cx;
        place.cy = cy;
        RECT desktop;
        ::GetWindowRect(GetDesktopWindow(), &desktop);
        place.desktop = BoxOf(desktop);
        place.screenCx = GetSystemMetrics(SM_CXSCREEN);
        place.screenCy = GetSystemMetrics(SM_CYSCREEN);
        const HWND root = hFocusEdit ? GetAncestor(hFocusEdit, GA_ROOT) : nullptr;
        if (root != m_hAboveRoot || GetTickCount() - m_tkAboveRead > 1000) {
            // Under Wine each window asked about costs round trips to the
            // server: while the user types on, the windows are read once.
            m_aboveRoot.clear();
            for (HWND above = root ? ::GetWindow(root, GW_HWNDPREV) : nullptr; above;
                 above = ::GetWindow(above, GW_HWNDPREV)) {
                if (above == m_hWnd || above == m_wndList.m_hWnd || !::IsWindowVisible(above))
                    continue;
                RECT r;
                ::GetWindowRect(above, &r);
                m_aboveRoot.push_back(BoxOf(r));
            }
            m_hAboveRoot = root;
            m_tkAboveRead = GetTickCount();
        }
        place.windows = m_aboveRoot;
        PromptBox box;
        ChoosePromptBox(place, box);
        SetRect(&rect, box.left, box.top, box.right, box.bottom);
        return;
    }
    SetRect(&rect, m_settings.m_nPromptPointX, m_settings.m_nPromptPointY, m_settings.m_nPromptPointX + cx,
            m_settings.m_nPromptPointY + cy);
}

void CWordPrompt::SavePromptGeometry()
{
    RECT r;
    GetWindowRect(&r);
    if (!IsDocked() && (m_settings.m_nPromptPosition == 0 || m_ptCaret.x == -1)) {
        m_settings.m_nPromptPointX = r.left;
        m_settings.m_nPromptPointY = r.top;
    }
    if (IsHorizontalLayout() && !IsDocked())
        m_settings.m_nHPromptWidth = r.right - r.left;
    else if (!IsAutoSize())
        m_settings.m_nVPromptWidth = r.right - r.left;
}

void CWordPrompt::ClearPromptItems()
{
    m_items.clear();
    WithdrawPromptOffer();
    if (IsHorizontalLayout())
        m_wndHList.Clear();
    else if (m_wndList.IsWindow())
        m_wndList.ResetContent();
}

int CWordPrompt::GetItemCount()
{
    if (IsHorizontalLayout())
        return m_wndHList.GetCount();
    return m_wndList.IsWindow() ? m_wndList.GetCount() : 0;
}

int CWordPrompt::SelectedRow()
{
    if (IsHorizontalLayout())
        return m_wndHList.GetCurSel();
    return m_wndList.IsWindow() ? m_wndList.GetCurSel() : -1;
}

CMatchItem CWordPrompt::GetItem(int row)
{
    const int count = GetItemCount();
    if (m_items.empty() || count <= 0)
        return CMatchItem();
    if (row == -1)
        row = SelectedRow();
    if (count == 1)
        row = 0;
    const int index = row + m_wndList.m_nFirstItem;
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return CMatchItem();
    return m_items[static_cast<size_t>(index)];
}

CString CWordPrompt::GetItemText(int row) { return GetItem(row).m_strText; }

CString CWordPrompt::GetItemKey(int row) { return GetItem(row).m_strKey; }

void CWordPrompt::ChoosePromptItem()
{
    if (m_hLastFocus && ::IsWindow(m_hLastFocus))
        ::SetForegroundWindow(m_hLastFocus);
    if (m_settings.m_nCopyDelay > 0)
        Sleep(static_cast<DWORD>(m_settings.m_nCopyDelay));
    ::SendMessageA(m_hMainWnd, WM_ACCEPT_ITEM, static_cast<WPARAM>(static_cast<INT_PTR>(SelectedRow())), 1);
}

void CWordPrompt::OnOK() { ChoosePromptItem(); }

// ---------------------------------------------------------------------------
// Paging and selection

void CWordPrompt::OnPromptLine(UINT key)
{
    MoveSelection(key);
    PublishRows();
}

void CWordPrompt::MoveSelection(UINT key)
{
    if (IsHorizontalLayout()) {
        if (!m_wndHList.MoveSel(key == VK_DOWN)) {
            if (key == VK_DOWN)
                NextPage();
            else
                PrevPage();
        }
        return;
    }
    const int sel = m_wndList.GetCurSel();
    const int count = m_wndList.GetCount();
    if (key == VK_UP) {
        if (count < 1 || sel <= 0)
            PrevPage();
        else
            m_wndList.SetCurSel(sel - 1);
    } else if (key == VK_DOWN) {
        if (count < 1 || sel >= count - 1)
            NextPage();
        else
            m_wndList.SetCurSel(sel + 1);
    }
}

void CWordPrompt::PrevPage()
{
    if (m_wndList.m_nFirstItem == 0)
        return;
    if (IsHorizontalLayout()) {
        m_wndHList.PrevPage(m_items, m_wndList.m_nFirstItem);
        PublishRows();
        return;
    }
    m_wndList.m_nFirstItem = std::max(0, m_wndList.m_nFirstItem - VNumInPage());
    m_nPage = std::max(0, m_nPage - 1);
    UpdatePrompt(0);
}

void CWordPrompt::NextPage()
{
    if (IsHorizontalLayout()) {
        m_wndHList.NextPage(m_items, m_wndList.m_nFirstItem);
        PublishRows();
        return;
    }
    if (m_wndList.m_nFirstItem + VNumInPage() < static_cast<int>(m_items.size())) {
        m_wndList.m_nFirstItem += VNumInPage();
        ++m_nPage;
        UpdatePrompt(UPDATE_NO_MOVE);
    }
}

// ---------------------------------------------------------------------------
// Docking

void CWordPrompt::AppBarMessage(DWORD message, int edge, const RECT *rect)
{
    APPBARDATA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uCallbackMessage = WM_APPBAR_CALLBACK;
    data.uEdge = static_cast<UINT>(edge);
    if (rect)
        data.rc = *rect;
    SHAppBarMessage(message, &data);
}

void CWordPrompt::SetPromptAppBarPos()
{
    RECT r;
    GetWindowRect(&r);
    AppBarMessage(ABM_SETPOS, m_nDockEdge, &r);
}

void CWordPrompt::ReleasePromptAppBarSpace()
{
    if (!IsDocked())
        return;
    const RECT empty = {0, 0, 0, 0};
    AppBarMessage(ABM_SETPOS, -1, &empty);
}

void CWordPrompt::DockPrompt(int edge)
{
    m_nDockEdge = edge;
    if (edge != -1)
        m_nLastDockedEdge = edge;
    APPBARDATA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uEdge = static_cast<UINT>(edge);
    if (edge != -1) {
        SetRect(&data.rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        SHAppBarMessage(ABM_QUERYPOS, &data);
        const int strip = m_wndHList.GetRowHeight() + GetFrameSize(m_hWnd).cy;
        switch (edge) {
        case 0:
            data.rc.right = data.rc.left + m_settings.m_nVPromptWidth;
            break;
        case 1:
            data.rc.bottom = data.rc.top + strip;
            break;
        case 2:
            data.rc.left = data.rc.right - m_settings.m_nVPromptWidth;
            break;
        case 3:
            data.rc.top = data.rc.bottom - strip;
            break;
        default:
            break;
        }
        SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SHAppBarMessage(ABM_SETPOS, &data);
    if (edge != -1)
        MoveWindow(data.rc.left, data.rc.top, data.rc.right - data.rc.left, data.rc.bottom - data.rc.top);
    UpdatePrompt(0);
}

// ---------------------------------------------------------------------------
// Menu and commands

int CWordPrompt::HitTestItem(POINT screen)
{
    if (IsHorizontalLayout()) {
        POINT client = screen;
        ScreenToClient(m_wndHList, &client);
        return m_wndHList.HitTest(client.x, client.y);
    }
    return m_wndList.IsWindow() ? LBItemFromPt(m_wndList, screen, FALSE) : -1;
}

void CWordPrompt::ShowPromptMenu(POINT screen)
{
    HMENU menu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_PROMPT_MENU));
    if (!menu)
        return;
    const int promptPos = FindMenuItemPos(menu, "Prompt");
    HMENU popup = GetSubMenu(menu, promptPos < 0 ? 0 : promptPos);
    const UINT grey = MF_BYCOMMAND | MF_GRAYED;
    auto check = [popup](UINT id, bool on) { CheckMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
    check(ID_PROMPT_TOGGLE_DOCK, IsDocked() != 0);
    const int horz = FindMenuItemPos(popup, "Horizontal");
    if (horz >= 0)
        CheckMenuRadioItem(popup, static_cast<UINT>(horz), static_cast<UINT>(horz + 1),
                           static_cast<UINT>(m_bHorz ? horz : horz + 1), MF_BYPOSITION);
    check(ID_PROMPT_FIXED_POSITION, m_settings.m_nPromptPosition == 0);
    check(ID_PROMPT_CARET_FOLLOWING, m_settings.m_nPromptPosition == 1);
    check(ID_PROMPT_AUTO_SIZE, m_settings.m_bAutoSizeVPrompt != 0);
    check(ID_PROMPT_AUTO_HIDE, m_settings.m_bAutoHidePrompt != 0);
    check(ID_PROMPT_SMALL_BUTTONS, m_settings.m_bShowGadget != 0);
    const int edgePos = FindMenuItemPos(popup, "Dock Edge");
    if (HMENU edges = edgePos >= 0 ? GetSubMenu(popup, edgePos) : nullptr)
        CheckMenuRadioItem(edges, 0, 5, static_cast<UINT>(m_nDockEdge == -1 ? 5 : m_nDockEdge), MF_BYPOSITION);
    if (IsDocked()) {
        EnableMenuItem(popup, ID_PROMPT_HORIZONTAL, grey);
        EnableMenuItem(popup, ID_PROMPT_VERTICAL, grey);
        EnableMenuItem(popup, ID_PROMPT_AUTO_HIDE, grey);
    }
    if (IsHorizontalLayout() || IsDocked())
        EnableMenuItem(popup, ID_PROMPT_AUTO_SIZE, grey);

    const int row = HitTestItem(screen);
    if (row >= 0) {
        if (IsHorizontalLayout())
            m_wndHList.SetCurSel(row, TRUE);
        else
            m_wndList.SetCurSel(row);
    }
    const bool word = row >= 0 && !GetItem(row).IsShorthand();
    if (!word)
        EnableMenuItem(popup, ID_PROMPT_DELETE_ENTRY, grey);
    // The top-word dialog and the options dialog are not part of the program
    // yet: their entries stay greyed until they are.
    EnableMenuItem(popup, ID_PROMPT_SET_TOP_WORD, grey);
    EnableMenuItem(popup, ID_PROMPT_CUSTOM_STYLE, grey);

    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
}

void CWordPrompt::DeleteEntry()
{
    const int row = SelectedRow();
    const int index = row + m_wndList.m_nFirstItem;
    if (row < 0 || index < 0 || index >= static_cast<int>(m_items.size()))
        return;
    if (DeleteWordBothCases(m_items[static_cast<size_t>(index)].m_strText)) {
        m_items.erase(m_items.begin() + index);
        UpdatePrompt(UPDATE_ERASE);
    }
}

void CWordPrompt::MoveEntry(bool up)
{
    const int row = SelectedRow();
    const int otherRow = up ? row - 1 : row + 1;
    const int index = row + m_wndList.m_nFirstItem;
    const int other = otherRow + m_wndList.m_nFirstItem;
    const int size = static_cast<int>(m_items.size());
    if (row < 0 || otherRow < 0 || otherRow >= GetItemCount() || index >= size || other >= size)
        return;
    if (!SetCountRelativeTo(m_items[static_cast<size_t>(index)].m_strText, m_items[static_cast<size_t>(other)].m_strText,
                            up ? 10 : -1)) {
        ShowMessage(up ? "Failed to bump up the word position due to some error."
                       : "Failed to push down the word position due to some error.");
        return;
    }
    std::swap(m_items[static_cast<size_t>(index)], m_items[static_cast<size_t>(other)]);
    // The selection stays on its row; the rows show the entries in their new order.
    if (IsHorizontalLayout())
        m_wndHList.SwapRows(row, otherRow);
    else
        InvalidateRect(m_wndList, nullptr, TRUE);
}

BOOL CWordPrompt::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_PROMPT_PREV_PAGE:
        PrevPage();
        return TRUE;
    case ID_PROMPT_NEXT_PAGE:
        NextPage();
        return TRUE;
    case ID_PROMPT_HELP:
        ShowPrompt(FALSE);
        ShowHelpTopic("promptbox.htm");
        return TRUE;
    case ID_PROMPT_SMALL_BUTTONS:
        m_settings.m_bShowGadget = !m_settings.m_bShowGadget;
        LayoutPromptControls();
        UpdatePrompt(0);
        return TRUE;
    case ID_PROMPT_TOGGLE_DOCK:
        DockPrompt(IsDocked() ? -1 : m_nLastDockedEdge);
        return TRUE;
    case ID_PROMPT_CLOSE:
        hWndManualActivate = nullptr;
        ShowPrompt(FALSE);
        ReleasePromptAppBarSpace();
        OnCancel();
        return TRUE;
    case ID_PROMPT_DOCK_LEFT:
        DockPrompt(0);
        return TRUE;
    case ID_PROMPT_DOCK_TOP:
        DockPrompt(1);
        return TRUE;
    case ID_PROMPT_DOCK_RIGHT:
        DockPrompt(2);
        return TRUE;
    case ID_PROMPT_DOCK_BOTTOM:
        DockPrompt(3);
        return TRUE;
    case ID_PROMPT_DOCK_FLOAT:
        DockPrompt(-1);
        return TRUE;
    case ID_PROMPT_HORIZONTAL:
    case ID_PROMPT_VERTICAL:
        SetHorz(LOWORD(wParam) == ID_PROMPT_HORIZONTAL);
        UpdatePrompt(0);
        UpdatePrompt(0);
        return TRUE;
    case ID_PROMPT_FIXED_POSITION:
        m_settings.m_nPromptPosition = 0;
        return TRUE;
    case ID_PROMPT_CARET_FOLLOWING:
        m_settings.m_nPromptPosition = 1;
        m_settings.m_bAutoHidePrompt = 1;
        return TRUE;
    case ID_PROMPT_AUTO_SIZE:
        m_settings.m_bAutoSizeVPrompt = !m_settings.m_bAutoSizeVPrompt;
        return TRUE;
    case ID_PROMPT_AUTO_HIDE:
        m_settings.m_bAutoHidePrompt = !m_settings.m_bAutoHidePrompt;
        return TRUE;
    case ID_PROMPT_DELETE_ENTRY:
        DeleteEntry();
        return TRUE;
    case ID_PROMPT_MOVE_UP:
    case ID_PROMPT_MOVE_DOWN:
        MoveEntry(LOWORD(wParam) == ID_PROMPT_MOVE_UP);
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

HBRUSH CWordPrompt::OnCtlColor(HDC, HWND control, UINT)
{
    return control && control == m_wndList.m_hWnd ? m_wndList.m_brBack : nullptr;
}

// ---------------------------------------------------------------------------
// Messages

BOOL CWordPrompt::PreTranslateInput(HWND, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_PRIOR || wParam == VK_NEXT) {
            if (wParam == VK_PRIOR)
                PrevPage();
            else
                NextPage();
            return TRUE;
        }
        if (wParam == VK_UP || wParam == VK_DOWN) {
            OnPromptLine(static_cast<UINT>(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_RBUTTONDOWN: {
        POINT point;
        GetCursorPos(&point);
        ShowPromptMenu(point);
        return FALSE;
    }
    case WM_LBUTTONDOWN:
        // A press anywhere on the floating prompt drags it.
        if (!IsDocked()) {
            POINT point;
            GetCursorPos(&point);
            PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CWordPrompt::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PROMPT_PAGE:
        if (wParam == VK_PRIOR)
            PrevPage();
        else
            NextPage();
        MoveArrived();
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_PROMPT_LINE:
        OnPromptLine(static_cast<UINT>(wParam));
        MoveArrived();
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_APPBAR_CALLBACK:
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_NCHITTEST: {
        // Only the width can be dragged.
        LRESULT hit = DefWindowProcA(m_hWnd, msg, wParam, lParam);
        if (hit == HTTOP || hit == HTBOTTOM)
            hit = HTNOWHERE;
        else if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT)
            hit = HTLEFT;
        else if (hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT)
            hit = HTRIGHT;
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, hit);
        return TRUE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            m_hLastFocus = hLastFocus;
        AppBarMessage(ABM_ACTIVATE, m_nDockEdge, nullptr);
        return FALSE;
    case WM_WINDOWPOSCHANGED:
        if (IsDocked())
            AppBarMessage(ABM_WINDOWPOSCHANGED, m_nDockEdge, nullptr);
        return FALSE;
    case WM_SHOWWINDOW:
        if (IsDocked() && wParam)
            SetPromptAppBarPos();
        return FALSE;
    case WM_SIZE:
        LayoutPromptControls();
        if (IsDocked() && !LeftButtonDown())
            SetPromptAppBarPos();
        return FALSE;
    case WM_EXITSIZEMOVE:
        SavePromptGeometry();
        if (IsDocked())
            SetPromptAppBarPos();
        UpdatePrompt(UPDATE_ERASE | UPDATE_NO_MOVE | UPDATE_NO_RESIZE);
        return TRUE;
    case WM_DESTROY:
        WriteSettingInt("PromptDock", m_nDockEdge, kPromptSettingsSection);
        WriteSettingInt("PromptDockedEdge", m_nLastDockedEdge, kPromptSettingsSection);
        AppBarMessage(ABM_REMOVE, m_nDockEdge, nullptr);
        break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (CListBox::ReflectOwnerDraw(m_hWnd, msg, wParam, lParam)) {
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header && (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW)) {
            // The tooltip of a small button is its command's string.
            if (header->code == TTN_GETDISPINFOA) {
                auto *info = reinterpret_cast<NMTTDISPINFOA *>(lParam);
                info->hinst = AfxGetResourceHandle();
                info->lpszText = MAKEINTRESOURCEA(header->idFrom);
            } else {
                auto *info = reinterpret_cast<NMTTDISPINFOW *>(lParam);
                info->hinst = AfxGetResourceHandle();
                info->lpszText = MAKEINTRESOURCEW(header->idFrom);
            }
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        if (PreTranslateInput(m_hWnd, msg, wParam, lParam))
            return TRUE;
        break;
    default:
        break;
    }
    return CDialog::DialogProc(msg, wParam, lParam);
}
