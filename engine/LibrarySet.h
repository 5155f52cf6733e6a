// The set of libraries the engine searches, the folders they live in, and the
// conversion of libraries of the older formats.
#pragma once

#include "CString.h"

// The data folder's "libraries" folder, with a trailing separator.
CString GetLibrariesFolder();

// Converts a library of version 110 or 120 in place (the old file stays as
// path + ".old"); 0 for any other version.
int UpgradeLibraryIfNeeded(const CString &path, int version);
int UpgradeLibrary(const CString &path, int version);
