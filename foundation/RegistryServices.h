// Registry reads and writes of single values, starting with Windows (the
// current user's Run key) and the file of a registered in-process server.
#pragma once

#include <windows.h>

#include "CString.h"

// Writes (enable) or deletes (disable) the Run value named after the
// application whose data is the program's quoted path. A failed enable shows
// a message when asked to; a failed disable never does.
BOOL SetRunAtStartup(BOOL enable, BOOL showMessage);
// The key and value name that SetRunAtStartup uses.
extern const char kRunKeyPath[];
CString GetRunValueName();

// The string value (valueName nullptr: the key's default value), cut at its
// stored size and at its first terminator; the default when the key or the
// value is missing or is not a string.
CString ReadRegString(HKEY root, const char *subKey, const char *valueName, const char *defaultValue);
DWORD ReadRegDword(HKEY root, const char *subKey, const char *valueName, DWORD defaultValue);
BOOL WriteRegDword(HKEY root, const char *subKey, const char *valueName, DWORD data);

// The file registered as in-process server of the class of a ProgID; empty
// when the ProgID or its class is not registered.
CString GetInprocServerPath(const char *progId);
