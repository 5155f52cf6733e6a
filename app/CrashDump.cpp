#include "CrashDump.h"

#include "Folders.h"
#include "IniFile.h"
#include "PathText.h"
#include "Settings.h"

namespace {
// MINIDUMP_EXCEPTION_INFORMATION and the MiniDumpWriteDump signature, as the
// debug-help library takes them (its header is not needed for one call).
#pragma pack(push, 4)
struct DumpExceptionInfo {
    DWORD ThreadId;
    EXCEPTION_POINTERS *ExceptionPointers;
    BOOL ClientPointers;
};
#pragma pack(pop)
typedef BOOL(WINAPI *MiniDumpWriteDumpFn)(HANDLE, DWORD, HANDLE, int, const DumpExceptionInfo *, const void *,
                                          const void *);
const int kMiniDumpNormal = 0;

HMODULE LoadDebugHelp()
{
    // The program's own copy first, then the system's.
    CString own = GetInstanceFilePath();
    const int slash = own.ReverseFind('\\');
    own = own.Left(slash + 1) + "DBGHELP.DLL";
    HMODULE module = LoadLibraryA(own);
    return module ? module : LoadLibraryA("DBGHELP.DLL");
}
}

BOOL InstallCrashDumpFilter(const OSVERSIONINFOEXA &version)
{
    CIniFile settings(GetSettingsFilePath());
    if (!settings.GetInt("GenerateDump", 1, "Settings"))
        return FALSE;
    const bool xpOrLater =
        version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
    if (!xpOrLater)
        return FALSE;
    SetUnhandledExceptionFilter(&WriteCrashDump);
    return TRUE;
}

LONG WINAPI WriteCrashDump(EXCEPTION_POINTERS *exception)
{
    LONG result = EXCEPTION_CONTINUE_SEARCH;
    CString text;
    HMODULE debugHelp = LoadDebugHelp();
    MiniDumpWriteDumpFn writeDump =
        debugHelp ? reinterpret_cast<MiniDumpWriteDumpFn>(
                        reinterpret_cast<void (*)()>(GetProcAddress(debugHelp, "MiniDumpWriteDump")))
                  : nullptr;
    if (!debugHelp) {
        text = "DBGHELP.DLL not found";
    } else if (!writeDump) {
        text = "DBGHELP.DLL too old";
    } else {
        MessageBoxA(nullptr,
                    g_strProductName +
                        " is about to crash due to an exception.\nA dump file will be generated in the "
                        "application data folder.",
                    g_strProductName, MB_OK | MB_ICONSTOP);
        const CString path = GetAppDataFolder() + g_strProductName + ".dmp";
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        BOOL written = FALSE;
        if (file != INVALID_HANDLE_VALUE) {
            DumpExceptionInfo info = {GetCurrentThreadId(), exception, FALSE};
            written = writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, kMiniDumpNormal,
                                exception ? &info : nullptr, nullptr, nullptr);
        }
        const DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (written) {
            text.Format("Dump file was successfully saved to \n'%s'", path.GetString());
            result = EXCEPTION_EXECUTE_HANDLER;
        } else {
            text.Format("Failed to save dump file to \n'%s'.\nError code: %d", path.GetString(),
                        static_cast<int>(error));
        }
    }
    MessageBoxA(nullptr, text, g_strProductName, MB_OK | MB_ICONINFORMATION);
    SetUnhandledExceptionFilter(nullptr);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return result;
}
