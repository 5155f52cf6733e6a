#include "ShellServices.h"

#include <shellapi.h>

#include "Files.h"
#include "ShellTarget.h"
#include "SystemServices.h"
#include "UserMessage.h"

BOOL ShellOpen(const char *target, const char *workingFolder, BOOL runAs, int *exitCode, int showCommand,
               DWORD timeout)
{
    const ShellOpenRequest request = PrepareShellOpen(target, workingFolder);
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // Failure is reported by the result alone; the callers word their own
    // messages, so the shell shows none.
    info.fMask = (exitCode ? SEE_MASK_NOCLOSEPROCESS : SEE_MASK_DOENVSUBST) | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = runAs ? "runas" : nullptr;
    info.lpFile = request.file;
    info.lpParameters = request.parameters;
    info.lpDirectory = request.folder;
    info.nShow = showCommand;
    if (!ShellExecuteExA(&info))
        return FALSE;
    if (info.hProcess) {
        if (WaitForObjectPumping(info.hProcess, timeout) != WAIT_OBJECT_0) {
            *exitCode = SHELLOPEN_STILL_RUNNING;
        } else {
            DWORD code = 0;
            GetExitCodeProcess(info.hProcess, &code);
            *exitCode = static_cast<int>(code);
        }
        CloseHandle(info.hProcess);
    }
    return TRUE;
}

BOOL OpenConsoleInFolder(const char *folder)
{
    if (!FolderExists(folder)) {
        ShowMessage("The selected alias doesn't map to a directory!");
        return FALSE;
    }
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", IsNTPlatform() ? "cmd" : "command", nullptr, folder, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

BOOL OpenClientProgram(const char *kind, const char *name)
{
    const CString keyPath = CString("SOFTWARE\\Clients\\") + kind + "\\" + name + "\\Shell\\open\\command";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    char raw[MAX_PATH + 1] = {0};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(raw), &size);
    RegCloseKey(key);
    // The stored bytes need not end in a terminator: raw has one spare.
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        size = 0;
    raw[size < MAX_PATH ? size : MAX_PATH] = '\0';
    if (raw[0] == '\0') {
        ShowMessage(CString(kind) + " client:" + name + " not found!");
        return FALSE;
    }
    char expanded[MAX_PATH + 1] = {0};
    const DWORD got = ExpandEnvironmentStringsA(raw, expanded, MAX_PATH);
    const CString command = got > 0 && got <= MAX_PATH ? CString(expanded) : CString(raw);
    CString program;
    CString parameters;
    if (command[0] == '"') {
        const int close = command.Find('"', 1);
        program = close > 0 ? command.Mid(1, close - 1) : command.Mid(1);
        parameters = close > 0 ? command.Mid(close + 1) : CString();
    } else {
        const int space = command.Find(' ');
        program = space >= 0 ? command.Left(space) : command;
        parameters = space >= 0 ? command.Mid(space + 1) : CString();
    }
    parameters.Trim();
    ShellExecuteA(nullptr, "open", program, parameters.IsEmpty() ? nullptr : parameters.GetString(), ".", SW_SHOW);
    return TRUE;
}
