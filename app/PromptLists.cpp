#include "PromptLists.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "Candidates.h"
#include "PromptListsLayout.h"
#include "WordPrompt.h"

static_assert(sizeof(LOGFONTA) == sizeof(PromptFontData), "the prompt font is stored as a LOGFONT");

LOGFONTA PromptLogFont(bool bold)
{
    LOGFONTA font;
    std::memcpy(&font, &g_lfPromptFont, sizeof font);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    if (bold)
        font.lfWeight = FW_BOLD;
    return font;
}

void CPromptFonts::Refresh()
{
    if (m_valid && std::memcmp(&m_made, &g_lfPromptFont, sizeof m_made) == 0)
        return;
    const LOGFONTA normal = PromptLogFont(false), bold = PromptLogFont(true);
    m_normal.CreateFontIndirect(&normal);
    m_bold.CreateFontIndirect(&bold);
    std::memcpy(&m_made, &g_lfPromptFont, sizeof m_made);
    m_valid = true;
}

HFONT CPromptFonts::Normal()
{
    Refresh();
    return m_normal;
}

HFONT CPromptFonts::Bold()
{
    Refresh();
    return m_bold;
}

namespace {
SIZE TextSize(HDC dc, HFONT font, const CString &text)
{
    SIZE size = {0, 0};
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
    SelectObject(dc, old);
    return size;
}
}  // namespace

// ---------------------------------------------------------------------------
// CPromptList

CPromptList::CPromptList(CWordPrompt *prompt) : m_pPrompt(prompt)
{
    m_brBack = CreateSolidBrush(static_cast<COLORREF>(prompt->Settings().m_crBackColor));
}

CPromptList::~CPromptList()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND window = UnsubclassWindow();
        ::DestroyWindow(window);
    }
    DeleteObject(m_brBack);
}

CString CPromptList::GetRowText(int row)
{
    if (!m_hWnd || row < 0 || row >= GetCount())
        return CString();
    const LRESULT index = GetItemData(row);
    std::vector<CMatchItem> &items = m_pPrompt->Items();
    if (index < 0 || index >= static_cast<LRESULT>(items.size()))
        return CString();
    return items[static_cast<size_t>(index)].GetDisplayText();
}

void CPromptList::MeasureItem(MEASUREITEMSTRUCT *measure)
{
    HDC dc = GetDC(nullptr);
    const SIZE size = TextSize(dc, m_fonts.Bold(), "ABCDEFG");
    ReleaseDC(nullptr, dc);
    measure->itemHeight = static_cast<UINT>(size.cy + 2 * m_pPrompt->Settings().m_nPromptBoxMargin);
}

void CPromptList::DrawItem(DRAWITEMSTRUCT *draw)
{
    if (static_cast<int>(draw->itemID) < 0)
        return;
    const CAppSettings &settings = m_pPrompt->Settings();
    const int row = static_cast<int>(draw->itemID);
    CString text = GetRowText(row);
    // A single row needs no key to choose it.
    if (settings.m_bShowItemNumber && GetCount() > 1)
        text = FormatNumberedItem(text, row);

    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const COLORREF back = static_cast<COLORREF>(selected ? settings.m_crSelectedBack : settings.m_crBackColor);
    const COLORREF fore = static_cast<COLORREF>(selected ? settings.m_crSelectedText : settings.m_crTextColor);
    HDC dc = draw->hDC;
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &draw->rcItem, brush);
    DeleteObject(brush);
    SetBkColor(dc, back);
    SetTextColor(dc, fore);

    HFONT font = selected ? m_fonts.Bold() : reinterpret_cast<HFONT>(SendWithinThread(m_hWnd, WM_GETFONT));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const int margin = settings.m_nPromptBoxMargin;
    TextOutA(dc, draw->rcItem.left + margin, draw->rcItem.top + margin, text, text.GetLength());
    if (old)
        SelectObject(dc, old);
}

