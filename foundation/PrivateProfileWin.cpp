#include <windows.h>

#include <vector>

#include "PrivateProfile.h"

CString ProfileGetString(const char *section, const char *key, const char *defaultValue, int bufferSize,
                         const char *file)
{
    if (bufferSize <= 0)
        return CString();
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                                  static_cast<DWORD>(bufferSize), file);
    return CString(buffer.data(), static_cast<int>(length));
}

int ProfileGetInt(const char *section, const char *key, int defaultValue, const char *file)
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, file));
}

bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

void ProfileGetSectionNames(CStringArray &names, const char *file)
{
    // The names come as one list, each ended by a 0; a list that fills the
    // buffer may have been cut, so it is asked for again with more room.
    std::vector<char> buffer(1024);
    DWORD length;
    for (;;) {
        length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), file);
        if (length + 2 < buffer.size() || buffer.size() >= (1u << 24))
            break;
        buffer.resize(buffer.size() * 4);
    }
    for (DWORD at = 0; at < length && buffer[at];) {
        const CString name(buffer.data() + at);
        names.Add(name);
        at += static_cast<DWORD>(name.GetLength()) + 1;
    }
}
