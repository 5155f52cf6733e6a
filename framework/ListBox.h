// List boxes of the class-library layer, and child windows of the layer's
// own plain window class. An owner-drawn list box paints through its virtual
// DrawItem and MeasureItem; its parent passes WM_DRAWITEM and WM_MEASUREITEM
// on with ReflectOwnerDraw.
#pragma once

#include "WithinThread.h"
#include "Wnd.h"

// Creates a window of the layer's plain class (DefWindowProc, double clicks
// reported) and subclasses it to wnd.
BOOL CreateLayerWindow(CWnd &wnd, DWORD exStyle, const char *text, DWORD style, const RECT &rect, HWND parent,
                       UINT id);

class CListBox : public CWnd {
public:
    // A "LISTBOX" child, subclassed to this object. WM_MEASUREITEM of an
    // owner-drawn fixed list arrives while it is being created and still
    // reaches MeasureItem.
    BOOL Create(DWORD style, const RECT &rect, CWnd *parent, UINT id);

    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    int SetCurSel(int row) { return static_cast<int>(Send(LB_SETCURSEL, static_cast<WPARAM>(row))); }
    // Without LBS_HASSTRINGS an owner-drawn list keeps data, not text: the
    // value is the row's item data.
    int AddString(LPARAM data) { return static_cast<int>(Send(LB_ADDSTRING, 0, data)); }
    int InsertString(int row, LPARAM data) { return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(row), data)); }
    int DeleteString(int row) { return static_cast<int>(Send(LB_DELETESTRING, static_cast<WPARAM>(row))); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    LRESULT GetItemData(int row) const { return Send(LB_GETITEMDATA, static_cast<WPARAM>(row)); }
    int GetTopIndex() const { return static_cast<int>(Send(LB_GETTOPINDEX)); }
    int SetItemData(int row, LPARAM data) { return static_cast<int>(Send(LB_SETITEMDATA, static_cast<WPARAM>(row), data)); }
    int GetItemHeight(int row) const { return static_cast<int>(Send(LB_GETITEMHEIGHT, static_cast<WPARAM>(row))); }
    void SetHorizontalExtent(int extent) { Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent)); }
    int GetHorizontalExtent() const { return static_cast<int>(Send(LB_GETHORIZONTALEXTENT)); }

    virtual void DrawItem(DRAWITEMSTRUCT *) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT *) {}

    // For the parent's procedure: hands WM_DRAWITEM and WM_MEASUREITEM of a
    // list box of this layer to it. TRUE when it took the message.
    static BOOL ReflectOwnerDraw(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendWithinThread(m_hWnd, msg, wp, lp); }
};