void CPromptList::PaintRows(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    const int count = GetCount();
    const int height = count > 0 ? GetItemHeight(0) : 0;
    const int selected = GetCurSel();
    const int shift = -GetScrollPos(m_hWnd, SB_HORZ);
    const int right = std::max(static_cast<int>(client.right), GetHorizontalExtent()) + shift;
    int y = 0;
    for (int row = std::max(0, GetTopIndex()); height > 0 && row < count && y < client.bottom;
         ++row, y += height) {
        DRAWITEMSTRUCT draw;
        std::memset(&draw, 0, sizeof draw);
        draw.CtlType = ODT_LISTBOX;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(m_hWnd));
        draw.itemID = static_cast<UINT>(row);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = row == selected ? ODS_SELECTED : 0;
        draw.hwndItem = m_hWnd;
        draw.hDC = dc;
        draw.rcItem = {shift, y, right, y + height};
        draw.itemData = static_cast<ULONG_PTR>(GetItemData(row));
        DrawItem(&draw);
    }
    if (y < client.bottom) {
        const RECT below = {0, y, client.right, client.bottom};
        FillRect(dc, &below, m_brBack);
    }
}

LRESULT CPromptList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pPrompt->PreTranslateInput(m_hWnd, msg, wParam, lParam))
        return 0;
    switch (msg) {
    case WM_PAINT: {
        // The rows are drawn here rather than by the list box, which would
        // hand every row to the prompt as a sent WM_DRAWITEM: under Wine
        // each costs round trips to the server, and the prompt is painted at
        // every key. What is drawn is the same.
        if (wParam) {
            PaintRows(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hWnd, &paint);
        PaintRows(dc);
        EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;  // every pixel is painted with the rows
    case WM_GETDLGCODE:
        return Default() | DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        // Select without the list box's own handling: no focus, no tracking.
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(m_hWnd, &point);
        const int row = LBItemFromPt(m_hWnd, point, FALSE);
        if (row >= 0)
            SetCurSel(row);
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = Default();
        m_pPrompt->ChoosePromptItem();
        return result;
    }
    default:
        return Default();
    }
}

// ---------------------------------------------------------------------------
// CHListBox

BOOL CHListBox::Create(CWnd *prompt, int width)
{
    const RECT rect = {0, 0, width, 30};
    return CreateLayerWindow(*this, WS_EX_CLIENTEDGE, "HListBox", WS_CHILD | WS_VISIBLE, rect,
                             prompt ? prompt->m_hWnd : nullptr, 1);
}

CString CHListBox::RowText(int row, const CString &text) const
{
    return m_pPrompt->Settings().m_bShowItemNumber ? FormatRowLabel(row, text) : text;
}

int CHListBox::TextWidth(HDC dc, const CString &text, bool bold)
{
    return TextSize(dc, bold ? m_fonts.Bold() : m_fonts.Normal(), text).cx;
}

int CHListBox::FillHList(std::vector<CMatchItem> &entries, int first, BOOL erase)
{
    m_strings.RemoveAll();
    RECT client;
    GetClientRect(&client);
    const int count = static_cast<int>(entries.size());
    if (first < 0)
        first = 0;
    std::vector<CString> shown;
    for (int index = first; index < count; ++index)
        shown.push_back(ShortenForHList(entries[static_cast<size_t>(index)].GetDisplayText()));

    HDC dc = GetDC(m_hWnd);
    // Measured as painted: labelled by the row in the page, and row 0 (which
    // the fill selects) in bold.
    const int rows = FitRowsForward(
        [&](int index, int row) { return TextWidth(dc, RowText(row, shown[static_cast<size_t>(index - first)]), row == 0); },
        first, count, client.right, m_nGap);
    ReleaseDC(m_hWnd, dc);
    for (int row = 0; row < rows; ++row)
        m_strings.Add(shown[static_cast<size_t>(row)]);
    m_nCurSel = 0;
    InvalidateRect(m_hWnd, nullptr, erase);
    return rows;
}

int CHListBox::NextPage(std::vector<CMatchItem> &entries, int &first)
{
    if (first + GetCount() >= static_cast<int>(entries.size()))
        return 0;
    first += GetCount();
    return FillHList(entries, first, TRUE);
}

