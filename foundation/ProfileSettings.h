// One setting per call, read from or written to the application's profile,
// or to a settings text held in memory when g_bUseIniText is set.
#pragma once

#include "CString.h"

// Where the application's profile lives: with a registry key, in the registry
// under HKEY_CURRENT_USER\Software\<registry key>\<profile name>; without one,
// in the settings file named by the profile name. The start-up chooses.
void SetAppProfile(const char *registryKey, const char *profileName);
const CString &GetAppRegistryKey();
const CString &GetAppProfileName();

// The profile route. An empty section means "General". In the file every call
// reads the whole file and every write rewrites it; a writer's result is the
// write's result. Escaping stores CR and LF as \r and \n.
int GetProfileIntEx(const char *key, int defaultValue, const char *section = "");
CString GetProfileStringEx(const char *key, const char *defaultValue, bool unescape = false, const char *section = "");
BOOL WriteProfileIntEx(const char *key, int value, const char *section = "");
BOOL WriteProfileStringEx(const char *key, const char *value, bool escape = false, const char *section = "");

// The settings text used instead of the profile while the switch is set.
extern CString g_strIniText;
extern BOOL g_bUseIniText;

int GetSettingInt(const char *key, int defaultValue, const char *section = "");
CString GetSettingString(const char *key, const char *defaultValue, bool unescape = false, const char *section = "");
BOOL WriteSettingInt(const char *key, int value, const char *section = "");
BOOL WriteSettingString(const char *key, const char *value, bool escape = false, const char *section = "");
