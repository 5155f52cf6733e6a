// The host has no private-profile functions: our own reader and writer of the
// format serve instead.
#include "PrivateProfile.h"

CString ProfileGetString(const char *section, const char *key, const char *defaultValue, int bufferSize,
                         const char *file)
{
    return IniFileGetString(section, key, defaultValue, bufferSize, file);
}

int ProfileGetInt(const char *section, const char *key, int defaultValue, const char *file)
{
    return IniFileGetInt(section, key, defaultValue, file);
}

bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    return IniFileWriteString(section, key, value, file);
}

void ProfileGetSectionNames(CStringArray &names, const char *file) { IniFileGetSectionNames(names, file); }
