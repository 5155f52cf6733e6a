// Option dialogs of three text tools: sort lines, type a string repeatedly,
// add or remove a line header. The opener copies values in before DoModal
// and reads them back after OK.
#pragma once

#include "Dialog.h"

class CSortLineDlg : public CDialog {
public:
    CSortLineDlg();

    BOOL m_bCaseInsensitive = 0;
    int m_nOrder = -1;  // 0 ascending, 1 descending, -1 no button set
    BOOL m_bIgnoreBlanks = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
};

class CRepeatDlg : public CDialog {
public:
    CRepeatDlg();

    int m_nRepeat = 0;  // 1 to 10000 after OK
    CString m_strString;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
    void OnHelp() override;
};

class CAddHeaderDlg : public CDialog {
public:
    CAddHeaderDlg();

    CString m_strHeader;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
};

// A dialog class on template 135, which the resources do not carry; nothing
// creates it.
class CSplashDlg : public CDialog {
public:
    CSplashDlg();
};
