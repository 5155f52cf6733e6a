// The INI text store: reading and changing one key of an INI file held whole
// in a string. The text has LF line ends and one LF in front, so that every
// section header is found as LF "[" name "]" and every key line as LF key "=".
// Section and key names match case-insensitively; values keep their case.
#pragma once

#include "CString.h"

// The value of the key in the section, trimmed; the default when the section
// or the key is absent. With unescape, the two-character forms \r and \n
// become CR and LF.
CString IniTextGet(const CString &text, const char *key, const char *defaultValue, bool unescape,
                   const char *section);

// Sets the key in the section, adding the key, or the section and the key,
// when missing. With escape, CR and LF in the value are stored as \r and \n.
// A line break in a name, or in a value stored without escaping, would end
// the line and turn the rest into other keys or sections: such a call
// changes nothing and returns false.
bool IniTextSet(CString &text, const char *key, const char *value, bool escape, const char *section);

// A non-empty value read as a decimal number (a text that is not one gives
// 0); an empty or absent value gives the default.
int IniTextGetInt(const CString &text, const char *key, int defaultValue, const char *section);
bool IniTextSetInt(CString &text, const char *key, int value, const char *section);
long long IniTextGetInt64(const CString &text, const char *key, long long defaultValue, const char *section);
bool IniTextSetInt64(CString &text, const char *key, long long value, const char *section);

// Removes the section's header and keys, up to the next header.
void IniTextDeleteSection(CString &text, const char *section);

bool IniTextHasSection(const CString &text, const char *section);

// CR as \r, then LF as \n; and back. Backslashes themselves are not escaped.
CString EscapeLineBreaks(const char *value);
CString UnescapeLineBreaks(const char *value);
