// Host stand-ins for the Windows folders, so portable code that files things
// under the program or data folder runs in native tests: the program folder
// is the executable's folder, the data folder lies under $LEXANTO_APPDATA
// (else $HOME/.local/share).
#include <unistd.h>

#include <cstdlib>

#include "Folders.h"
#include "PathText.h"

CString GetProgramFolder(const char *moduleName)
{
    if (moduleName)
        return CString();
    char path[4096] = {0};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return CString();
    return ProgramFolderFromModulePath(CString(path, static_cast<int>(length)));
}

CString GetAppDataFolder()
{
    const char *base = std::getenv("LEXANTO_APPDATA");
    CString folder;
    if (base && *base) {
        folder = base;
    } else {
        const char *home = std::getenv("HOME");
        folder = JoinPath(home ? home : "/tmp", ".local/share");
    }
    return AddTrailingSeparator(JoinPath(folder, g_strProductName));
}
