#include "Folders.h"

#include <windows.h>
#include <shlobj.h>

#include "Files.h"
#include "PathText.h"

namespace {
void FailAndExit(const CString &message)
{
    MessageBoxA(nullptr, message, g_strProductName, MB_OK | MB_ICONSTOP);
    ExitProcess(0);
}
}  // namespace

CString GetAppDataFolder() { return GetSpecialFolderPath(CSIDL_APPDATA) + "\\" + g_strProductName + "\\"; }

CString GetSpecialFolderPath(int csidl)
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return CString();
    CString path;
    const BOOL ok = SHGetPathFromIDListA(items, path.GetBufferSetLength(MAX_PATH));
    path.ReleaseBuffer(ok ? -1 : 0);
    CoTaskMemFree(items);
    return path;
}

CString GetTempFolder()
{
    CString folder;
    const DWORD length = GetTempPathA(MAX_PATH, folder.GetBufferSetLength(MAX_PATH));
    folder.ReleaseBuffer(length <= MAX_PATH ? static_cast<int>(length) : 0);
    folder = RemoveTrailingSeparator(folder);
    if (folder.IsEmpty())
        FailAndExit("Temporary folder not defined in your system environment!");
    if (!FolderExists(folder))
        CreateDirectoryA(folder, nullptr);
    if (!FolderExists(folder))
        FailAndExit("Unable to access temporary folder: " + folder);
    return AddTrailingSeparator(folder);
}

CString GetFavoritesFolder()
{
    CString folder;
    const BOOL ok = SHGetSpecialFolderPathA(nullptr, folder.GetBufferSetLength(MAX_PATH), CSIDL_FAVORITES, TRUE);
    folder.ReleaseBuffer(ok ? -1 : 0);
    if (!folder.IsEmpty())
        return RemoveTrailingSeparator(folder);
    return JoinPath(GetSpecialFolderPath(CSIDL_PROFILE), "Favorites");
}

void ReportCantOpen(const char *path)
{
    MessageBoxA(nullptr, "Can't open " + CString(path) + "!", g_strProductName, MB_OK | MB_ICONEXCLAMATION);
}
