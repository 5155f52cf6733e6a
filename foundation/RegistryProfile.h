// Profile values in the registry, under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>: integers
// as REG_DWORD, strings as REG_SZ. The host has no registry: its getters give
// the default and its writers fail.
#pragma once

#include "CString.h"

int RegistryProfileGetInt(const char *registryKey, const char *profileName, const char *section, const char *key,
                          int defaultValue);
CString RegistryProfileGetString(const char *registryKey, const char *profileName, const char *section,
                                 const char *key, const char *defaultValue);
// A failed write shows the system's error text.
bool RegistryProfileWriteInt(const char *registryKey, const char *profileName, const char *section, const char *key,
                             int value);
bool RegistryProfileWriteString(const char *registryKey, const char *profileName, const char *section,
                                const char *key, const char *value);
