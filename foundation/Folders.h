// Where the program's folders are: program folder, per-user data folder,
// temporary folder and the shell's special folders.
#pragma once

#include "CString.h"

// The product name that names the data folder ("ProductName" of "custom.ini").
extern CString g_strProductName;

// CSIDL of a special-folder keyword ("my documents", "mydoc", ...); exact,
// case-sensitive; -1 for any other text.
int GetSpecialFolderCsidl(const char *keyword);

// The program folder for a module file: its folder, or that folder's parent
// when the folder's name contains "debug" or "release" (a development build
// run from its output folder finds the project's data). Ends with a separator.
CString ProgramFolderFromModulePath(const char *modulePath);

// With no name, the module holding this code (the program, or the hook
// library in its own copy); with a name, the module loaded under that name
// (empty when none is loaded).
CString GetProgramFolder(const char *moduleName = nullptr);
// The per-user data folder: application data + product name, with a
// trailing separator. Not created here.
CString GetAppDataFolder();

#ifdef _WIN32
CString GetModulePath();
CString GetInstanceFilePath();
// The "LibPath" setting as it is when it is a full path, else after the
// program folder.
CString ResolveLibPath();
CString GetSpecialFolderPath(int csidl);  // empty when the shell has none
CString GetTempFolder();                  // ends the process when unusable
CString GetFavoritesFolder();
void ReportCantOpen(const char *path);
#endif
