#include "LibrarySet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BusyFeedback.h"
#include "CharClasses.h"
#include "FileSystem.h"
#include "Files.h"
#include "Folders.h"
#include "LibFile.h"
#include "LibFormats.h"
#include "PathText.h"
#include "RetrieveThread.h"
#include "UserMessage.h"

CLibFile g_WordLibs[MAX_LIBRARIES];
int g_nWordLibCount = 0;
CLibFile g_ShLibs[MAX_LIBRARIES];
int g_nShLibCount = 0;
CLibFile *g_pUserLib = nullptr;
BOOL g_bLibrariesOpen = FALSE;

CString GetLibrariesFolder() { return AddTrailingSeparator(JoinPath(GetAppDataFolder(), "libraries")); }

namespace {
// Takes entry index out of a library table: the later entries move up one
// place (only their paths matter, they are loaded after it), and the freed
// last entry is emptied.
void DropLibrary(CLibFile (&table)[MAX_LIBRARIES], int &count, int index)
{
    const int n = count < 0 ? 0 : (count > MAX_LIBRARIES ? MAX_LIBRARIES : count);
    for (int i = index; i < n; ++i) {
        CLibFile &library = table[i];
        library.CloseFiles();
        library.SetPath(i + 1 < n ? table[i + 1].GetPath() : CString());
        library.m_WordTable.clear();
        library.m_ShTable.clear();
        for (int letter = 0; letter < 26; ++letter) {
            library.m_WordBuckets[letter].clear();
            library.m_ShBuckets[letter].clear();
            library.m_bBucketBuilt[letter] = false;
        }
        library.m_bDirty = FALSE;
    }
    count = n - 1;
}
}  // namespace

int OpenAllLibraries(BOOL resume)
{
    const CString folder = GetLibrariesFolder();
    for (const char *name : {"langlib", "proflib", "shlib"}) {
        const CString subfolder = folder + name;
        if (!FolderExists(subfolder))
            FsMakeDir(subfolder);
    }
    // Only the libraries the user starts with empty are created when missing.
    // A library that can't be loaded is left out of the set for this run, so
    // that one bad file does not stop the program at every start.
    const CString userLib = g_pUserLib ? g_pUserLib->GetPath() : CString();
    CString failed;
    int failedCount = 0;
    for (int i = 0; i < WordLibCount();) {
        CLibFile &library = g_WordLibs[i];
        const BOOL create = !userLib.IsEmpty() && IsSamePath(library.GetPath(), userLib);
        if (library.ReadAllRecordsFromLib(create)) {
            ++i;
            continue;
        }
        failed += "Failed to open library:" + library.GetPath() + "\n";
        ++failedCount;
        // The user library pointer follows its library, or goes with it.
        if (g_pUserLib == &library)
            g_pUserLib = nullptr;
        else if (g_pUserLib && g_pUserLib > &library && g_pUserLib < g_WordLibs + WordLibCount())
            --g_pUserLib;
        DropLibrary(g_WordLibs, g_nWordLibCount, i);
    }
    for (int i = 0; i < ShLibCount();) {
        CLibFile &library = g_ShLibs[i];
        const BOOL create = library.GetLibName().CompareNoCase("Personal Shorthands") == 0;
        if (library.ReadAllRecordsFromLib(create)) {
            ++i;
            continue;
        }
        failed += "Failed to open library:" + library.GetPath() + "\n";
        ++failedCount;
        DropLibrary(g_ShLibs, g_nShLibCount, i);
    }
    if (failedCount > 0)
        ShowMessage(failed + (failedCount == 1 ? "It is" : "They are") + " left out of the active libraries.");
    g_bLibrariesOpen = TRUE;
    if (resume)
        PauseRetrieveThread(FALSE);
    return 0;
}

int CloseAllLibraries(BOOL pause)
{
    SetWaitMessage("Closing all libraries...");
    if (pause)
        PauseRetrieveThread(TRUE);
    g_bLibrariesOpen = FALSE;
    for (int i = 0; i < WordLibCount(); ++i)
        g_WordLibs[i].CloseLib();
    for (int i = 0; i < ShLibCount(); ++i)
        g_ShLibs[i].CloseLib();
    SetWaitMessage("");
    return 0;
}

int FindWordLibIndex(const CString &path)
{
    for (int i = 0; i < WordLibCount(); ++i)
        if (IsSamePath(g_WordLibs[i].GetPath(), path))
            return i;
    return -1;
}

int FindShLibIndex(const CString &path)
{
    for (int i = 0; i < ShLibCount(); ++i)
        if (IsSamePath(g_ShLibs[i].GetPath(), path))
            return i;
    return -1;
}

