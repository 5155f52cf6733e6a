#include "HelpLinks.h"

#include "Folders.h"
#include "PathText.h"

namespace {
typedef HWND(WINAPI *HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);
const UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
}

CString GetHelpFilePath()
{
    return FindHelpFile(GetProgramFolder(), GetFileName(GetInstanceFilePath(), true));
}

void OpenHelpFileTopic(const char *helpFile, UINT command, DWORD_PTR data)
{
    const CString path = helpFile && *helpFile ? CString(helpFile) : GetHelpFilePath();
    // The HTML Help control is loaded when first needed and kept.
    static HMODULE control = LoadLibraryA("hhctrl.ocx");
    if (!control)
        return;
    if (auto htmlHelp = reinterpret_cast<HtmlHelpFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(control, "HtmlHelpA"))))
        htmlHelp(GetDesktopWindow(), path, command, data);
}

void ShowHelpTopic(const char *topic)
{
    OpenHelpFileTopic(nullptr, kDisplayTopic, reinterpret_cast<DWORD_PTR>(topic ? topic : ""));
}

void ApplyBrandingToTitle(HWND window, const char *companyName)
{
    const int length = GetWindowTextLengthA(window);
    CString title;
    GetWindowTextA(window, title.GetBufferSetLength(length + 1), length + 1);
    title.ReleaseBuffer(-1);
    SetWindowTextA(window, ApplyBranding(title, g_strProductName, companyName));
}
