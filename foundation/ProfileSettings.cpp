#include "ProfileSettings.h"

#include "IniText.h"
#include "IniTextFile.h"
#include "RegistryProfile.h"

CString g_strIniText;
BOOL g_bUseIniText = FALSE;

namespace {
CString g_registryKey;
CString g_profileName;

const char *SectionOrGeneral(const char *section) { return section && *section ? section : "General"; }
bool InRegistry() { return !g_registryKey.IsEmpty(); }

// One write per call: the result goes to the caller, and the file object's
// destructor does not try again.
bool SaveOnce(CIniTextFile &file, bool changed)
{
    const bool saved = changed && file.Save();
    file.SetDirty(false);
    return saved;
}
}  // namespace

void SetAppProfile(const char *registryKey, const char *profileName)
{
    g_registryKey = registryKey;
    g_profileName = profileName;
}

const CString &GetAppRegistryKey() { return g_registryKey; }
const CString &GetAppProfileName() { return g_profileName; }

int GetProfileIntEx(const char *key, int defaultValue, const char *section)
{
    if (InRegistry())
        return RegistryProfileGetInt(g_registryKey, g_profileName, SectionOrGeneral(section), key, defaultValue);
    CIniTextFile file(g_profileName, "General");
    return file.GetInt(key, defaultValue, section);
}

CString GetProfileStringEx(const char *key, const char *defaultValue, bool unescape, const char *section)
{
    if (InRegistry()) {
        const CString value =
            RegistryProfileGetString(g_registryKey, g_profileName, SectionOrGeneral(section), key, defaultValue);
        return unescape ? UnescapeLineBreaks(value) : value;
    }
    CIniTextFile file(g_profileName, "General");
    return file.GetString(key, defaultValue, unescape, section);
}

BOOL WriteProfileIntEx(const char *key, int value, const char *section)
{
    if (InRegistry())
        return RegistryProfileWriteInt(g_registryKey, g_profileName, SectionOrGeneral(section), key, value);
    CIniTextFile file(g_profileName, "General");
    return SaveOnce(file, file.SetInt(key, value, section));
}

BOOL WriteProfileStringEx(const char *key, const char *value, bool escape, const char *section)
{
    if (InRegistry())
        return RegistryProfileWriteString(g_registryKey, g_profileName, SectionOrGeneral(section), key,
                                          escape ? EscapeLineBreaks(value) : CString(value));
    CIniTextFile file(g_profileName, "General");
    return SaveOnce(file, file.SetString(key, value, escape, section));
}

int GetSettingInt(const char *key, int defaultValue, const char *section)
{
    if (g_bUseIniText)
        return IniTextGetInt(g_strIniText, key, defaultValue, SectionOrGeneral(section));
    return GetProfileIntEx(key, defaultValue, section);
}

CString GetSettingString(const char *key, const char *defaultValue, bool unescape, const char *section)
{
    if (g_bUseIniText)
        return IniTextGet(g_strIniText, key, defaultValue, unescape, SectionOrGeneral(section));
    return GetProfileStringEx(key, defaultValue, unescape, section);
}

BOOL WriteSettingInt(const char *key, int value, const char *section)
{
    if (g_bUseIniText)
        return IniTextSetInt(g_strIniText, key, value, SectionOrGeneral(section));
    return WriteProfileIntEx(key, value, section);
}

BOOL WriteSettingString(const char *key, const char *value, bool escape, const char *section)
{
    if (g_bUseIniText)
        return IniTextSet(g_strIniText, key, value, escape, SectionOrGeneral(section));
    return WriteProfileStringEx(key, value, escape, section);
}
