#include "WaitMsgDlg.h"

#include "HelpLinks.h"
#include "resource.h"

CWaitMsgDlg g_dlgWaitMsg;

CWaitMsgDlg::CWaitMsgDlg() : CDialog(IDD_WAITMSG) {}

void CWaitMsgDlg::DoDataExchange(CDataExchange *pDX) { DDX_Text(pDX, IDC_WAITMSG_TEXT, m_strMessage); }

BOOL CWaitMsgDlg::OnInitDialog()
{
    // Until the first message the template's own text is what is shown and
    // measured.
    if (m_strMessage.IsEmpty())
        m_strMessage = GetDlgItemText(IDC_WAITMSG_TEXT);
    CDialog::OnInitDialog();
    ApplyBrandingToTitle(m_hWnd, m_strCompanyName);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CWaitMsgDlg::ShowWaitMessage(const char *text)
{
    if (!IsWindow() && !Create(IDD_WAITMSG, nullptr))
        return;
    if (text && *text) {
        m_strMessage = text;
        SetDlgItemText(IDC_WAITMSG_TEXT, m_strMessage);
    }

    SIZE extent = {0, 0};
    if (HDC dc = GetDC(m_hWnd)) {
        GetTextExtentPoint32A(dc, m_strMessage, m_strMessage.GetLength(), &extent);
        ReleaseDC(m_hWnd, dc);
    }

    HWND label = GetDlgItem(IDC_WAITMSG_TEXT);
    RECT labelRect;
    ::GetWindowRect(label, &labelRect);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT *>(&labelRect), 2);
    ::SetWindowPos(label, nullptr, labelRect.left, labelRect.top, extent.cx, labelRect.bottom - labelRect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, extent.cx + 30, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    CenterWindow();
    ShowWindow(SW_SHOW);
    BringWindowToTop();
    UpdateWindow();
}

void CWaitMsgDlg::HideWaitMessage()
{
    if (IsWindow())
        ShowWindow(SW_HIDE);
}
