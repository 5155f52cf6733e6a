// The program's last word on an unhandled exception: it tells the user and
// writes a minidump into the data folder for the support team.
#pragma once

#include <windows.h>

// Installs WriteCrashDump as the unhandled-exception filter when the setting
// "GenerateDump" (section "Settings" of the settings file, default 1) is on
// and the system is XP or later. TRUE when installed.
BOOL InstallCrashDumpFilter(const OSVERSIONINFOEXA &version);

// The filter: writes <data folder><product>.dmp and reports the outcome.
LONG WINAPI WriteCrashDump(EXCEPTION_POINTERS *exception);
