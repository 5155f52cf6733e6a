#include "HelpLinks.h"

#include <shellapi.h>

#include "Folders.h"
#include "PathText.h"

namespace {
typedef HWND(WINAPI *HtmlHelpFn)(HWND, LPCSTR, UINT, DWORD_PTR);
const UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
const UINT kSubscriptionPageString = 2;  // IDS_SUBSCRIPTION_PAGE of resources/resource.h
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

CString LoadResourceString(UINT id)
{
    // With no buffer LoadStringW hands out the resource's own text, so a
    // long string is never cut to a buffer's size.
    const wchar_t *text = nullptr;
    const int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return CString();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return CString();
    CString result;
    WideCharToMultiByte(CP_ACP, 0, text, length, result.GetBufferSetLength(size), size, nullptr, nullptr);
    result.ReleaseBuffer(size);
    return result;
}

bool OpenSubscriptionPage(const char *email)
{
    const CString path = GetTempFolder() + "~subscrb.htm";
    if (!WriteSubscriptionPage(path, LoadResourceString(kSubscriptionPageString), email))
        return false;
    const HINSTANCE result = ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
