#include "TipsDialog.h"

#include <cstring>

#include "Tips.h"
#include "resource.h"

namespace {
void MakeFont(CFont &font, int height, int weight)
{
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, "Courier New");
    font.CreateFontIndirect(&lf);
}
}

CTipsDialog::CTipsDialog(int &tipNum, const char *tipsFile)
    : CDialog(IDD_TIPS), m_nTipNum(tipNum), m_strTipsFile(tipsFile)
{
}

int CTipsDialog::TipCount() const { return GetTipCount(m_strTipsFile.IsEmpty() ? nullptr : m_strTipsFile.GetString()); }

void CTipsDialog::DoDataExchange(CDataExchange *pDX) { DDX_Check(pDX, IDC_SHOW_TIPS, m_bShowTips); }

BOOL CTipsDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    MakeFont(m_fontHeading, 18, FW_BOLD);
    MakeFont(m_fontText, 15, FW_NORMAL);
    ::SendMessageA(GetDlgItem(IDC_TIP_HEADING), WM_SETFONT, reinterpret_cast<WPARAM>(m_fontHeading.GetSafeHandle()), TRUE);
    ::SendMessageA(GetDlgItem(IDC_TIP_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(m_fontText.GetSafeHandle()), TRUE);
    ShowTip(m_nTipNum + 1);
    CenterWindow();
    return TRUE;
}

void CTipsDialog::ShowTip(int n)
{
    const int count = TipCount();
    if (n < 0)
        n = 0;
    if (n >= count)
        n = count - 1;
    m_nTipNum = n;
    // With no tips the number is -1 and there is no tip to ask for.
    SetDlgItemText(IDC_TIP_TEXT, n >= 0 ? GetTipText(n, m_strTipsFile.IsEmpty() ? nullptr : m_strTipsFile.GetString())
                                        : CString());
}

void CTipsDialog::OnCancel()
{
    if (m_nTipNum < TipCount() - 1)
        ShowTip(m_nTipNum + 1);
}

BOOL CTipsDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_TIP_FIRST:
            ShowTip(0);
            return TRUE;
        case IDC_TIP_PREVIOUS:
            if (m_nTipNum > 0)
                ShowTip(m_nTipNum - 1);
            return TRUE;
        case IDC_TIP_LAST:
            ShowTip(TipCount() - 1);
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

HBRUSH CTipsDialog::OnCtlColor(HDC dc, HWND control, UINT)
{
    const int id = GetDlgCtrlID(control);
    if (id != IDC_TIP_HEADING && id != IDC_TIP_TEXT)
        return nullptr;
    SetTextColor(dc, id == IDC_TIP_HEADING ? RGB(0, 0, 255) : RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}
