#include "PasswordList.h"

int g_nPassCount = 0;
CString g_PassNames[MAX_PASSWORDS];
CString g_PassValues[MAX_PASSWORDS];

bool ContainsExcludedWord(const char *word)
{
    const int count = g_nPassCount < 0 ? 0 : (g_nPassCount > MAX_PASSWORDS ? MAX_PASSWORDS : g_nPassCount);
    if (count == 0 || !word || !*word)
        return false;
    CString lower(word);
    lower.MakeLower();
    for (int i = 0; i < count; ++i) {
        if (g_PassValues[i].IsEmpty())
            continue;
        CString password = g_PassValues[i];
        password.MakeLower();
        if (lower.Find(password) >= 0)
            return true;
    }
    return false;
}
