#include "IniFile.h"

#include "Files.h"
#include "Folders.h"
#include "IniText.h"
#include "PathText.h"
#include "PrivateProfile.h"
#include "StringCipher.h"
#include "TextHelpers.h"

namespace {
const int kStringBuffer = 4096;  // characters read for one value

bool InProgramFolder(const CString &name)
{
#ifndef _WIN32
    if (!name.IsEmpty() && name[0] == '/')
        return false;  // a full path on the host
#endif
    return IsRelativePath(name);
}
}  // namespace

CIniFile::CIniFile(const char *fileName, BOOL enabled, int extra)
    : m_strFile(fileName), m_strSection("General"), m_bEnabled(enabled), m_nExtra(extra)
{
    if (InProgramFolder(m_strFile))
        m_strFile = GetProgramFolder() + m_strFile;
}

const char *CIniFile::Section(const char *section)
{
    if (section && *section)
        m_strSection = section;
    return m_strSection;
}

int CIniFile::GetInt(const char *key, int defaultValue, const char *section)
{
    const char *current = Section(section);
    return m_bEnabled ? ProfileGetInt(current, key, defaultValue, m_strFile) : 0;
}

CString CIniFile::GetString(const char *key, const char *defaultValue, const char *section, bool unescape)
{
    const char *current = Section(section);
    if (!m_bEnabled)
        return CString();
    CString value = ProfileGetString(current, key, defaultValue, kStringBuffer, m_strFile);
    if (m_bEncrypt && value != defaultValue)
        value = DecryptFromHex(value, m_strPassPhrase);
    return unescape ? UnescapeLineBreaks(value) : value;
}

BOOL CIniFile::SetString(const char *key, const char *value, const char *section)
{
    CString stored = EscapeLineBreaks(value);
    const char *current = Section(section);
    if (!m_bEnabled)
        return FALSE;
    if (m_bEncrypt)
        stored = EncryptToHex(stored, m_strPassPhrase);
    return ProfileWriteString(current, key, stored, m_strFile) ? TRUE : FALSE;
}

BOOL CIniFile::SetInt(const char *key, int value, const char *section)
{
    const char *current = Section(section);
    if (!m_bEnabled)
        return FALSE;
    return ProfileWriteString(current, key, IntToString(value, 10), m_strFile) ? TRUE : FALSE;
}

void CIniFile::GetSectionNames(CStringArray &names)
{
    if (m_bEnabled)
        ProfileGetSectionNames(names, m_strFile);
}

bool CIniFile::FileExists() const { return ::FileExists(m_strFile); }
