// The two lists of the prompt window: CPromptList, a vertical owner-drawn
// list box showing one page of entries, and CHListBox, a one-line list
// showing as many entries as fit its width. Both paint the selected row in
// bold with the selection colours, label each row with the key that chooses
// it, select on a press without taking the focus and choose on a double
// click. Windows only.
#pragma once

#include <windows.h>

#include <vector>

#include "ListBox.h"
#include "MatchItem.h"
#include "Settings.h"
#include "StringArray.h"

class CWordPrompt;

// g_lfPromptFont as a LOGFONT, optionally with weight 700.
LOGFONTA PromptLogFont(bool bold);

// The prompt font and its bold copy, made again when g_lfPromptFont changes.
class CPromptFonts {
public:
    HFONT Normal();
    HFONT Bold();

private:
    void Refresh();
    CFont m_normal, m_bold;
    PromptFontData m_made = {};
    bool m_valid = false;
};

class CPromptList : public CListBox {
public:
    explicit CPromptList(CWordPrompt *prompt);
    ~CPromptList() override;

    void DrawItem(DRAWITEMSTRUCT *draw) override;
    void MeasureItem(MEASUREITEMSTRUCT *measure) override;

    // The display text of the entry a row shows. Rows keep the index of
    // their entry, never a pointer into it: entries are replaced and freed
    // while a row may still be painted. Empty for an index that is gone.
    CString GetRowText(int row);

    HBRUSH m_brBack = nullptr;  // "BackColor", also below the last row
    int m_nFirstItem = 0;       // entry shown on the first row (the page offset of both lists)

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Every row in view, drawn as DrawItem draws it, and the space below.
    void PaintRows(HDC dc);

    CWordPrompt *m_pPrompt;
    CPromptFonts m_fonts;
};

class CHListBox : public CWnd {
public:
    explicit CHListBox(CWordPrompt *prompt) : m_pPrompt(prompt) {}

    BOOL Create(CWnd *prompt, int width);

    // Shows the entries from first on that fit the width; returns the rows.
    int FillHList(std::vector<CMatchItem> &entries, int first, BOOL erase);
    // Page moves: the rows now shown, or 0 when there is no such page (first
    // is left alone then).
    int NextPage(std::vector<CMatchItem> &entries, int &first);
    int PrevPage(std::vector<CMatchItem> &entries, int &first);

    int GetCount() const { return static_cast<int>(m_strings.GetSize()); }
    int GetCurSel() const { return m_nCurSel; }
    void SetCurSel(int row, BOOL redraw);
    // One row down or up; FALSE at the end.
    BOOL MoveSel(BOOL down);
    void Clear();
    // Only x counts; -1 outside every row.
    int HitTest(int x, int y);
    // Height of the list: a bold row, the margins and the frame.
    int GetRowHeight();
    // Exchanges the texts of two rows (the prompt's Move Up and Move Down).
    void SwapRows(int a, int b);

    CStringArray m_strings;  // texts of the rows shown (display texts, possibly shortened)
    int m_nCurSel = 0;
    int m_nGap = 10;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    CString RowText(int row, const CString &text) const;
    int TextWidth(HDC dc, const CString &text, bool bold);
    void Paint();

    CWordPrompt *m_pPrompt;
    CPromptFonts m_fonts;
};
