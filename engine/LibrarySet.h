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

// Loads every library of the set. Only the user library and "Personal
// Shorthands" are created when missing. A library that can't be loaded is
// taken out of its table for this run (the later ones move up; g_pUserLib
// becomes NULL when it was the user library) and one message names them all.
// With resume, the retrieving thread is resumed afterwards. 0.
int OpenAllLibraries(BOOL resume);
// Writes back the changed libraries and empties every table (paths and
// counts stay). With pause, the retrieving thread is paused first and stays
// paused until OpenAllLibraries(TRUE). 0.
int CloseAllLibraries(BOOL pause);

// The library of the set on this path (IsSamePath): word libraries first;
// NULL or -1 when none.
CLibFile *FindOpenLibrary(const CString &path);
int FindWordLibIndex(const CString &path);
int FindShLibIndex(const CString &path);

// Merges two sorted libraries of one kind into target, which is replaced as a
// whole (missing inputs are created empty). A word in both, or a shorthand
// with the same name and expansion in both, is kept once with the second
// library's record. 0, or -1 after a message with target untouched.
int MergeWordLibraries(const CString &first, const CString &second, const CString &target);
int MergeShLibraries(const CString &first, const CString &second, const CString &target);

// Converts a library of version 110 or 120 in place (the old file stays as
// path + ".old"); 0 for any other version. 1 when converted; -1 after a
// message when the conversion failed, with the library file left as it was.
int UpgradeLibraryIfNeeded(const CString &path, int version);
int UpgradeLibrary(const CString &path, int version);
