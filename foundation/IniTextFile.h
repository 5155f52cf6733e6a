// An INI file loaded whole into an INI text (see IniText.h), read and changed
// in memory and written back whole. Made for one operation: construct (which
// loads), get or set, then save or let the destructor save the changes.
#pragma once

#include <vector>

#include "CString.h"

enum class IniFileRead { Missing, Failed, Read };
// Reads a whole INI file with CR LF reduced to LF. A file
// that exists but can't be read whole, or holds a NUL byte (no INI text; a
// string would end there), is Failed, never an empty text.
IniFileRead ReadIniFileText(const char *path, CString &text);

class CIniTextFile {
public:
    CIniTextFile() = default;
    explicit CIniTextFile(const char *path, const char *section = "General");
    ~CIniTextFile();
    CIniTextFile(const CIniTextFile &) = delete;
    CIniTextFile &operator=(const CIniTextFile &) = delete;

    // False when the file is missing (the text is then empty and a save
    // creates the file) and when it exists but can't be read or holds a NUL
    // byte: such a file is never rewritten by this object.
    bool Load(const char *path, const char *section = "General");

    // An empty section uses the current one; any other becomes the current one.
    CString GetString(const char *key, const char *defaultValue = "", bool unescape = false, const char *section = "");
    int GetInt(const char *key, int defaultValue = 0, const char *section = "");
    long long GetInt64(const char *key, long long defaultValue = 0, const char *section = "");
    // False when the value can't be stored (a line break without escaping).
    bool SetString(const char *key, const char *value, bool escape = false, const char *section = "");
    bool SetInt(const char *key, int value, const char *section = "");
    bool SetInt64(const char *key, long long value, const char *section = "");

    // Writes the file whole, through a temporary file moved into place. The
    // file is read again first and the changes made through this object are
    // applied to what it holds now, so keys written meanwhile by another
    // writer survive. The dirty flag is cleared only when the write succeeded.
    bool Save();

    // Replaces the whole text; a save then writes exactly this text.
    void SetText(const char *text, const char *section = "General");
    void SetSection(const char *section) { m_section = section; }
    void SetPath(const char *path) { m_path = path; }
    void Clear();
    bool HasSection(const char *section) const;
    CString DetachText();  // the text without its leading LF; clears dirty
    bool IsDirty() const { return m_dirty; }
    void SetDirty(bool dirty = true) { m_dirty = dirty; }
    const CString &GetText() const { return m_text; }

private:
    struct Change {
        CString section, key, value;
        bool escape;
    };
    const char *Section(const char *section);
    bool Apply(const char *key, const char *value, bool escape, const char *section);

    CString m_text;
    CString m_section = "General";
    CString m_path;
    bool m_dirty = false;
    bool m_readFailed = false;       // the file exists but was not read: never write it
    bool m_wholeText = false;        // SetText: the text is saved as it is
    std::vector<Change> m_changes;   // applied again to the file's current text by Save
};
