#include <windows.h>

#include <cstring>
#include <vector>

#include "ErrorText.h"
#include "RegistryProfile.h"

namespace {
CString SectionPath(const char *registryKey, const char *profileName, const char *section)
{
    return CString("Software\\") + registryKey + "\\" + profileName + "\\" + section;
}

HKEY OpenSection(const char *registryKey, const char *profileName, const char *section)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(registryKey, profileName, section), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool Write(const char *registryKey, const char *profileName, const char *section, const char *name, DWORD type,
           const BYTE *data, DWORD size)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(registryKey, profileName, section), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExA(key, name, 0, type, data, size);
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS)
        ErrorText(static_cast<DWORD>(result), true);
    return result == ERROR_SUCCESS;
}
}  // namespace

int RegistryProfileGetInt(const char *registryKey, const char *profileName, const char *section, const char *key,
                          int defaultValue)
{
    HKEY handle = OpenSection(registryKey, profileName, section);
    if (!handle)
        return defaultValue;
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG result = RegQueryValueExA(handle, key, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? static_cast<int>(value)
                                                                              : defaultValue;
}

CString RegistryProfileGetString(const char *registryKey, const char *profileName, const char *section,
                                 const char *key, const char *defaultValue)
{
    HKEY handle = OpenSection(registryKey, profileName, section);
    if (!handle)
        return defaultValue;
    // The size is asked first, and the text is cut at what was read: a value
    // stored without its terminating 0 must not run on.
    DWORD type = 0, size = 0;
    CString text = defaultValue;
    if (RegQueryValueExA(handle, key, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<char> buffer(size + 1, '\0');
        if (RegQueryValueExA(handle, key, nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            buffer[size < buffer.size() ? size : buffer.size() - 1] = '\0';
            text = buffer.data();
        }
    }
    RegCloseKey(handle);
    return text;
}

bool RegistryProfileWriteInt(const char *registryKey, const char *profileName, const char *section, const char *key,
                             int value)
{
    const DWORD data = static_cast<DWORD>(value);
    return Write(registryKey, profileName, section, key, REG_DWORD, reinterpret_cast<const BYTE *>(&data),
                 sizeof data);
}

bool RegistryProfileWriteString(const char *registryKey, const char *profileName, const char *section,
                                const char *key, const char *value)
{
    return Write(registryKey, profileName, section, key, REG_SZ, reinterpret_cast<const BYTE *>(value),
                 static_cast<DWORD>(std::strlen(value) + 1));
}
