// The prompt window: lists the candidates for the text before the caret,
// next to the caret, at a fixed place or docked along a screen edge. The
// main window resets and fills it for every request; the hook pages it and
// moves its selection by messages; choosing an entry sends WM_ACCEPT_ITEM to
// the main window. Windows only.
#pragma once

#include <windows.h>

#include <vector>

#include "Dialog.h"
#include "MatchItem.h"
#include "PromptLists.h"
#include "Settings.h"
#include "WordPromptLayout.h"

// The caret line height of the current request (from the word-processor
// adapter); 0 when unknown. The main window keeps it.
extern int g_nCaretLineHeight;

class CWordPrompt;
// The program's one prompt; hPromptWnd holds its window.
extern CWordPrompt *g_pWordPrompt;

// The settings the prompt's own key route keeps in section "Settings".
extern const char kPromptSettingsSection[];

class CWordPrompt : public CDialog {
public:
    // UpdatePrompt flags.
    enum {
        UPDATE_ERASE = 1,      // the horizontal list erases its background (first fill)
        UPDATE_NO_MOVE = 2,    // the window stays where it is
        UPDATE_NO_RESIZE = 4,  // keep the size and the vertical list's rows
        UPDATE_NO_SHOW = 8,    // do not show
    };

    // Reads the dock edge, the last docked edge and the orientation.
    explicit CWordPrompt(CAppSettings &settings);
    ~CWordPrompt() override;

    // Creates the hidden prompt from its template, owned by the main window,
    // which is where a choice goes.
    BOOL Create(CWnd *mainWindow);

    void Reset(int x, int y);
    void FillPrompt(int n);
    void ShowPrompt(BOOL show);
    void UpdatePrompt(int flags);
    void ClearPromptItems();
    int GetItemCount();
    // row -1: the selected row. An index past the entries gives an empty one.
    CMatchItem GetItem(int row);
    CString GetItemText(int row);
    CString GetItemKey(int row);
    void ChoosePromptItem();
    void ReleasePromptAppBarSpace();

    void PrevPage();
    void NextPage();
    void OnPromptLine(UINT key);
    // Publishes the rows listed as the offer the hook reads.
    void PublishRows();
    void DockPrompt(int edge);

    BOOL IsDocked() const { return m_nDockEdge != -1; }
    BOOL IsSideDocked() const { return m_nDockEdge == 0 || m_nDockEdge == 2; }
    BOOL IsAutoHide() const { return m_settings.m_bAutoHidePrompt && !IsDocked(); }
    BOOL IsHorizontalLayout() const { return (m_bHorz && !IsDocked()) || m_nDockEdge == 1 || m_nDockEdge == 3; }
    BOOL IsAutoSize() const { return m_settings.m_bAutoSizeVPrompt && !IsDocked() && !IsHorizontalLayout(); }
    // Rows per page of the vertical list; -1 in the horizontal layout.
    int VNumInPage() const;

    // For the lists: the prompt's own handling of a message to it or to one
    // of its lists before the window's handling (pages and lines on the
    // navigation keys, the menu on a right press, dragging on a left press).
    // TRUE when the message is consumed.
    BOOL PreTranslateInput(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    CAppSettings &Settings() { return m_settings; }
    std::vector<CMatchItem> &Items() { return m_items; }
    HWND MainWindow() const { return m_hMainWnd; }

private:
    // First, so that the lists below can read the settings while they are built.
    CAppSettings &m_settings;
    HWND m_hMainWnd = nullptr;

public:
    std::vector<CMatchItem> m_items;  // entries of the current request, in rank order
    CHListBox m_wndHList;
    CPromptList m_wndList;
    HWND m_wndToolBar = nullptr;
    CFont m_fontList;
    CFont m_fontBold;  // measures the rows as they are painted
    int m_nListExtent = 0;  // the vertical list's horizontal extent, as measured
    int m_nDockEdge = -1;        // -1 floating, 0 left, 1 top, 2 right, 3 bottom
    int m_nLastDockedEdge = 3;
    BOOL m_bHorz = FALSE;
    HWND m_hLastFocus = nullptr;
    POINT m_ptCaret = {-1, 0};
    // The windows above the focus window's top-level window, as read last:
    // read again for another window or after a second, not at every key.
    HWND m_hAboveRoot = nullptr;
    DWORD m_tkAboveRead = 0;
    std::vector<PromptBox> m_aboveRoot;
    int m_nPage = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateToolBar();
    SIZE ToolBarSize() const;
    void RecreatePromptList();
    void LayoutPrompt();
    // The window size the entries need; the vertical list gets its rows.
    BOOL MeasurePrompt(SIZE &size);
    void ResizePrompt(SIZE size);
    void ApplyListExtent();
    void LayoutPromptControls();
    void ShowPromptAt(int flags, const SIZE *newSize = nullptr);
    // Where the prompt of cx x cy goes; rect is left as it is while the left
    // button is down.
    void PlacePromptAtCaret(int cx, int cy, RECT &rect);
    void SavePromptGeometry();
    void SetPromptAppBarPos();
    void AppBarMessage(DWORD message, int edge, const RECT *rect);
    int SelectedRow();
    void MoveSelection(UINT key);
    // A selection move the hook posted has been made.
    void MoveArrived();
    // The results of a manual activation choose the first row.
    void ChooseFirstRowForActivation();
    int HitTestItem(POINT screen);
    void ShowPromptMenu(POINT screen);
    void DeleteEntry();
    void MoveEntry(bool up);
    void SetHorz(BOOL horz);
};

#ifndef WM_APPBAR_CALLBACK
#define WM_APPBAR_CALLBACK 0x8010  // app-bar notifications of the prompt and the shell bar
#endif
