// The host has no registry: nothing is stored there.
#include "RegistryProfile.h"

int RegistryProfileGetInt(const char *, const char *, const char *, const char *, int defaultValue)
{
    return defaultValue;
}

CString RegistryProfileGetString(const char *, const char *, const char *, const char *, const char *defaultValue)
{
    return defaultValue;
}

bool RegistryProfileWriteInt(const char *, const char *, const char *, const char *, int) { return false; }

bool RegistryProfileWriteString(const char *, const char *, const char *, const char *, const char *)
{
    return false;
}
