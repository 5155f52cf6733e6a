#include "LexantoApp.h"

#include <ole2.h>

#include "BuiltInLibraries.h"
#include "CrashDump.h"
#include "DebugDlg.h"
#include "DocAdapters.h"
#include "Files.h"
#include "Folders.h"
#include "HelpLinks.h"
#include "HookProcs.h"
#include "LibrarySet.h"
#include "PasswordList.h"
#include "ProfileSettings.h"
#include "RegistryServices.h"
#include "RetrieveThread.h"
#include "SharedSection.h"
#include "StringCipher.h"
#include "WaitFeedback.h"
#include "WaitMsgDlg.h"
#include "WordPrompt.h"
#include "WordPromptLink.h"
#include "WordCache.h"
#include "resource.h"

// One int in a shared section of the program itself: every process of the
// program maps the same copy.
extern "C" {
__attribute__((section("sharedse"), shared)) int g_nInstanceFlag = 0;
}

CLexantoApp theApp;

namespace {
const char kMainWindowTitle[] = "Lexanto Main Window";

void Say(const char *text, UINT icon = MB_ICONEXCLAMATION)
{
    MessageBoxA(nullptr, text, g_strProductName, MB_OK | icon);
}
}

CLexantoApp::CLexantoApp() : CWinApp("Lexanto")
{
    ZeroMemory(&m_osvi, sizeof m_osvi);
}

void CLexantoApp::OnHelp() { ShowHelpTopic("index.htm"); }

BOOL CLexantoApp::InstallHooks()
{
    m_hHookDll = LoadLibraryA("Dravik.dll");
    auto proc = [this](const char *name) {
        return m_hHookDll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(m_hHookDll, name)))
                          : nullptr;
    };
    const struct {
        int type;
        const char *name;
        HHOOK *handle;
        const char *failure;
    } hooks[] = {
        {WH_KEYBOARD, "KeyboardProc", &hHookKeyboard, "Can't install keyboard hook!"},
        {WH_CALLWNDPROC, "CallWndProc", &hHookWndProc, "Can't install wndproc hook!"},
        {WH_GETMESSAGE, "GetMsgProc", &hHookGetMsg, "Can't install getmsgproc hook!"},
    };
    for (const auto &hook : hooks) {
        HOOKPROC procedure = proc(hook.name);
        *hook.handle = procedure ? SetWindowsHookExA(hook.type, procedure, m_hHookDll, 0) : nullptr;
        if (!*hook.handle) {
            Say(hook.failure);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CLexantoApp::InitInstance()
{
    // 1. Branding.
    m_iniCustom.SetFileName(GetProgramFolder() + "custom.ini");
    g_strProductName = ReadCustomProductName();
    m_strCompanyName = m_iniCustom.GetString("CompanyName", "Corvalen", "general");
    g_dlgWaitMsg.m_strCompanyName = m_strCompanyName;

    // 2. One instance: the running one shows its tray icon again.
    if (HWND running = FindWindowA(nullptr, kMainWindowTitle)) {
        Say("Another instance of " + g_strProductName + " is already running.", MB_ICONINFORMATION);
        PostMessageA(running, WM_COMMAND, ID_REPAIR_TRAY_ICON, 0);
        return FALSE;
    }

    g_nDelayedKeyDownMsg = RegisterWindowMessageA("Lexanto Delayed Key Down Message");
    m_osvi.dwOSVersionInfoSize = sizeof m_osvi;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&m_osvi));
    InstallCrashDumpFilter(m_osvi);
    if (FAILED(OleInitialize(nullptr)))
        Say("Can't initialize OLE!");

    hPromptWnd = nullptr;
    g_bQuitting = FALSE;

    // 8. A process started while another one still starts up leaves quietly.
    if (g_nInstanceFlag)
        return FALSE;
    g_nInstanceFlag = 1;
    // A previous run that ended abruptly may have left transient hook state;
    // only the one running instance may clear it.
    ResetTransientSharedState();

    if (!AcquireCryptProvider()) {
        Say("Can't start crypt engine!");
        return FALSE;
    }

    SetProfileLocation(0);
    m_bFirstRun = GetProfileIntEx("FirstRun", 1, "Settings");
    WriteProfileIntEx("FirstRun", 0, "Settings");
    SetProfileLocation(1);

    CreateFolderPath(GetAppDataFolder());
    SetSharedString(AppDataPath, GetAppDataFolder());
    SetSharedString(AppPath, GetProgramFolder());

    LoadPassArray(GetProfileStringS("PassArray", ""));
    LoadSettings();
    InstallBuiltInLibraries(m_bFirstRun, GetUserLibPath());
    SetSharedString(WordBuffer, "");

    if (!InstallHooks())
        return FALSE;
    g_nCacheCount = 0;
    g_nRequestId = 0;

    return RunWindows();
}

