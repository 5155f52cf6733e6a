#include "LibGen.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "CharClasses.h"
#include "Files.h"
#include "LibFile.h"
#include "LibFormats.h"
#include "LibRecords.h"
#include "PathText.h"
#include "Settings.h"
#include "SharedSection.h"

namespace {
// Windows-1252 bytes 0x80-0x9F and the characters they stand for (0 where the
// code page has none).
const unsigned kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool EncodeAnsi(unsigned cp, std::string &out)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out += static_cast<char>(cp);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i)
        if (kCp1252High[i] == cp && cp != 0) {
            out += static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

bool ReadLines(const char *path, std::vector<std::string> &lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0)
        lines[0].erase(0, 3);
    return !in.bad();
}

std::string Trimmed(const std::string &text)
{
    const char *blank = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blank);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

// The word characters the program follows by default: letters, digits and
// the default "NonDelimiter" characters, taken from the settings table so the
// two cannot drift apart.
void UseDefaultWordRules()
{
    CAppSettings settings;
    for (const SettingDef &def : settings.Table())
        if (std::strcmp(def.key, "NonDelimiter") == 0)
            SetSharedString(NonDelimiter, def.defStr);
}

bool IsOneWord(const std::string &text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!IsWordChar(c, TRUE))
            return false;
    return true;
}

bool PrepareTarget(const char *libPath, LibGenReport &report)
{
    const CString folder = GetParentFolder(libPath);
    if (!folder.IsEmpty() && !CreateFolderPath(folder)) {
        report.error = "can't create the folder " + std::string(folder.GetString());
        return false;
    }
    return true;
}
}  // namespace

bool Utf8ToAnsi(const std::string &utf8, std::string &ansi)
{
    ansi.clear();
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        unsigned cp;
        size_t extra;
        if (lead < 0x80) {
            cp = lead;
            extra = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= utf8.size())
            return false;  // cut off
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (!EncodeAnsi(cp, ansi))
            return false;
        i += extra + 1;
    }
    return true;
}

bool WriteWordLibraryFromList(const char *listPath, const char *libPath, LibGenReport &report)
{
    report = LibGenReport();
    if (IsShorthandLibPath(libPath)) {
        report.error = std::string(libPath) + " names a shorthand library";
        return false;
    }
    std::vector<std::string> lines;
    if (!ReadLines(listPath, lines)) {
        report.error = "can't read " + std::string(listPath);
        return false;
    }
    UseDefaultWordRules();
    std::vector<WRecord_X> records;
    records.reserve(lines.size());
    for (const std::string &line : lines) {
        std::string word;
        if (!Utf8ToAnsi(Trimmed(line), word) || !IsOneWord(word)) {
            if (!Trimmed(line).empty())
                ++report.skipped;
            continue;
        }
        WRecord_X record;
        record.word = word.c_str();
        record.useCount = 1;
        records.push_back(record);
    }
    std::sort(records.begin(), records.end(), [](const WRecord_X &a, const WRecord_X &b) {
        return CompareWords(a.word, b.word, TRUE) < 0;
    });
    // A word library holds each word once (byte for byte).
    const auto last = std::unique(records.begin(), records.end(), [](const WRecord_X &a, const WRecord_X &b) {
        return std::strcmp(a.word, b.word) == 0;
    });
    report.skipped += static_cast<int>(records.end() - last);
    records.erase(last, records.end());
    if (!PrepareTarget(libPath, report))
        return false;
    CLibFile library(libPath);
    library.m_WordTable = std::move(records);
    library.m_bDirty = TRUE;
    report.written = static_cast<int>(library.m_WordTable.size());
    if (!library.WriteAllRecordsIntoLib(TRUE)) {
        report.error = "can't write " + std::string(libPath);
        return false;
    }
    return true;
}

bool WriteShorthandLibraryFromList(const char *listPath, const char *libPath, LibGenReport &report)
{
    report = LibGenReport();
    if (!IsShorthandLibPath(libPath)) {
        report.error = std::string(libPath) + " does not name a shorthand library (.slb)";
        return false;
    }
    std::vector<std::string> lines;
    if (!ReadLines(listPath, lines)) {
        report.error = "can't read " + std::string(listPath);
        return false;
    }
    std::vector<SHRecord_X> records;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string &line = lines[n];
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const std::string where = std::string(listPath) + ":" + std::to_string(n + 1) + ": ";
        const size_t tab = line.find('\t');
        std::string name, expansion;
        if (tab == std::string::npos) {
            report.error = where + "no Tab between shorthand and expansion";
            return false;
        }
        if (!Utf8ToAnsi(Trimmed(line.substr(0, tab)), name) || !Utf8ToAnsi(Trimmed(line.substr(tab + 1)), expansion)) {
            report.error = where + "not UTF-8 text of the Windows-1252 character set";
            return false;
        }
        const bool blank = std::any_of(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; });
        if (name.size() < 2 || name.size() >= SH_NAME_SIZE || blank) {
            report.error = where + "a shorthand has 2 to 19 characters and no blanks";
            return false;
        }
        if (expansion.empty()) {
            report.error = where + "empty expansion";
            return false;
        }
        SHRecord_X record;
        // Lower-case already here: the writer stores names lower-case, and the
        // order must be that of the stored names.
        for (size_t k = 0; k < name.size(); ++k)
            record.name[k] = AsciiToLower(name[k]);
        record.expansion = expansion.c_str();
        record.useCount = 1;
        records.push_back(record);
    }
    if (records.empty()) {
        report.error = std::string(listPath) + ": no shorthand in the list";
        return false;
    }
    const auto order = [](const SHRecord_X &a, const SHRecord_X &b) {
        const int byName = CompareWords(a.name, b.name, TRUE);
        return byName != 0 ? byName < 0 : CompareWords(a.expansion, b.expansion, TRUE) < 0;
    };
    std::sort(records.begin(), records.end(), order);
    // Each name-and-expansion pair once.
    const auto last = std::unique(records.begin(), records.end(), [](const SHRecord_X &a, const SHRecord_X &b) {
        return std::strcmp(a.name, b.name) == 0 && std::strcmp(a.expansion, b.expansion) == 0;
    });
    report.skipped = static_cast<int>(records.end() - last);
    records.erase(last, records.end());
    if (!PrepareTarget(libPath, report))
        return false;
    CLibFile library(libPath);
    library.m_ShTable = std::move(records);
    library.m_bDirty = TRUE;
    report.written = static_cast<int>(library.m_ShTable.size());
    if (!library.WriteAllRecordsIntoLib(TRUE)) {
        report.error = "can't write " + std::string(libPath);
        return false;
    }
    return true;
}
