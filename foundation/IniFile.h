// An INI file read and written key by key through the private-profile
// functions, with optional escaping and encryption of string values.
#pragma once

#include "CString.h"
#include "StringArray.h"

class CIniFile {
public:
    CIniFile() = default;
    // A relative name lies in the program folder ("custom.ini").
    explicit CIniFile(const char *fileName, BOOL enabled = TRUE, int extra = 0);

    void SetFileName(const char *path) { m_strFile = path; }  // kept as given

    // An empty section uses the current one; any other becomes the current
    // one. A disabled object answers 0 or "" and writes nothing.
    int GetInt(const char *key, int defaultValue = 0, const char *section = "");
    CString GetString(const char *key, const char *defaultValue = "", const char *section = "", bool unescape = false);
    // CR and LF in the value are always stored as \r and \n.
    BOOL SetString(const char *key, const char *value, const char *section = "");
    BOOL SetInt(const char *key, int value, const char *section = "");
    void GetSectionNames(CStringArray &names);
    bool FileExists() const;

    CString m_strFile;
    CString m_strSection;
    BOOL m_bEncrypt = FALSE;    // store string values as hexadecimal cipher text
    CString m_strPassPhrase;    // for that cipher; empty: the built-in default
    BOOL m_bEnabled = TRUE;
    int m_nExtra = 0;           // kept for the owner

private:
    const char *Section(const char *section);
};
