#include "PasswordList.h"

#include <vector>

#include "StringCipher.h"

int g_nPassCount = 0;
CString g_PassNames[MAX_PASSWORDS];
CString g_PassValues[MAX_PASSWORDS];

namespace {
// Fixed: the stored list must decipher after every start.
const char kPassPhrase[] = "kovmirta";

// Every Tab ends a field, so an empty name or password keeps its place and
// the entries after it stay paired.
std::vector<CString> SplitAtTabs(const CString &text)
{
    std::vector<CString> fields;
    int start = 0;
    for (;;) {
        const int tab = text.Find('\t', start);
        if (tab < 0) {
            fields.push_back(text.Mid(start));
            return fields;
        }
        fields.push_back(text.Mid(start, tab - start));
        start = tab + 1;
    }
}

int PassCount() { return g_nPassCount < 0 ? 0 : (g_nPassCount > MAX_PASSWORDS ? MAX_PASSWORDS : g_nPassCount); }
}  // namespace

bool ContainsExcludedWord(const char *word)
{
    const int count = PassCount();
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

BOOL EncryptPassEntry(const CString &plain, CString &out)
{
    if (plain.IsEmpty()) {
        out.Empty();
        return TRUE;
    }
    const CString hex = EncryptToHex(plain, kPassPhrase);
    if (hex.IsEmpty())
        return FALSE;
    out = hex;
    return TRUE;
}

BOOL DecryptPassEntry(const CString &hex, CString &out)
{
    out = DecryptFromHex(hex, kPassPhrase);
    return TRUE;
}

void LoadPassArray(const CString &stored)
{
    const std::vector<CString> fields = stored.IsEmpty() ? std::vector<CString>() : SplitAtTabs(stored);
    int count = static_cast<int>(fields.size() / 2);
    if (count > MAX_PASSWORDS)
        count = MAX_PASSWORDS;
    for (int i = 0; i < MAX_PASSWORDS; ++i) {
        g_PassNames[i].Empty();
        g_PassValues[i].Empty();
    }
    for (int i = 0; i < count; ++i) {
        g_PassNames[i] = fields[2 * i];
        DecryptPassEntry(fields[2 * i + 1], g_PassValues[i]);
    }
    g_nPassCount = count;
}

BOOL BuildPassArray(CString &stored)
{
    CString built;
    for (int i = 0; i < PassCount(); ++i) {
        CString hex;
        if (!EncryptPassEntry(g_PassValues[i], hex))
            return FALSE;
        if (i > 0)
            built += '\t';
        built += g_PassNames[i];
        built += '\t';
        built += hex;
    }
    stored = built;
    return TRUE;
}
