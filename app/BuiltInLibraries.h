// Installing the built-in libraries: the program folder's "libraries" tree is
// copied into the data folder on the first run, or whenever the data folder
// has no libraries folder.
#pragma once

#include "CString.h"
#include "wintypes.h"

// The question asked before the copy.
extern const char *const kUpgradeLibrariesQuestion;

// firstRun is the registry's "FirstRun" value read at start-up; userLibPath
// the user library's full path (its folder is created). The user is asked
// whether to overwrite the libraries already there; "No" still copies every
// file that is missing. TRUE.
BOOL InstallBuiltInLibraries(BOOL firstRun, const CString &userLibPath);
