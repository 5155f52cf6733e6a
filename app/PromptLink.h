// What the main window needs of the prompt window: the few operations it
// calls while it runs the completion protocol and inserts an entry. The
// prompt window implements them; tests give a stand-in.
#pragma once

#include <windows.h>

#include "CString.h"

class CPromptLink {
public:
    virtual ~CPromptLink() = default;

    virtual HWND GetPromptWindow() const = 0;
    // Empties the entries and lists and keeps the caret for the placement;
    // the prompt is neither moved nor hidden.
    virtual void Reset(POINT caret) = 0;
    // Appends the candidates of the list just reported (ignores 0) and
    // places the prompt at the caret.
    virtual void FillPrompt(int count) = 0;
    virtual void ShowPrompt(BOOL show) = 0;
    virtual BOOL IsAutoHide() const = 0;
    virtual int GetItemCount() const = 0;
    virtual void ClearPromptItems() = 0;
    virtual void UpdatePrompt(UINT flags) = 0;
    // The entry's text and its shorthand name (empty for words); row -1 is
    // the current selection. Empty for a row without an entry.
    virtual CString GetItemText(int row) const = 0;
    virtual CString GetItemKey(int row) const = 0;
    // The window that had the focus before the prompt took it.
    virtual HWND GetLastFocus() const = 0;
    // Gives back the screen area a docked prompt holds.
    virtual void ReleasePromptAppBarSpace() = 0;
};

// Flags of UpdatePrompt that the main window uses when it empties a shown
// prompt: the list is repainted from a cleared background, and the window is
// not shown again (it stays where and as it is).
enum : UINT {
    PROMPT_UPDATE_ERASE = 1,
    PROMPT_UPDATE_NO_SHOW = 8,
};

// The text before the caret as last taken for a request, and the caret line
// height the word processor reported for it (0 when unknown).
extern CString g_strCurrentWord;
extern int g_nCaretLineHeight;
