// The password-exclusion list: no word that contains one of the user's
// passwords is learned or offered.
#pragma once

#include "CString.h"

enum { MAX_PASSWORDS = 16 };

extern int g_nPassCount;                       // entries in use, 0..MAX_PASSWORDS
extern CString g_PassNames[MAX_PASSWORDS];     // names shown to the user
extern CString g_PassValues[MAX_PASSWORDS];    // the passwords, plain text in memory only

// True when the word contains, ignoring case, one of the passwords. Empty
// passwords are ignored: they would match every word and stop all learning.
bool ContainsExcludedWord(const char *word);
