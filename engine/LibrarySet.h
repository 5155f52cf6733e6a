// The set of libraries the engine searches, the folders they live in, and the
// conversion of libraries of the older formats.
#pragma once

#include "CString.h"
#include "LibFile.h"

enum { MAX_LIBRARIES = 32 };  // of each kind

extern CLibFile g_WordLibs[MAX_LIBRARIES];
extern int g_nWordLibCount;
extern CLibFile g_ShLibs[MAX_LIBRARIES];
extern int g_nShLibCount;
extern CLibFile *g_pUserLib;   // &g_WordLibs[0] while the user library is enabled
extern BOOL g_bLibrariesOpen;  // between OpenAllLibraries and CloseAllLibraries

// The counts as the tables may use them.
inline int WordLibCount() { return g_nWordLibCount < 0 ? 0 : (g_nWordLibCount > MAX_LIBRARIES ? MAX_LIBRARIES : g_nWordLibCount); }
inline int ShLibCount() { return g_nShLibCount < 0 ? 0 : (g_nShLibCount > MAX_LIBRARIES ? MAX_LIBRARIES : g_nShLibCount); }

// The data folder's "libraries" folder, with a trailing separator.
CString GetLibrariesFolder();

// Converts a library of version 110 or 120 in place (the old file stays as
// path + ".old"); 0 for any other version.
int UpgradeLibraryIfNeeded(const CString &path, int version);
int UpgradeLibrary(const CString &path, int version);
