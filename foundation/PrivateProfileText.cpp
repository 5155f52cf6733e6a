#include <vector>

#include "Files.h"
#include "IniTextFile.h"
#include "PrivateProfile.h"
#include "TextHelpers.h"

namespace {
struct Line {
    CString text;     // as in the file, without its line break
    CString section;  // the name when the line is a section header
    CString key;      // the name when the line is a key line
    CString value;
    bool isSection = false;
    bool hasValue = false;  // a key line with "="
};

// False when the file exists but can't be read whole: it must not be written.
bool ReadLines(const char *file, std::vector<Line> &lines)
{
    lines.clear();
    CString text;
    const IniFileRead result = ReadIniFileText(file, text);
    if (result != IniFileRead::Read)
        return result == IniFileRead::Missing;
    int start = 0;
    while (start < text.GetLength()) {
        int stop = text.Find('\n', start);
        if (stop < 0)
            stop = text.GetLength();
        Line line;
        line.text = text.Mid(start, stop - start);
        line.text.TrimRight('\r');
        CString trimmed = line.text;
        trimmed.Trim();
        if (!trimmed.IsEmpty() && trimmed[0] == '[') {
            const int close = trimmed.Find(']');
            line.isSection = true;
            line.section = close < 0 ? trimmed.Mid(1) : trimmed.Mid(1, close - 1);
            line.section.Trim();
        } else if (!trimmed.IsEmpty()) {
            const int equals = trimmed.Find('=');
            line.hasValue = equals >= 0;
            line.key = equals < 0 ? trimmed : trimmed.Left(equals);
            line.key.Trim();
            if (equals >= 0) {
                line.value = trimmed.Mid(equals + 1);
                line.value.Trim();
            }
        }
        lines.push_back(line);
        start = stop + 1;
    }
    return true;
}

// Lines [first, last) of the first section of that name; first is -1 when
// there is none. Lines before the first header belong to no section.
void FindSection(const std::vector<Line> &lines, const char *section, int &first, int &last)
{
    first = last = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (!lines[i].isSection)
            continue;
        if (first >= 0) {
            last = i;
            return;
        }
        if (lines[i].section.CompareNoCase(section) == 0)
            first = i + 1;
    }
    if (first >= 0)
        last = static_cast<int>(lines.size());
}

int FindKey(const std::vector<Line> &lines, int first, int last, const char *key)
{
    CString name(key);
    name.Trim();
    for (int i = first; i < last; ++i)
        if (!lines[i].key.IsEmpty() && lines[i].key.CompareNoCase(name) == 0)
            return i;
    return -1;
}
}  // namespace

CString IniFileGetString(const char *section, const char *key, const char *defaultValue, int bufferSize,
                         const char *file)
{
    std::vector<Line> lines;
    ReadLines(file, lines);
    int first, last;
    FindSection(lines, section, first, last);
    const int at = first < 0 ? -1 : FindKey(lines, first, last, key);
    CString value = at >= 0 && lines[at].hasValue ? lines[at].value : CString(defaultValue);
    const int n = value.GetLength();
    if (at >= 0 && n >= 2 && (value[0] == '"' || value[0] == '\'') && value[n - 1] == value[0])
        value = value.Mid(1, n - 2);
    return bufferSize > 0 ? value.Left(bufferSize - 1) : CString();
}

int IniFileGetInt(const char *section, const char *key, int defaultValue, const char *file)
{
    const CString value = IniFileGetString(section, key, "", 64, file);
    if (value.IsEmpty())
        return defaultValue;
    // Sign, then "0x" and hexadecimal digits or decimal digits, up to the
    // first other character; the 32-bit pattern wraps.
    int i = 0;
    bool negative = false;
    if (value[i] == '-' || value[i] == '+')
        negative = value[i++] == '-';
    unsigned int base = 10;
    if (value[i] == '0' && (value[i + 1] == 'x' || value[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    unsigned int number = 0;
    for (; i < value.GetLength() && (base == 16 ? IsHexDigit(value[i]) : IsDigitChar(value[i])); ++i)
        number = number * base + static_cast<unsigned int>(HexDigitValue(value[i]));
    return static_cast<int>(negative ? 0u - number : number);
}

bool IniFileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    std::vector<Line> lines;
    if (!ReadLines(file, lines))
        return false;
    const CString line = CString(key) + "=" + value;
    int first, last;
    FindSection(lines, section, first, last);
    if (first < 0) {
        lines.push_back({CString("[") + section + "]", section, "", "", true, false});
        lines.push_back({line, "", key, value, false, true});
    } else {
        const int at = FindKey(lines, first, last, key);
        if (at >= 0) {
            lines[at].text = lines[at].key + "=" + value;  // the name as the file spells it
        } else {
            int after = last;
            while (after > first && CString(lines[after - 1].text).Trim().IsEmpty())
                --after;
            lines.insert(lines.begin() + after, Line{line, "", key, value, false, true});
        }
    }
    CString text;
    for (const Line &each : lines)
        text += each.text + "\n";
    return WriteTextFile(file, text, 0, 0, false);
}

void IniFileGetSectionNames(CStringArray &names, const char *file)
{
    std::vector<Line> lines;
    ReadLines(file, lines);
    for (const Line &line : lines)
        if (line.isSection)
            names.Add(line.section);
}
