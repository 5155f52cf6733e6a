// Opening files, folders, addresses and command lines with the shell, a
// console in a folder, and the registered client programs.
#pragma once

#include <windows.h>

// Exit code given when the started process outlives the time-out.
const int SHELLOPEN_STILL_RUNNING = -12345;

// Opens the target (see PrepareShellOpen). With exitCode, waits up to
// timeout ms for the started process, dispatching this thread's messages,
// and gives its exit code. False when the shell could not start it.
BOOL ShellOpen(const char *target, const char *workingFolder = "", BOOL runAs = FALSE, int *exitCode = nullptr,
               int showCommand = SW_SHOWNORMAL, DWORD timeout = INFINITE);

// Opens a command prompt in the folder; a message and false when it is no
// folder.
BOOL OpenConsoleInFolder(const char *folder);

// Runs the open command registered for a client program (kind "Mail",
// name ...). False without a message when none is registered; a message when
// its command is empty.
BOOL OpenClientProgram(const char *kind, const char *name);
