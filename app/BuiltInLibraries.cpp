#include "BuiltInLibraries.h"

#include <windows.h>

#include "FileSystem.h"
#include "Files.h"
#include "Folders.h"
#include "LibrarySet.h"
#include "PathText.h"

const char *const kUpgradeLibrariesQuestion =
    "Would you like to upgrade all the built-in libraries?\n\n"
    "If you have made changes to the built-in libraries, the changes will be overwritten. "
    "We recommend that you keep additional words and shorthands in personal libraries.";

namespace {
// Medical shorthands of an earlier release, replaced by a versioned library;
// left in place they would sit beside the new one in the library lists.
const char *const kObsoleteShorthandFiles[] = {
    "Typorix Medical Shorthands.slb",
    "Typorix Medical Shorthands.mem",
};
}  // namespace

BOOL InstallBuiltInLibraries(BOOL firstRun, const CString &userLibPath)
{
    const CString libraries = GetLibrariesFolder();
    if (!firstRun && FolderExists(libraries))
        return TRUE;
    CreateFolderPath(libraries);
    for (const char *name : kObsoleteShorthandFiles) {
        const CString path = JoinPath(JoinPath(libraries, "shlib"), name);
        if (FileExists(path))
            FsDeleteFile(path);
    }
    const bool overwrite =
        MessageBoxA(nullptr, kUpgradeLibrariesQuestion, g_strProductName, MB_YESNO | MB_ICONINFORMATION) == IDYES;
    // A file that can't be copied keeps what is there; the library set reports
    // a library that then can't be opened.
    CopyFolderTree(JoinPath(GetProgramFolder(), "libraries"), libraries, false, overwrite ? COPYTREE_OVERWRITE : 0);
    CreateFolderPath(GetParentFolder(userLibPath));
    return TRUE;
}
