#include "TopMsgDlg.h"

#include "resource.h"

namespace {
const UINT_PTR IDT_TOPMSG_CLOSE = 0;
}

CTopMsgDlg::CTopMsgDlg() : CDialog(IDD_TOPMSG) {}

void CTopMsgDlg::DoDataExchange(CDataExchange *pDX) { DDX_Text(pDX, IDC_TOPMSG_TEXT, m_strMessage); }

BOOL CTopMsgDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // USER_TIMER_MAXIMUM is about 24.8 days; 0 gives the shortest interval.
    const int seconds = m_nSeconds <= 0 ? 0 : m_nSeconds > 2000000 ? 2000000 : m_nSeconds;
    SetTimer(IDT_TOPMSG_CLOSE, static_cast<UINT>(seconds) * 1000u);
    return TRUE;
}

void CTopMsgDlg::OnTimer(UINT_PTR id)
{
    if (id != IDT_TOPMSG_CLOSE)
        return;
    KillTimer(IDT_TOPMSG_CLOSE);
    EndDialog(0);
}

void CTopMsgDlg::OnDestroy() { KillTimer(IDT_TOPMSG_CLOSE); }

void ShowTimedMessage(const char *text, int seconds)
{
    CTopMsgDlg dialog;
    dialog.m_strMessage = text;
    dialog.m_nSeconds = seconds;
    dialog.DoModal();
}
