// The compiled help file, the web addresses behind the link commands, and
// the product and company names in window titles.
#pragma once

#include "CString.h"

// programFolder + fileTitle + ".chm" when it exists, else the same name in
// the "help" subfolder (whether it exists or not).
CString FindHelpFile(const char *programFolder, const char *fileTitle);

// The address for "homepage", "download", "libcenter" or "forum"; empty for
// any other keyword. The home page follows the configured product name.
CString OpenWebLink(const char *keyword);

// The title with "Lexanto" replaced by the product name and "Corvalen" by
// the company name.
CString ApplyBranding(const char *title, const char *productName, const char *companyName);

#ifdef _WIN32
#include <windows.h>

// The program's help file (see FindHelpFile).
CString GetHelpFilePath();
// Shows a topic of the help file; HTML Help reports a missing file or topic.
void ShowHelpTopic(const char *topic);
// HTML Help with any command on a help file (empty: the program's).
void OpenHelpFileTopic(const char *helpFile, UINT command, DWORD_PTR data);
// Puts the configured names into the window's title.
void ApplyBrandingToTitle(HWND window, const char *companyName);
#endif
