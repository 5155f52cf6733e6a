#include "TextToolDialogs.h"

#include "HelpLinks.h"
#include "resource.h"

namespace {
// The text tools act on another application's selection: their dialogs stay
// above it and in front.
void RaiseOverTarget(CDialog &dialog, bool topmost)
{
    if (topmost)
        dialog.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dialog.CenterWindow();
    dialog.SetForegroundWindow();
}
}

CSortLineDlg::CSortLineDlg() : CDialog(IDD_SORTLINES) {}

void CSortLineDlg::DoDataExchange(CDataExchange *pDX)
{
    DDX_Check(pDX, IDC_SORT_NOCASE, m_bCaseInsensitive);
    DDX_Radio(pDX, IDC_SORT_ASCENDING, m_nOrder);
    DDX_Check(pDX, IDC_SORT_TRIM, m_bIgnoreBlanks);
}

BOOL CSortLineDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RaiseOverTarget(*this, false);
    return TRUE;
}

CRepeatDlg::CRepeatDlg() : CDialog(IDD_REPEAT) {}

void CRepeatDlg::DoDataExchange(CDataExchange *pDX)
{
    // Anything but a count from 1 to 10000 gets the range message, a text
    // that is no number too.
    if (pDX->m_bSaveAndValidate) {
        pDX->PrepareEditCtrl(IDC_REPEAT_COUNT);
        int count = 0;
        if (!ParseWholeNumber(GetDlgItemText(IDC_REPEAT_COUNT), count))
            count = 0;
        DDV_MinMaxInt(pDX, count, 1, 10000);
        if (pDX->m_bFailed)
            return;
        m_nRepeat = count;
    } else {
        DDX_Text(pDX, IDC_REPEAT_COUNT, m_nRepeat);
    }
    DDX_Text(pDX, IDC_REPEAT_STRING, m_strString);
}

BOOL CRepeatDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RaiseOverTarget(*this, true);
    return TRUE;
}

void CRepeatDlg::OnHelp() { ShowHelpTopic("embededit.htm"); }

CAddHeaderDlg::CAddHeaderDlg() : CDialog(IDD_ADDHEADER) {}

void CAddHeaderDlg::DoDataExchange(CDataExchange *pDX) { DDX_Text(pDX, IDC_LINE_HEADER, m_strHeader); }

BOOL CAddHeaderDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RaiseOverTarget(*this, true);
    return TRUE;
}

CSplashDlg::CSplashDlg() : CDialog(IDD_SPLASH) {}
