#include "IniTextFile.h"

#include <cstdio>
#include <cstring>

#include "Files.h"
#include "IniText.h"
#include "TextHelpers.h"

IniFileRead ReadIniFileText(const char *path, CString &text)
{
    if (!FileExists(path))
        return IniFileRead::Missing;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return IniFileRead::Failed;
    CString bytes;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (std::memchr(chunk, 0, got)) {
            std::fclose(file);
            return IniFileRead::Failed;
        }
        bytes.Append(chunk, static_cast<int>(got));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return IniFileRead::Failed;
    bytes.Replace("\r\n", "\n");
    text = bytes;
    return IniFileRead::Read;
}

CIniTextFile::CIniTextFile(const char *path, const char *section) { Load(path, section); }

CIniTextFile::~CIniTextFile()
{
    if (m_dirty)
        Save();
}

bool CIniTextFile::Load(const char *path, const char *section)
{
    m_path = path;
    m_section = section;
    m_dirty = false;
    m_wholeText = false;
    m_changes.clear();
    m_text.Empty();
    const IniFileRead result = ReadIniFileText(path, m_text);
    m_readFailed = result == IniFileRead::Failed;
    if (result != IniFileRead::Read)
        return false;
    // The store needs the LF in front; a file that begins with an empty line
    // lends it that line's LF.
    if (m_text.IsEmpty() || m_text[0] != '\n')
        m_text.Insert(0, '\n');
    return true;
}

const char *CIniTextFile::Section(const char *section)
{
    if (section && *section)
        m_section = section;
    return m_section;
}

CString CIniTextFile::GetString(const char *key, const char *defaultValue, bool unescape, const char *section)
{
    return IniTextGet(m_text, key, defaultValue, unescape, Section(section));
}

int CIniTextFile::GetInt(const char *key, int defaultValue, const char *section)
{
    return IniTextGetInt(m_text, key, defaultValue, Section(section));
}

long long CIniTextFile::GetInt64(const char *key, long long defaultValue, const char *section)
{
    return IniTextGetInt64(m_text, key, defaultValue, Section(section));
}

bool CIniTextFile::Apply(const char *key, const char *value, bool escape, const char *section)
{
    const char *current = Section(section);
    if (!IniTextSet(m_text, key, value, escape, current))
        return false;
    m_dirty = true;
    m_changes.push_back({current, key, value, escape});
    return true;
}

bool CIniTextFile::SetString(const char *key, const char *value, bool escape, const char *section)
{
    return Apply(key, value, escape, section);
}

bool CIniTextFile::SetInt(const char *key, int value, const char *section)
{
    return Apply(key, IntToString(value, 10), false, section);
}

bool CIniTextFile::SetInt64(const char *key, long long value, const char *section)
{
    return Apply(key, FormatStr("%lld", value), false, section);
}

bool CIniTextFile::Save()
{
    if (m_path.IsEmpty() || m_readFailed)
        return false;
    CString text = m_text;
    if (!m_wholeText) {
        text.Empty();
        const IniFileRead read = ReadIniFileText(m_path, text);
        if (read == IniFileRead::Failed)
            return false;
        if (read == IniFileRead::Read && (text.IsEmpty() || text[0] != '\n'))
            text.Insert(0, '\n');
        for (const Change &change : m_changes)
            IniTextSet(text, change.key, change.value, change.escape, change.section);
    }
    const char *body = text.GetString();
    if (*body == '\n')
        ++body;
    if (!WriteTextFile(m_path, body, 65001, 0, false))
        return false;
    m_text = text;
    m_changes.clear();
    m_wholeText = false;
    m_dirty = false;
    return true;
}

void CIniTextFile::SetText(const char *text, const char *section)
{
    m_text = text;
    if (m_text.IsEmpty() || m_text[0] != '\n')
        m_text.Insert(0, '\n');
    m_section = section;
    m_dirty = false;
    m_readFailed = false;
    m_wholeText = true;
    m_changes.clear();
}

void CIniTextFile::Clear()
{
    m_text.Empty();
    m_path.Empty();
    m_section = "General";
    m_dirty = false;
    m_readFailed = false;
    m_wholeText = false;
    m_changes.clear();
}

bool CIniTextFile::HasSection(const char *section) const { return IniTextHasSection(m_text, section); }

CString CIniTextFile::DetachText()
{
    CString text = m_text.GetLength() > 0 && m_text[0] == '\n' ? m_text.Mid(1) : m_text;
    m_dirty = false;
    m_changes.clear();
    return text;
}