namespace {
MainWindowLinks ProgramLinks()
{
    MainWindowLinks links;
    links.isWordWindow = &IsWordWindow;
    links.getRunningWordApp = &GetRunningWordApp;
    links.getVsTextBeforeCaret = &GetVsTextBeforeCaret;
    links.getWordTextBeforeCaret = &GetWordTextBeforeCaret;
    links.modalDialogOpen = [] { return CDialog::ModalDepth() > 0 ? TRUE : FALSE; };
    links.shutdown = [](BOOL endSession) { theApp.Shutdown(endSession); };
    return links;
}
}

BOOL CLexantoApp::RunWindows()
{
    g_dlgWaitMsg.Create(IDD_WAITMSG, nullptr);
    InstallWaitFeedback();

    CDebugDlg mainDlg(*this, ProgramLinks());
    m_pMainDlg = &mainDlg;
    if (!mainDlg.Create()) {
        m_pMainDlg = nullptr;
        return FALSE;
    }

    g_bLibrariesOpen = FALSE;
    LoadActiveLibraries();
    OpenAllLibraries(FALSE);

    g_pWordPrompt = new CWordPrompt(*this);
    g_pWordPrompt->Create(&mainDlg);
    hPromptWnd = g_pWordPrompt->m_hWnd;
    CWordPromptLink promptLink(*g_pWordPrompt);
    mainDlg.SetPrompt(&promptLink);
    mainDlg.AddTrayIcon();
    mainDlg.SetAutoPrompt(GetProfileIntS("EnablePrompt", 1) != 0);

    if (m_bFirstRun)
        ShowHelpTopic("tt_getstart.htm");

    mainDlg.RunModalLoop();
    mainDlg.SetPrompt(nullptr);
    m_pMainDlg = nullptr;
    return FALSE;
}

void CLexantoApp::DestroyWindows()
{
    if (m_pMainDlg && m_pMainDlg->IsWindow())
        m_pMainDlg->DestroyWindow();
}

void CLexantoApp::Shutdown(BOOL ending)
{
    g_bQuitting = TRUE;
    FlushWordCacheToUserLib(FALSE);
    StopRetrieveThread();
    CloseAllLibraries(FALSE);
    SavePromptFont();
    SaveSettings();
    // Applied on the log-off path too: the Run key is the user's choice
    // whichever way the program ends.
    SetRunAtStartup(m_bRunAtStartup, FALSE);
    if (ending)
        return;

    DestroyWindows();
    const struct {
        HHOOK *handle;
        const char *failure;
    } hooks[] = {{&hHookKeyboard, "Can't release keyboard hook!"},
                 {&hHookWndProc, "Can't release wndproc hook!"},
                 {&hHookGetMsg, "Can't release getmsgproc hook!"}};
    for (const auto &hook : hooks) {
        if (*hook.handle && !UnhookWindowsHookEx(*hook.handle))
            Say(hook.failure);
        *hook.handle = nullptr;
    }
    ReleaseCryptProvider();
    ResetTransientSharedState();
    if (m_hHookDll)
        FreeLibrary(m_hHookDll);
    m_hHookDll = nullptr;
    hPromptWnd = nullptr;
    delete g_pWordPrompt;
    g_pWordPrompt = nullptr;
}
