// Dialogs of the class-library layer, modal (DoModal) or modeless (Create),
// from the dialog templates of the resource module, with data exchange
// between members and controls.
#pragma once

#include "Wnd.h"

#ifndef ID_HELP
#define ID_HELP 0xE146  // 57670, the Help button of a dialog
#endif

class CDialog;

// One pass of data exchange: filling the controls from the members
// (m_bSaveAndValidate FALSE) or reading and validating them (TRUE). A failed
// validation has told the user and put the focus on the control; the rest of
// the pass is skipped.
class CDataExchange {
public:
    CDataExchange(CDialog *dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Shows the message, focuses the last prepared control and ends the pass.
    void Fail(const char *message);

    CDialog *m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    BOOL m_bFailed = FALSE;

private:
    HWND m_hLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// A whole number: optional blanks, a sign, digits, blanks; FALSE for any
// other text or a number out of the int range.
BOOL ParseWholeNumber(const char *text, int &value);

void DDX_Text(CDataExchange *pDX, int id, CString &value);
// Integers: a control whose text is not a whole number fails with
// "Enter an integer."
void DDX_Text(CDataExchange *pDX, int id, int &value);
void DDX_Check(CDataExchange *pDX, int id, int &value);
// A group of radio buttons from the first one (id) up to the next control
// with WS_GROUP: the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange *pDX, int id, int &value);
// "Enter an integer between %1 and %2." unless minimum <= value <= maximum.
void DDV_MinMaxInt(CDataExchange *pDX, int value, int minimum, int maximum);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd *parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns its result, or -1 when the
    // template cannot be made into a window.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; FALSE when the template cannot be used.
    BOOL Create(UINT templateId, CWnd *parent = nullptr);
    void EndDialog(int result);

    // TRUE after the members were read and validated (save) or the controls
    // filled; FALSE when a validation failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Keyboard navigation of a modeless dialog (Tab, Enter, Escape).
    BOOL PreTranslateMessage(MSG *msg) override;

    // Depth of modal dialogs of this layer now running on any thread of the
    // process.
    static int ModalDepth();

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange *) {}
    virtual void OnOK();
    virtual void OnCancel();
    // Help button: the application's help command.
    virtual void OnHelp();
    // TRUE when the command was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(UINT_PTR) {}
    virtual void OnDestroy() {}
    // The brush for a control's background, or nullptr for the default.
    virtual HBRUSH OnCtlColor(HDC, HWND, UINT) { return nullptr; }
    // Every message of the dialog; the result is the dialog procedure's.
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd *m_pParentWnd;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);
    BOOL m_bModal = FALSE;
};
