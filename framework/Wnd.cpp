#include "Wnd.h"

namespace {
// The object of a window is kept in a window property, so any procedure of
// the layer can find it from the handle alone.
const char kObjectProp[] = "LexantoWndObject";
HINSTANCE g_hResource = nullptr;
}

HINSTANCE AfxGetResourceHandle() { return g_hResource ? g_hResource : GetModuleHandleA(nullptr); }

void AfxSetResourceHandle(HINSTANCE instance) { g_hResource = instance; }

CWnd::~CWnd()
{
    if (m_pfnSuper)
        UnsubclassWindow();
    else if (m_hWnd)
        Detach();
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropA(window, kObjectProp, reinterpret_cast<HANDLE>(this));
}

void CWnd::Detach()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && GetPropA(m_hWnd, kObjectProp) == reinterpret_cast<HANDLE>(this))
        RemovePropA(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
}

CWnd *CWnd::FromHandlePermanent(HWND window)
{
    return window ? reinterpret_cast<CWnd *>(GetPropA(window, kObjectProp)) : nullptr;
}

BOOL CWnd::SubclassWindow(HWND window)
{
    if (!window || !::IsWindow(window) || m_hWnd || FromHandlePermanent(window))
        return FALSE;
    Attach(window);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (!m_pfnSuper) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(int id, CWnd *parent)
{
    return parent && SubclassWindow(parent->GetDlgItem(id));
}

HWND CWnd::UnsubclassWindow()
{
    HWND window = m_hWnd;
    if (window && m_pfnSuper && ::IsWindow(window))
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    return window;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd *self = FromHandlePermanent(window);
    if (!self || !self->m_pfnSuper)
        return DefWindowProcA(window, msg, wParam, lParam);
    const Current saved = self->m_current;
    self->m_current = {msg, wParam, lParam};
    LRESULT result = self->WindowProc(msg, wParam, lParam);
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        self->UnsubclassWindow();
        self->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CWnd::Default()
{
    if (m_pfnSuper)
        return CallWindowProcA(m_pfnSuper, m_hWnd, m_current.msg, m_current.wParam, m_current.lParam);
    return DefWindowProcA(m_hWnd, m_current.msg, m_current.wParam, m_current.lParam);
}

namespace {
// The objects of the window and its parents get the message in turn, the
// innermost first.
BOOL PreTranslateThroughParents(MSG &msg)
{
    for (HWND w = msg.hwnd; w; w = GetParent(w)) {
        if (CWnd *object = CWnd::FromHandlePermanent(w))
            if (object->PreTranslateMessage(&msg))
                return TRUE;
    }
    return FALSE;
}
}

void CWnd::RunModalLoop()
{
    MSG msg;
    while (m_hWnd && ::IsWindow(m_hWnd)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (!got) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateThroughParents(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::CenterWindow()
{
    RECT window, desktop;
    ::GetWindowRect(m_hWnd, &window);
    ::GetWindowRect(GetDesktopWindow(), &desktop);
    const int cx = window.right - window.left;
    const int cy = window.bottom - window.top;
    ::SetWindowPos(m_hWnd, nullptr, desktop.left + (desktop.right - desktop.left - cx) / 2,
                   desktop.top + (desktop.bottom - desktop.top - cy) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
CString TextOf(HWND window)
{
    CString text;
    const int length = window ? GetWindowTextLengthA(window) : 0;
    if (length > 0) {
        const int got = GetWindowTextA(window, text.GetBufferSetLength(length + 1), length + 1);
        text.ReleaseBuffer(got > 0 ? got : 0);
    }
    return text;
}
}

CString CWnd::GetWindowText() const { return TextOf(m_hWnd); }

CString CWnd::GetDlgItemText(int id) const { return TextOf(GetDlgItem(id)); }

BOOL CFont::CreateFontIndirect(const LOGFONTA *font)
{
    DeleteObject();
    m_hFont = ::CreateFontIndirectA(font);
    return m_hFont != nullptr;
}

BOOL CFont::DeleteObject()
{
    if (!m_hFont)
        return FALSE;
    ::DeleteObject(m_hFont);
    m_hFont = nullptr;
    return TRUE;
}
