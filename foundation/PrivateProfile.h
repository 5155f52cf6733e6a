// Private-profile access to an INI file: the system's functions on Windows
// and, on the host, our reader and writer of the same file format, so that
// portable callers of CIniFile run natively too.
#pragma once

#include "CString.h"
#include "StringArray.h"

// GetPrivateProfileStringA with a buffer of bufferSize characters.
CString ProfileGetString(const char *section, const char *key, const char *defaultValue, int bufferSize,
                         const char *file);
int ProfileGetInt(const char *section, const char *key, int defaultValue, const char *file);
bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file);
// Every section name of the file, added in file order.
void ProfileGetSectionNames(CStringArray &names, const char *file);

// Our reader and writer of the format: the host's implementation of the
// functions above, built on Windows too so that tests hold it against the
// system's. Names match case-insensitively and are trimmed; the first
// matching section and key count; a value is trimmed and loses one pair of
// matching quotes around it. A write changes the key's line in place, or adds
// the line after the last line of the section, or appends the section; every
// other line stays as it was. The file is rewritten through a temporary file.
CString IniFileGetString(const char *section, const char *key, const char *defaultValue, int bufferSize,
                         const char *file);
int IniFileGetInt(const char *section, const char *key, int defaultValue, const char *file);
bool IniFileWriteString(const char *section, const char *key, const char *value, const char *file);
void IniFileGetSectionNames(CStringArray &names, const char *file);