int CHListBox::PrevPage(std::vector<CMatchItem> &entries, int &first)
{
    if (first <= 0)
        return 0;
    if (first > static_cast<int>(entries.size()))
        first = static_cast<int>(entries.size());
    RECT client;
    GetClientRect(&client);
    HDC dc = GetDC(m_hWnd);
    const int newFirst = WalkBackFirst(
        [&](int index, int) {
            return TextWidth(dc, RowText(index, ShortenForHList(entries[static_cast<size_t>(index)].GetDisplayText())),
                             false);
        },
        first, client.right, m_nGap);
    ReleaseDC(m_hWnd, dc);
    first = newFirst;
    return FillHList(entries, first, TRUE);
}

void CHListBox::SetCurSel(int row, BOOL redraw)
{
    m_nCurSel = row;
    if (redraw)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CHListBox::MoveSel(BOOL down)
{
    if (down) {
        if (m_nCurSel >= GetCount() - 1)
            return FALSE;
        ++m_nCurSel;
    } else {
        if (m_nCurSel <= 0)
            return FALSE;
        --m_nCurSel;
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

void CHListBox::Clear()
{
    m_strings.RemoveAll();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

int CHListBox::HitTest(int x, int)
{
    std::vector<int> widths;
    HDC dc = GetDC(m_hWnd);
    for (int row = 0; row < GetCount(); ++row)
        widths.push_back(TextWidth(dc, RowText(row, m_strings[row]), row == m_nCurSel));
    ReleaseDC(m_hWnd, dc);
    // The rows begin where painting begins, at the margin.
    return HitTestRow(widths, m_pPrompt->Settings().m_nPromptBoxMargin, m_nGap, x);
}

int CHListBox::GetRowHeight()
{
    HDC dc = GetDC(nullptr);
    const SIZE size = TextSize(dc, m_fonts.Bold(), "ABCDEFGHIJLK");
    ReleaseDC(nullptr, dc);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_CHILD | WS_VISIBLE, FALSE, WS_EX_CLIENTEDGE);
    return size.cy + (frame.bottom - frame.top) + 2 * m_pPrompt->Settings().m_nPromptBoxMargin;
}

void CHListBox::SwapRows(int a, int b)
{
    if (a < 0 || b < 0 || a >= GetCount() || b >= GetCount())
        return;
    const CString keep = m_strings[a];
    m_strings.SetAt(a, m_strings[b]);
    m_strings.SetAt(b, keep);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CHListBox::Paint()
{
    const CAppSettings &settings = m_pPrompt->Settings();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    int x = settings.m_nPromptBoxMargin;
    const int y = settings.m_nPromptBoxMargin;
    SetBkMode(dc, OPAQUE);
    HGDIOBJ old = SelectObject(dc, m_fonts.Normal());
    for (int row = 0; row < GetCount(); ++row) {
        const bool selected = row == m_nCurSel;
        SetBkColor(dc, static_cast<COLORREF>(selected ? settings.m_crSelectedBack : settings.m_crBackColor));
        SetTextColor(dc, static_cast<COLORREF>(selected ? settings.m_crSelectedText : settings.m_crTextColor));
        const CString label = RowText(row, m_strings[row]);
        SelectObject(dc, selected ? m_fonts.Bold() : m_fonts.Normal());
        TextOutA(dc, x, y, label, label.GetLength());
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, label, label.GetLength(), &size);
        x += size.cx + m_nGap;
    }
    SelectObject(dc, old);
    EndPaint(m_hWnd, &paint);
}

LRESULT CHListBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pPrompt->PreTranslateInput(m_hWnd, msg, wParam, lParam))
        return 0;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(&client);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(m_pPrompt->Settings().m_crBackColor));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return TRUE;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        const int row = HitTest(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (row >= 0)
            SetCurSel(row, TRUE);
        return Default();
    }
    case WM_LBUTTONDBLCLK:
        m_pPrompt->ChoosePromptItem();
        return Default();
    default:
        return Default();
    }
}
