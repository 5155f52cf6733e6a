// The tip-of-the-day dialog: one tip of the tips file at a time. The tip
// number is the caller's setting and is updated as tips are shown.
#pragma once

#include "Dialog.h"

class CTipsDialog : public CDialog {
public:
    // tipNum: the program's "TipNum" setting; tipsFile: nullptr for the
    // program's tips file.
    explicit CTipsDialog(int &tipNum, const char *tipsFile = nullptr);

    CFont m_fontText;
    CFont m_fontHeading;
    BOOL m_bShowTips = 0;

    // Shows tip n, clamped to the tips there are (-1 when there are none).
    void ShowTip(int n);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Escape carries the id of "Next>": it shows the next tip.
    void OnCancel() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;

private:
    int TipCount() const;

    int &m_nTipNum;
    CString m_strTipsFile;
};
