// The password-exclusion list: no word that contains one of the user's
// passwords is learned or offered.
#pragma once

#include "CString.h"
#include "wintypes.h"

enum { MAX_PASSWORDS = 16 };

extern int g_nPassCount;                       // entries in use, 0..MAX_PASSWORDS
extern CString g_PassNames[MAX_PASSWORDS];     // names shown to the user
extern CString g_PassValues[MAX_PASSWORDS];    // the passwords, plain text in memory only

// True when the word contains, ignoring case, one of the passwords. Empty
// passwords are ignored: they would match every word and stop all learning.
bool ContainsExcludedWord(const char *word);

// A password as stored: its cipher text under the list's own pass phrase, in
// upper-case hexadecimal. FALSE, with out unchanged, when enciphering fails.
BOOL EncryptPassEntry(const CString &plain, CString &out);
// The deciphered text up to its first 0 byte. A damaged field gives other
// text, not an error; always TRUE.
BOOL DecryptPassEntry(const CString &hex, CString &out);

// The stored form of the list (the "PassArray" setting): for each entry its
// name and its enciphered password, all fields separated by one Tab.
// LoadPassArray fills the tables from it, at most MAX_PASSWORDS entries (the
// rest is ignored; a lone last field is dropped). BuildPassArray makes it
// from the tables; when a password can't be enciphered it returns FALSE and
// leaves stored unchanged, so that the caller keeps the list it had rather
// than store one that has lost a password.
void LoadPassArray(const CString &stored);
BOOL BuildPassArray(CString &stored);
