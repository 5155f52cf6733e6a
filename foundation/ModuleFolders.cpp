// Module paths need only kernel32, so the hook library can link this file
// without pulling in the shell.
#include "Folders.h"

#include <windows.h>

#include "CharClasses.h"
#include "PathText.h"
#include "SettingValues.h"

namespace {
// The module that holds this code: the program, or the hook library when it
// is linked into that.
HMODULE CurrentModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&CurrentModule), &module);
    return module;
}

CString ModuleFileName(HMODULE module, int capacity)
{
    CString path;
    const DWORD length = GetModuleFileNameA(module, path.GetBufferSetLength(capacity), static_cast<DWORD>(capacity));
    path.ReleaseBuffer(static_cast<int>(length < static_cast<DWORD>(capacity) ? length : 0));
    return path;
}

}  // namespace

CString GetProgramFolder(const char *moduleName)
{
    HMODULE module = moduleName ? GetModuleHandleA(moduleName) : CurrentModule();
    if (!module)
        return CString();
    return ProgramFolderFromModulePath(ModuleFileName(module, MAX_PATH));
}

CString GetModulePath() { return ModuleFileName(nullptr, 1024); }

CString GetInstanceFilePath() { return ModuleFileName(CurrentModule(), MAX_PATH); }

CString ResolveLibPath() { return IsFullPath(g_strLibPath) ? g_strLibPath : GetProgramFolder() + g_strLibPath; }
