#include "RegistryServices.h"

#include <objbase.h>

#include <vector>

#include "Folders.h"
#include "PathText.h"
#include "UserMessage.h"

const char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

CString GetRunValueName()
{
    // The application's name is the program file's name without extension.
    return GetFileName(GetModulePath(), true);
}

BOOL SetRunAtStartup(BOOL enable, BOOL showMessage)
{
    const CString name = GetRunValueName();
    if (!enable) {
        HKEY run = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_WRITE, &run) != ERROR_SUCCESS)
            return FALSE;
        const LONG result = RegDeleteValueA(run, name);
        RegCloseKey(run);
        return result == ERROR_SUCCESS;
    }
    BOOL ok = FALSE;
    HKEY version = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_WRITE, &version) ==
        ERROR_SUCCESS) {
        HKEY run = nullptr;
        if (RegCreateKeyExA(version, "Run", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &run, nullptr) ==
            ERROR_SUCCESS) {
            const CString data = "\"" + GetModulePath() + "\"";
            ok = RegSetValueExA(run, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.GetString()),
                                static_cast<DWORD>(data.GetLength() + 1)) == ERROR_SUCCESS;
            RegCloseKey(run);
        }
        RegCloseKey(version);
    }
    if (!ok && showMessage)
        ShowMessage("Unable to schedule " + name + " to run at startup.\r\nRegistry access denied.");
    return ok;
}

CString ReadRegString(HKEY root, const char *subKey, const char *valueName, const char *defaultValue)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return defaultValue;
    CString text = defaultValue;
    // The value may grow between the size query and the read: ask again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            break;
        std::vector<char> data(size + 1, '\0');
        DWORD got = size;
        const LONG result = RegQueryValueExA(key, valueName, nullptr, &type,
                                             reinterpret_cast<BYTE *>(data.data()), &got);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        // Stored data need not end in a terminator; take what was stored, up
        // to the first terminator within it.
        int length = 0;
        while (length < static_cast<int>(got) && data[length] != '\0')
            ++length;
        text = CString(data.data(), length);
        break;
    }
    RegCloseKey(key);
    return text;
}

DWORD ReadRegDword(HKEY root, const char *subKey, const char *valueName, DWORD defaultValue)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return defaultValue;
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof data ? data : defaultValue;
}

BOOL WriteRegDword(HKEY root, const char *subKey, const char *valueName, DWORD data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    const LONG result = RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data), sizeof data);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

CString GetInprocServerPath(const char *progId)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, progId, -1, nullptr, 0);
    if (length <= 0)
        return CString();
    std::vector<wchar_t> wide(length);
    MultiByteToWideChar(CP_ACP, 0, progId, -1, wide.data(), length);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(wide.data(), &clsid)))
        return CString();
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(clsid, &text)))
        return CString();
    char narrow[64] = {0};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    CoTaskMemFree(text);
    return ReadRegString(HKEY_CLASSES_ROOT, CString("CLSID\\") + narrow + "\\InprocServer32", nullptr, "");
}
