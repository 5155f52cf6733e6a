#include "Dialog.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "WinApp.h"

namespace {
std::atomic<int> g_modalDepth{0};

const char *MessageCaption()
{
    CWinApp *app = AfxGetApp();
    return app && app->m_pszAppName ? app->m_pszAppName : nullptr;
}
}

BOOL ParseWholeNumber(const char *text, int &value)
{
    if (!text)
        return FALSE;
    while (*text == ' ' || *text == '\t')
        ++text;
    char *end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return FALSE;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end)
        return FALSE;
    value = static_cast<int>(parsed);
    return TRUE;
}

namespace {
bool IsRadioButton(HWND control)
{
    char cls[16] = {0};
    GetClassNameA(control, cls, sizeof cls);
    const LONG style = GetWindowLongA(control, GWL_STYLE) & 0x0F;
    return lstrcmpiA(cls, "Button") == 0 && (style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON);
}
}

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hLastControl = m_pDlgWnd->GetDlgItem(id);
    m_bEditLastControl = FALSE;
    return m_hLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return m_hLastControl;
}

void CDataExchange::Fail(const char *message)
{
    MessageBoxA(m_pDlgWnd->m_hWnd, message, MessageCaption(), MB_OK | MB_ICONEXCLAMATION);
    if (m_hLastControl) {
        SetFocus(m_hLastControl);
        if (m_bEditLastControl)
            SendMessageA(m_hLastControl, EM_SETSEL, 0, -1);
    }
    m_bFailed = TRUE;
}

void DDX_Text(CDataExchange *pDX, int id, CString &value)
{
    if (pDX->m_bFailed)
        return;
    HWND control = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(id);
    else if (control)
        SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange *pDX, int id, int &value)
{
    if (pDX->m_bFailed)
        return;
    HWND control = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseWholeNumber(pDX->m_pDlgWnd->GetDlgItemText(id), value))
            pDX->Fail("Enter an integer.");
    } else if (control) {
        CString text;
        text.Format("%d", value);
        SetWindowTextA(control, text);
    }
}

void DDX_Check(CDataExchange *pDX, int id, int &value)
{
    if (pDX->m_bFailed)
        return;
    HWND control = pDX->PrepareCtrl(id);
    if (!control)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange *pDX, int id, int &value)
{
    if (pDX->m_bFailed)
        return;
    HWND control = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    for (int index = 0; control; ++index) {
        if (IsRadioButton(control)) {
            if (pDX->m_bSaveAndValidate) {
                if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        }
        control = GetWindow(control, GW_HWNDNEXT);
        if (control && (GetWindowLongA(control, GWL_STYLE) & WS_GROUP))
            break;
    }
}

void DDV_MinMaxInt(CDataExchange *pDX, int value, int minimum, int maximum)
{
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    CString message;
    message.Format("Enter an integer between %d and %d.", minimum, maximum);
    pDX->Fail(message);
}

CDialog::~CDialog()
{
    // A modeless dialog still open when its object goes must not call back
    // into a destroyed object.
    if (m_hWnd && ::IsWindow(m_hWnd) && !m_bModal) {
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
}

BOOL CDialog::PreTranslateMessage(MSG *msg)
{
    return !m_bModal && m_hWnd && IsDialogMessageA(m_hWnd, msg);
}

int CDialog::ModalDepth() { return g_modalDepth.load(); }

INT_PTR CDialog::DoModal()
{
    m_bModal = TRUE;
    ++g_modalDepth;
    const INT_PTR result =
        DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                        m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &CDialog::StaticDialogProc,
                        reinterpret_cast<LPARAM>(this));
    --g_modalDepth;
    m_bModal = FALSE;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd *parent)
{
    if (m_hWnd)
        return FALSE;
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    m_bModal = FALSE;
    HWND window = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, &CDialog::StaticDialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialog::EndDialog(int result)
{
    if (!m_hWnd)
        return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnHelp()
{
    if (CWinApp *app = AfxGetApp())
        app->OnHelp();
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int code = HIWORD(wParam);
    if (lParam && code != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    case ID_HELP:
        OnHelp();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), msg));
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog *self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog *>(lParam);
        self->Attach(window);
    } else {
        self = static_cast<CDialog *>(CWnd::FromHandlePermanent(window));
    }
    if (!self)
        return FALSE;
    const INT_PTR result = self->DialogProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}
