// One word or shorthand library, in memory and on disk: the path of its
// record file, the whole sorted table of its records, and 26 letter buckets
// with the best records of each first letter. A library is read whole when it
// is opened, lives in memory, and is written back whole when it is closed
// after a change. The files are open only during one operation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "CString.h"
#include "LibRecords.h"
#include "wintypes.h"

class CLibFile {
public:
    CLibFile() = default;
    explicit CLibFile(const char *path) : m_strPath(path) {}
    ~CLibFile() = default;  // neither closes files nor writes
    CLibFile(const CLibFile &) = delete;
    CLibFile &operator=(const CLibFile &) = delete;

    // Kind and file layout, derived from the path on every use.
    BOOL IsShorthandLib() const;
    int GetRecordSize() const;
    int GetHeaderSize() const;
    CString GetMemoPath() const;
    const CString &GetPath() const { return m_strPath; }
    void SetPath(const char *path)
    {
        m_strPath = path;
        m_bReplacementInPlace = false;  // says something of the old path's files only
    }

    // --- Files ---
    BOOL CreateFiles();
    BOOL OpenFiles(BOOL create);
    void CloseFiles();
    void FlushFiles();
    // Records in the open record file. A file shorter than its header is
    // damage: it is set aside (SetDamagedLibraryAside) and the replacement is
    // counted. -1, with the files closed and the user told, when the library
    // can't be used.
    int CountRecords();
    BOOL ReadAllRecordsFromLib(BOOL create);
    // A damaged record and memo file are moved aside as "<file>.bad" (numbered
    // when an earlier pair is there), the user is told once, and the installed
    // copy or, when the last OpenFiles was allowed to create the library, a
    // new empty library takes their place. TRUE when a replacement is in
    // place; the files are closed either way.
    BOOL SetDamagedLibraryAside(const char *fault);
    // Writes a changed table back (a new record and memo file replace the old
    // ones as a pair, so a failure or a kill leaves the old library or the new
    // one). On failure the table and the dirty flag stay and FALSE is returned.
    BOOL WriteAllRecordsIntoLib(BOOL freeTables);
    BOOL CloseLib();

    // --- Records in the open files ---
    void SeekRecord(int index);
    int ReadWordRecord(WRecord_X &record, int index);
    int ReadShRecord(SHRecord_X &record, int index);
    int WriteWordRecord(WRecord_X &record, int index);
    int WriteShRecord(SHRecord_X &record, int index);
    int AppendMemo(const CString &text);
    // False when the entry does not lie inside the memo file or has a length
    // no writer stores (the text is empty then, as for a dropped entry).
    bool GetMemo(int offset, CString &text);
    void MarkMemoDeleted(int offset);

    // --- The table in memory ---
    int GetRecordCount() const;
    CString GetKeyAt(int index) const;
    BOOL FindRecord(const CString &key, int &pos, BOOL exact) const;
    // Builds the search index again after the table changed. The class's own
    // changes and loads do it or mark it stale; code that changes a table
    // directly calls this afterwards, under the same conditions as the change
    // (EngineGuard held, or the retrieving thread paused).
    void RefreshSearchIndex();
    BOOL FindPrefixRange(const CString &prefix, int &first, int &last) const;
    // Offers the records that begin with prefix to the candidate lists.
    // 0 or 1, or a negative code when a search signal cut the walk short.
    int MatchPrefix(const CString &prefix, BOOL useBuckets);
    void BuildLetterBucket(char letter);
    void BuildLetterBuckets();
    int AddWord(const WRecord_X &record);
    int AddShorthand(const SHRecord_X &record);
    void DeleteRecord(int index);
    CString GetLibName() const;
    CString GetLibCategory() const;

    FILE *m_pRecFile = nullptr;
    FILE *m_pMemoFile = nullptr;
    std::vector<WRecord_X> m_WordBuckets[26];
    std::vector<SHRecord_X> m_ShBuckets[26];
    // Whether a letter's bucket has been built since the table was loaded. The
    // buckets serve only the ranking by count; a load under another ranking
    // leaves them unbuilt, and a one-letter search then walks the table.
    bool m_bBucketBuilt[26] = {};
    std::vector<WRecord_X> m_WordTable;
    std::vector<SHRecord_X> m_ShTable;
    BOOL m_bDirty = FALSE;
    long m_nFilePos = 0;
    CString m_strPath;

private:
    bool WriteTableFiles();

    // Every kIndexStep-th key of the table, case-folded, its first 8 bytes
    // read as one number: a compact ladder that narrows a binary search to a
    // few neighbouring records, so a lookup touches few cold records. It
    // belongs to the table of the size and storage it was built for; any
    // other table is searched without it.
    static constexpr size_t kIndexStep = 16;
    struct SearchIndex {
        std::vector<uint64_t> keys;
        size_t size = 0;
        const void *data = nullptr;
        bool valid = false;
    };
    const SearchIndex *UsableIndex() const;
    SearchIndex m_Index;

    // Whether the last OpenFiles could create the library: only such a library
    // may start empty in place of a damaged one.
    bool m_bCreateAllowed = false;
    // The files on disk are the installed copy that the repair just put in
    // place, not yet loaded: when they prove damaged too, they are dropped
    // rather than set aside over the user's own damaged pair.
    bool m_bReplacementInPlace = false;
};

// Moves a damaged record file and its memo file to the first free pair of
// names "<file>.bad", "<file>.2.bad", ... (no scan for "*.lib", "*.slb" or
// "*.mem" matches them). False, with nothing moved, when that fails.
bool MoveDamagedPairAside(const char *recordPath, CString &badRecordPath);

// Finishes or undoes a write-back that was cut short (by a crash or a kill)
// for the library at this record path. Called before the library is read.
void RecoverLibraryWrite(const char *recordPath);

// Names of the files a write-back uses beside the library; none of them
// matches a scan for "*.lib", "*.slb" or "*.mem".
CString PendingRecordPath(const char *recordPath);
CString PendingMemoPath(const char *recordPath);
CString CommittedRecordPath(const char *recordPath);
