#include "ListBox.h"

namespace {
const char kLayerClass[] = "LexantoLayerWnd";

// The list box whose creation is under way on this thread: its own
// WM_MEASUREITEM comes before it can be subclassed.
thread_local CListBox *t_creating = nullptr;
thread_local UINT t_creatingId = 0;
}  // namespace

BOOL CreateLayerWindow(CWnd &wnd, DWORD exStyle, const char *text, DWORD style, const RECT &rect, HWND parent,
                       UINT id)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kLayerClass, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kLayerClass;
        if (!RegisterClassA(&wc))
            return FALSE;
    }
    HWND window = CreateWindowExA(exStyle, kLayerClass, text ? text : "", style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    if (!window)
        return FALSE;
    if (!wnd.SubclassWindow(window)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    return TRUE;
}

BOOL CListBox::Create(DWORD style, const RECT &rect, CWnd *parent, UINT id)
{
    if (m_hWnd || !parent)
        return FALSE;
    CListBox *const outer = t_creating;
    const UINT outerId = t_creatingId;
    t_creating = this;
    t_creatingId = id;
    HWND window = CreateWindowExA(0, "LISTBOX", "", style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent->m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr),
                                  nullptr);
    t_creating = outer;
    t_creatingId = outerId;
    if (!window)
        return FALSE;
    if (!SubclassWindow(window)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    return TRUE;
}

BOOL CListBox::ReflectOwnerDraw(HWND parent, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_DRAWITEM) {
        auto *draw = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
        if (!draw || draw->CtlType != ODT_LISTBOX)
            return FALSE;
        auto *list = dynamic_cast<CListBox *>(CWnd::FromHandlePermanent(draw->hwndItem));
        if (!list)
            return FALSE;
        list->DrawItem(draw);
        return TRUE;
    }
    if (msg == WM_MEASUREITEM) {
        auto *measure = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        if (!measure || measure->CtlType != ODT_LISTBOX)
            return FALSE;
        CListBox *list = nullptr;
        if (t_creating && t_creatingId == measure->CtlID)
            list = t_creating;
        else
            list = dynamic_cast<CListBox *>(CWnd::FromHandlePermanent(::GetDlgItem(parent, static_cast<int>(measure->CtlID))));
        if (!list)
            return FALSE;
        list->MeasureItem(measure);
        return TRUE;
    }
    return FALSE;
}