CLibFile *FindOpenLibrary(const CString &path)
{
    const int word = FindWordLibIndex(path);
    if (word >= 0)
        return &g_WordLibs[word];
    const int shorthand = FindShLibIndex(path);
    return shorthand >= 0 ? &g_ShLibs[shorthand] : nullptr;
}

namespace {
int ReadRecord(CLibFile &library, WRecord_X &record) { return library.ReadWordRecord(record, -1); }
int ReadRecord(CLibFile &library, SHRecord_X &record) { return library.ReadShRecord(record, -1); }

int CompareRecords(const WRecord_X &a, const WRecord_X &b) { return CompareWords(a.word, b.word, TRUE); }

int CompareRecords(const SHRecord_X &a, const SHRecord_X &b)
{
    const int byName = CompareWords(a.name, b.name, TRUE);
    return byName != 0 ? byName : CompareWords(a.expansion, b.expansion, TRUE);
}

// The next record of an input being merged; false once it has none left,
// or when a record can't be read (then damaged is set).
template <class Record>
bool ReadNext(CLibFile &library, int &left, Record &record, bool &damaged)
{
    if (left <= 0)
        return false;
    --left;
    if (ReadRecord(library, record) == 0)
        return true;
    damaged = true;
    return false;
}

// Merges the two sorted record files in one pass. The result is written as a
// whole through the library write-back, so a failure or a kill leaves target
// as it was or fully merged.
template <class Record>
int MergeLibraries(const CString &first, const CString &second, const CString &target,
                   std::vector<Record> CLibFile::*table)
{
    CLibFile a(first), b(second);
    for (CLibFile *input : {&a, &b}) {
        if (!input->OpenFiles(TRUE)) {
            ShowMessage("Can't open " + input->GetPath());
            a.CloseFiles();
            b.CloseFiles();
            return -1;
        }
    }
    SetWaitMessage("Merge libraries...");
    CLibFile merged(target);
    std::vector<Record> &out = merged.*table;
    int leftA = a.CountRecords(), leftB = b.CountRecords();
    Record recordA, recordB;
    bool damagedA = leftA < 0, damagedB = leftB < 0;
    bool hasA = ReadNext(a, leftA, recordA, damagedA);
    bool hasB = ReadNext(b, leftB, recordB, damagedB);
    while (hasA && hasB) {
        const int order = CompareRecords(recordA, recordB);
        if (order < 0) {
            out.push_back(recordA);
            hasA = ReadNext(a, leftA, recordA, damagedA);
            continue;
        }
        out.push_back(recordB);  // on a tie the second library's record wins
        if (order == 0)
            hasA = ReadNext(a, leftA, recordA, damagedA);
        hasB = ReadNext(b, leftB, recordB, damagedB);
    }
    for (; hasA; hasA = ReadNext(a, leftA, recordA, damagedA))
        out.push_back(recordA);
    for (; hasB; hasB = ReadNext(b, leftB, recordB, damagedB))
        out.push_back(recordB);
    // Closed before the write, since target may be one of the inputs.
    a.CloseFiles();
    b.CloseFiles();
    if (damagedA || damagedB) {
        // A partly read input would make a target that silently lacks records.
        SetWaitMessage("");
        ShowMessage("Can't open " + (damagedA ? a : b).GetPath());
        return -1;
    }
    merged.m_bDirty = TRUE;
    const bool written = merged.WriteAllRecordsIntoLib(TRUE);
    SetWaitMessage("");
    if (!written) {
        ShowMessage("Can't open " + target);
        return -1;
    }
    return 0;
}
}  // namespace

int MergeWordLibraries(const CString &first, const CString &second, const CString &target)
{
    return MergeLibraries(first, second, target, &CLibFile::m_WordTable);
}

int MergeShLibraries(const CString &first, const CString &second, const CString &target)
{
    return MergeLibraries(first, second, target, &CLibFile::m_ShTable);
}

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
    if (!file) {
        ShowMessage("Can't open " + path);
        return -1;
    }
    const long long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (size < 0) {
        std::fclose(file);
        ShowMessage("Can't open " + path);
        return -1;
    }
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
    // A failure leaves the old file where it was and refuses the library.
    FsDeleteFile(old);
    if (!FsCopyFile(path, old, false)) {
        ShowMessage("Can't open " + old);
        return -1;
    }
    FsDeleteFile(library.GetMemoPath());  // not part of the old format
    library.m_bDirty = TRUE;
    if (!library.WriteAllRecordsIntoLib(TRUE)) {
        ShowMessage("Failed to upgrade library:" + path);
        return -1;
    }
    return 1;
}
