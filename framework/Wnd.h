// Window classes of the class-library layer: a thin object over an HWND,
// subclassing of existing controls, and the GDI font wrapper. Messages reach
// an object through the virtual WindowProc; Default() runs the handling the
// window had before it was subclassed.
#pragma once

#include <windows.h>

#include "CString.h"

// The module whose resources (dialog templates, icons, cursors) the layer
// loads: the program itself unless set otherwise.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // Takes over the messages of an existing window; the object must outlive
    // it or be destroyed first (the destructor gives the window back).
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(int id, CWnd *parent);
    HWND UnsubclassWindow();

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    void GetWindowRect(RECT *rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT *rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    // Centres the window on the desktop (the whole screen).
    void CenterWindow();
    void SetWindowText(const char *text) { ::SetWindowTextA(m_hWnd, text ? text : ""); }
    CString GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const char *text) { ::SetDlgItemTextA(m_hWnd, id, text ? text : ""); }
    CString GetDlgItemText(int id) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    BOOL DestroyWindow();

    // The object behind a window of this layer (subclassed or a dialog), or
    // nullptr.
    static CWnd *FromHandlePermanent(HWND window);

    // A chance to handle a message of the loop before it is dispatched; TRUE
    // when handled.
    virtual BOOL PreTranslateMessage(MSG *) { return FALSE; }

    // Runs the thread's message loop until this window is destroyed (or
    // WM_QUIT arrives, which is posted again for an outer loop).
    void RunModalLoop();

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The previous handling of the message being processed.
    LRESULT Default();
    // Called after the last message; the handle is already detached.
    virtual void PostNcDestroy() {}

    // Binds object and window for FromHandlePermanent.
    void Attach(HWND window);
    void Detach();

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);

    WNDPROC m_pfnSuper = nullptr;
    struct Current {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } m_current = {0, 0, 0};
};

class CStatic : public CWnd {};

// A GDI font owned by the object: deleted with it.
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont &) = delete;
    CFont &operator=(const CFont &) = delete;

    BOOL CreateFontIndirect(const LOGFONTA *font);
    BOOL DeleteObject();
    HFONT GetSafeHandle() const { return m_hFont; }
    operator HFONT() const { return m_hFont; }

private:
    HFONT m_hFont = nullptr;
};
