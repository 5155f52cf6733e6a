#include "LibrarySet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CharClasses.h"
#include "FatalError.h"
#include "FileSystem.h"
#include "Files.h"
#include "Folders.h"
#include "LibFile.h"
#include "LibFormats.h"
#include "PathText.h"

CLibFile g_WordLibs[MAX_LIBRARIES];
int g_nWordLibCount = 0;
CLibFile g_ShLibs[MAX_LIBRARIES];
int g_nShLibCount = 0;
CLibFile *g_pUserLib = nullptr;
BOOL g_bLibrariesOpen = FALSE;

CString GetLibrariesFolder() { return AddTrailingSeparator(JoinPath(GetAppDataFolder(), "libraries")); }

int UpgradeLibraryIfNeeded(const CString &path, int version)
{
    if (version == LIB_VERSION_OLD_PLAIN || version == LIB_VERSION_OLD_TRANSFORMED)
        return UpgradeLibrary(path, version);
    return 0;
}

namespace {
bool WordBefore(const WRecord_X &a, const WRecord_X &b) { return CompareWords(a.word, b.word, TRUE) < 0; }

bool ShBefore(const SHRecord_X &a, const SHRecord_X &b)
{
    const int byName = CompareWords(a.name, b.name, TRUE);
    return byName != 0 ? byName < 0 : CompareWords(a.expansion, b.expansion, TRUE) < 0;
}
}  // namespace

int UpgradeLibrary(const CString &path, int version)
{
    const CString old = path + ".old";
    const bool transform = version == LIB_VERSION_OLD_TRANSFORMED;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        FatalError("Can't open " + path);
    std::fseek(file, 0, SEEK_END);
    const long long size = std::ftell(file);
    CLibFile library(path);
    const bool shorthand = library.IsShorthandLib();
    const int count = GetOldLibRecordCount(size, shorthand);
    std::vector<unsigned char> buffer(shorthand ? OLD_SH_REC_SIZE : OLD_WORD_REC_SIZE);
    for (int i = 0; i < count; ++i) {
        if (shorthand) {
            SHRecord_X record;
            if (!ReadOldShRecord(file, buffer.data(), i, transform) ||
                !DecodeOldShRecord(buffer.data(), buffer.size(), record))
                break;
            if (IsCompleteShRecord(record) && std::strlen(record.name) >= 2)
                library.m_ShTable.push_back(record);
        } else {
            WRecord_X record;
            if (!ReadOldWordRecord(file, buffer.data(), i, transform) ||
                !DecodeOldWordRecord(buffer.data(), buffer.size(), record))
                break;
            if (!record.word.IsEmpty())
                library.m_WordTable.push_back(record);
        }
    }
    std::fclose(file);

    // Sorted, without duplicate words (or duplicate name-and-expansion pairs).
    if (shorthand) {
        for (SHRecord_X &record : library.m_ShTable)
            for (char *c = record.name; *c; ++c)
                *c = AsciiToLower(*c);
        std::stable_sort(library.m_ShTable.begin(), library.m_ShTable.end(), ShBefore);
        library.m_ShTable.erase(std::unique(library.m_ShTable.begin(), library.m_ShTable.end(),
                                            [](const SHRecord_X &a, const SHRecord_X &b) {
                                                return std::strcmp(a.name, b.name) == 0 && a.expansion == b.expansion;
                                            }),
                                library.m_ShTable.end());
    } else {
        std::stable_sort(library.m_WordTable.begin(), library.m_WordTable.end(), WordBefore);
        library.m_WordTable.erase(std::unique(library.m_WordTable.begin(), library.m_WordTable.end(),
                                              [](const WRecord_X &a, const WRecord_X &b) { return a.word == b.word; }),
                                  library.m_WordTable.end());
    }

    // The old file is kept beside the library; the new library replaces the
    // old record file in one step, so a crash leaves one of the two whole.
    FsDeleteFile(old);
    if (!FsCopyFile(path, old, false))
        FatalError("Can't open " + old);
    FsDeleteFile(library.GetMemoPath());  // not part of the old format
    library.m_bDirty = TRUE;
    if (!library.WriteAllRecordsIntoLib(TRUE))
        FatalError("Failed to upgrade library:" + path);
    return 1;
}
