// The program's prompt window behind the main window's view of it.
#pragma once

#include "PromptLink.h"
#include "WordPrompt.h"

static_assert(int(PROMPT_UPDATE_ERASE) == int(CWordPrompt::UPDATE_ERASE) &&
                  int(PROMPT_UPDATE_NO_SHOW) == int(CWordPrompt::UPDATE_NO_SHOW),
              "the main window and the prompt agree on the update flags");

class CWordPromptLink : public CPromptLink {
public:
    explicit CWordPromptLink(CWordPrompt &prompt) : m_prompt(prompt) {}

    HWND GetPromptWindow() const override { return m_prompt.m_hWnd; }
    void Reset(POINT caret) override { m_prompt.Reset(caret.x, caret.y); }
    void FillPrompt(int count) override { m_prompt.FillPrompt(count); }
    void ShowPrompt(BOOL show) override { m_prompt.ShowPrompt(show); }
    BOOL IsAutoHide() const override { return m_prompt.IsAutoHide(); }
    int GetItemCount() const override { return m_prompt.GetItemCount(); }
    void ClearPromptItems() override { m_prompt.ClearPromptItems(); }
    void UpdatePrompt(UINT flags) override { m_prompt.UpdatePrompt(static_cast<int>(flags)); }
    CString GetItemText(int row) const override { return m_prompt.GetItemText(row); }
    CString GetItemKey(int row) const override { return m_prompt.GetItemKey(row); }
    HWND GetLastFocus() const override { return m_prompt.m_hLastFocus; }
    void ReleasePromptAppBarSpace() override { m_prompt.ReleasePromptAppBarSpace(); }

private:
    CWordPrompt &m_prompt;
};
