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

// The newsletter page from its template: "ContactName" becomes the maker's
// name and "UserEmail" the address, written as HTML text (& < > and quotes
// as entities) so that it stays whole inside an attribute value.
CString BuildSubscriptionPage(const char *pageTemplate, const char *email);
// Writes that page to path (text mode); false when there is no template or
// the file cannot be written.
bool WriteSubscriptionPage(const char *path, const char *pageTemplate, const char *email);

#ifdef _WIN32
#include <windows.h>

// A string resource of the program, whole however long it is; empty when
// there is none.
CString LoadResourceString(UINT id);
// The newsletter page of string resource 2 for the address, written to
// "~subscrb.htm" in the temporary folder and opened with the shell. False
// when the page cannot be written or opened.
bool OpenSubscriptionPage(const char *email);

// The program's help file (see FindHelpFile).
CString GetHelpFilePath();
// Shows a topic of the help file; HTML Help reports a missing file or topic.
void ShowHelpTopic(const char *topic);
// HTML Help with any command on a help file (empty: the program's).
void OpenHelpFileTopic(const char *helpFile, UINT command, DWORD_PTR data);
// Puts the configured names into the window's title.
void ApplyBrandingToTitle(HWND window, const char *companyName);
#endif
