#include "LibFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "Candidates.h"
#include "CharClasses.h"
#include "Clock.h"
#include "EngineSettings.h"
#include "FileSystem.h"
#include "Files.h"
#include "Folders.h"
#include "LibFormats.h"
#include "LibrarySet.h"
#include "PasswordList.h"
#include "PathText.h"
#include "SearchSignals.h"
#include "SharedSection.h"
#include "TextHelpers.h"
#include "UserMessage.h"

namespace {
const char *Key(const WRecord_X &record) { return record.word; }
const char *Key(const SHRecord_X &record) { return record.name; }

// The first 8 bytes of a key, folded as CompareWords folds them and padded
// with zeros, as a big-endian number: a < b in CompareWords order (exact or
// not) implies FoldedHead(a) <= FoldedHead(b).
uint64_t FoldedHead(const char *key)
{
    uint64_t head = 0;
    int i = 0;
    for (; i < 8 && key[i]; ++i)
        head = head << 8 | static_cast<unsigned char>(AsciiToLower(key[i]));
    return i == 0 ? 0 : i == 8 ? head : head << (8 * (8 - i));
}

// Binary search over a sorted table; see CLibFile::FindRecord. ladder, when
// given, holds FoldedHead of every step-th key.
template <class Record>
BOOL FindInTable(const std::vector<Record> &table, const char *key, int &pos, BOOL exact,
                 const std::vector<uint64_t> *ladder = nullptr, size_t step = 1)
{
    const int n = static_cast<int>(table.size());
    if (n == 0) {
        pos = 0;
        return FALSE;
    }
    int c = CompareWords(key, Key(table[0]), exact);
    if (c <= 0) {
        pos = 0;
        return c == 0;
    }
    c = CompareWords(key, Key(table[n - 1]), exact);
    if (c >= 0) {
        pos = c == 0 ? n - 1 : n;
        return c == 0;
    }
    // Invariant: table[lo] < key <= table[hi].
    int lo = 0, hi = n - 1;
    if (ladder && !ladder->empty()) {
        // A rung below the key's head stands before the key, one above it
        // after; rungs equal to it decide nothing.
        const uint64_t head = FoldedHead(key);
        const auto below = std::lower_bound(ladder->begin(), ladder->end(), head);
        const auto above = std::upper_bound(below, ladder->end(), head);
        if (below != ladder->begin())
            lo = std::max(lo, static_cast<int>(static_cast<size_t>(below - ladder->begin() - 1) * step));
        if (above != ladder->end())
            hi = std::min(hi, static_cast<int>(static_cast<size_t>(above - ladder->begin()) * step));
    }
    while (lo + 1 < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareWords(Key(table[mid]), key, exact) >= 0)
            hi = mid;
        else
            lo = mid;
    }
    if (exact) {
        for (int i = hi; i < n && AsciiCompareNoCase(Key(table[i]), key) == 0; ++i)
            if (std::strcmp(Key(table[i]), key) == 0) {
                pos = i;
                return TRUE;
            }
    }
    pos = hi;
    return std::strcmp(Key(table[hi]), key) == 0;
}

// Reads memo entries through a window of the file. A library written by
// this program lists its memo in record order, so loading streams the memo
// once instead of holding the whole file in memory beside the table; entries
// out of that order cost a jump of the window, and a memo read mostly out of
// order is read whole once.
class MemoReader {
public:
    MemoReader(FILE *file, long long size) : m_file(file), m_size(size < 0 ? 0 : static_cast<size_t>(size)) {}
    bool Failed() const { return m_failed; }

    MemoEntryResult Decode(long long offset, CString &text)
    {
        if (offset < 0 || static_cast<unsigned long long>(offset) > m_size)
            return DecodeMemoEntry(nullptr, 0, 0, text);
        const size_t at = static_cast<size_t>(offset);
        // The length first, then the whole entry, each as far as the file goes.
        if (!Cover(at, std::min<size_t>(m_size - at, 2)))
            return DecodeMemoEntry(nullptr, 0, 0, text);
        size_t entry = std::min<size_t>(m_size - at, 2);
        if (entry == 2) {
            const int length = GetInt16LE(&m_window[at - m_start]);
            if (length > 0)
                entry = std::min<size_t>(m_size - at, 2 + static_cast<size_t>(length));
        }
        if (entry < 2 || !Cover(at, entry))
            return DecodeMemoEntry(nullptr, 0, 0, text);
        // The window ends where the file ends or after the entry, so the
        // entry's bounds are judged as against the whole file.
        const size_t end = m_start + m_window.size() < m_size ? at + entry : m_size;
        return DecodeMemoEntry(&m_window[at - m_start], end - at, 0, text);
    }

private:
    static constexpr size_t kWindow = 1 << 18;

    bool Cover(size_t at, size_t length)
    {
        if (at >= m_start && at + length <= m_start + m_window.size())
            return true;
        if (m_failed)
            return false;
        if (at < m_start || (at > m_start + m_window.size() && ++m_jumps > 64)) {
            // Out of order: the whole memo once.
            m_start = 0;
            return Fill(0, m_size);
        }
        return Fill(at, std::max(kWindow, length));
    }
    bool Fill(size_t at, size_t length)
    {
        length = std::min(length, m_size - at);
        try {
            m_window.resize(length);
        } catch (const std::bad_alloc &) {  // sizes come from the file: refuse the load
            m_window.clear();
            m_failed = true;
            return false;
        }
        m_start = at;
        if (length && (std::fseek(m_file, static_cast<long>(at), SEEK_SET) != 0 ||
                       std::fread(m_window.data(), 1, length, m_file) != length)) {
            m_window.clear();
            m_failed = true;
            return false;
        }
        return true;
    }

    FILE *m_file;
    size_t m_size;
    std::vector<unsigned char> m_window;
    size_t m_start = 0;
    int m_jumps = 0;
    bool m_failed = false;
};

template <class Record>
void BuildLadder(const std::vector<Record> &table, size_t step, std::vector<uint64_t> &ladder)
{
    ladder.clear();
    ladder.reserve(table.size() / step + 1);
    for (size_t i = 0; i < table.size(); i += step)
        ladder.push_back(FoldedHead(Key(table[i])));
}

void LowerName(char *name)
{
    for (int i = 0; i < SH_NAME_SIZE && name[i]; ++i)
        name[i] = AsciiToLower(name[i]);
    name[SH_NAME_SIZE - 1] = 0;
}

long long FileEnd(FILE *file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    return std::ftell(file);
}

bool WriteBytesFile(const CString &path, const std::vector<unsigned char> &bytes)
{
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool ok = FsWriteAll(file, bytes.data(), bytes.size());
    ok = FsFlushFile(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

// Moves the pending memo file and the committed record file into place.
bool FinishCommit(const char *recordPath)
{
    const CString memo = GetMemoPathFor(recordPath);
    const CString pendingMemo = PendingMemoPath(recordPath);
    if (FileExists(pendingMemo) && !FsReplaceFile(pendingMemo, memo))
        return false;
    return FsReplaceFile(CommittedRecordPath(recordPath), recordPath);
}

// Puts a new record and memo file in place of the library's as one change:
// both are first complete under their pending names; renaming the record
// file to its committed name is the point after which the new pair wins.
bool CommitPendingPair(const char *recordPath)
{
    if (!FsReplaceFile(PendingRecordPath(recordPath), CommittedRecordPath(recordPath)))
        return false;
    return FinishCommit(recordPath);
}

void DropPending(const char *recordPath)
{
    FsDeleteFile(PendingRecordPath(recordPath));
    FsDeleteFile(PendingMemoPath(recordPath));
}
}  // namespace

namespace {
// "~" + the file's name + suffix, in the file's folder.
CString Beside(const CString &path, const char *suffix)
{
    const CString name = GetFileName(path);
    return path.Left(path.GetLength() - name.GetLength()) + "~" + name + suffix;
}
}  // namespace

CString PendingRecordPath(const char *recordPath) { return Beside(recordPath, ".new"); }
CString PendingMemoPath(const char *recordPath) { return Beside(GetMemoPathFor(recordPath), ".new"); }
CString CommittedRecordPath(const char *recordPath) { return Beside(recordPath, ".ready"); }

bool MoveDamagedPairAside(const char *recordPath, CString &badRecordPath)
{
    const CString memo = GetMemoPathFor(recordPath);
    for (int n = 1; n < 1000; ++n) {
        CString suffix;
        if (n > 1)
            suffix.Format(".%d", n);
        suffix += ".bad";
        const CString badRecords = CString(recordPath) + suffix;
        const CString badMemo = memo + suffix;
        if (FileExists(badRecords) || FileExists(badMemo))
            continue;  // an earlier damaged pair stays as it is
        // The memo first: cut short after it, the record file alone is found
        // damaged again and follows; the other way round a new library could
        // be created over the damaged memo.
        const bool hasMemo = FileExists(memo);
        if (hasMemo && !FsReplaceFile(memo, badMemo))
            return false;
        if (!FsReplaceFile(recordPath, badRecords)) {
            if (hasMemo)
                FsReplaceFile(badMemo, memo);
            return false;
        }
        badRecordPath = badRecords;
        return true;
    }
    return false;
}

void RecoverLibraryWrite(const char *recordPath)
{
    if (FileExists(CommittedRecordPath(recordPath)))
        FinishCommit(recordPath);  // the new pair was complete: finish putting it in place
    else
        DropPending(recordPath);   // cut short before it was complete: the old pair stands
}

BOOL CLibFile::IsShorthandLib() const { return IsShorthandLibPath(m_strPath); }
int CLibFile::GetRecordSize() const { return IsShorthandLib() ? SH_REC_SIZE : WORD_REC_SIZE; }
int CLibFile::GetHeaderSize() const { return IsShorthandLib() ? SH_LIB_HEADER_SIZE : WORD_LIB_HEADER_SIZE; }
CString CLibFile::GetMemoPath() const { return GetMemoPathFor(m_strPath); }

BOOL CLibFile::CreateFiles()
{
    FILE *records = std::fopen(m_strPath, "wb");
    if (!records) {
        ShowMessage("Can't create " + m_strPath);
        return FALSE;
    }
    const bool header = IsShorthandLib() ? WriteShLibHeader(records) : WriteWordLibHeader(records, LIB_VERSION);
    const bool closed = std::fclose(records) == 0;
    if (!header || !closed) {
        ShowMessage("Can't create " + m_strPath);
        return FALSE;
    }
    FILE *memo = std::fopen(GetMemoPath(), "wb");
    if (!memo || std::fclose(memo) != 0) {
        ShowMessage("Can't create " + GetMemoPath());
        return FALSE;
    }
    m_bReplacementInPlace = false;
    return TRUE;
}

BOOL CLibFile::OpenFiles(BOOL create)
{
    if (m_pRecFile) {
        SeekRecord(0);
        return TRUE;
    }
    m_bCreateAllowed = create != FALSE;
    if (!m_strPath.IsEmpty())
        RecoverLibraryWrite(m_strPath);
    if (!m_strPath.IsEmpty() && FolderExists(m_strPath)) {
        ShowMessage("Can't open " + m_strPath);
        return FALSE;
    }
    if (!FileExists(m_strPath)) {
        if (!create) {
            ShowMessage(m_strPath + " doesn't exist!");
            return FALSE;
        }
        if (!CreateFiles()) {
            ShowMessage("Can't open " + m_strPath + "!");
            return FALSE;
        }
    }
    const int version = GetLibraryVersion(m_strPath);
    if (version == LIB_VERSION_UNREADABLE) {
        ShowMessage("Can't open " + m_strPath);
        return FALSE;
    }
    if (version > LIB_VERSION) {
        // Not damage: a later release wrote it. It stays as it is.
        CString text;
        text.Format(" has the library version %d, which this version of the program can't read. It is not opened.",
                    version);
        ShowMessage(m_strPath + text);
        return FALSE;
    }
    // 110 and 120 are converted; any other older version, a file without a
    // header included, is read as it stands. Damage is found by the checks
    // that apply to every library (size, memo file, records).
    if (version < LIB_VERSION && UpgradeLibraryIfNeeded(m_strPath, version) < 0)
        return FALSE;  // the old file stays; the user has been told
    m_pRecFile = std::fopen(m_strPath, "rb+");
    if (!m_pRecFile) {
        ShowMessage("Can't open " + m_strPath);
        return FALSE;
    }
    m_pMemoFile = std::fopen(GetMemoPath(), "rb+");
    if (!m_pMemoFile && !FileExists(GetMemoPath())) {
        // A library without records names no text: its missing memo file is
        // started empty. Records without their texts are damage.
        // (A record file whose size can't be read is refused below.)
        const long long end = FileEnd(m_pRecFile);
        const int n = GetLibRecordCount(end, IsShorthandLib());
        if (end >= 0 && n == 0) {
            FILE *memo = std::fopen(GetMemoPath(), "wb");
            if (memo && std::fclose(memo) == 0)
                m_pMemoFile = std::fopen(GetMemoPath(), "rb+");
        } else if (end >= 0) {
            CloseFiles();
            return SetDamagedLibraryAside(n > 0 ? "its memo file is missing" : "it is shorter than its header") &&
                   OpenFiles(create);
        }
    }
    if (!m_pMemoFile) {
        ShowMessage("Can't open " + GetMemoPath());
        CloseFiles();
        return FALSE;
    }
    SeekRecord(0);
    return TRUE;
}

void CLibFile::CloseFiles()
{
    if (m_pRecFile)
        std::fclose(m_pRecFile);
    if (m_pMemoFile)
        std::fclose(m_pMemoFile);
    m_pRecFile = nullptr;
    m_pMemoFile = nullptr;
}

void CLibFile::FlushFiles()
{
    if (m_pRecFile)
        std::fflush(m_pRecFile);
    if (m_pMemoFile)
        std::fflush(m_pMemoFile);
}

int CLibFile::CountRecords()
{
    if (!m_pRecFile)
        return 0;
    const long position = std::ftell(m_pRecFile);
    const long long end = FileEnd(m_pRecFile);
    if (end < 0 || position < 0) {
        CloseFiles();
        ShowMessage("Can't open " + m_strPath);
        return -1;
    }
    const int n = GetLibRecordCount(end, IsShorthandLib());
    if (n >= 0) {
        std::fseek(m_pRecFile, position, SEEK_SET);
        return n;
    }
    // Each round either puts a replacement in place or gives up, and an empty
    // library is never short, so this ends after two rounds at most.
    if (!SetDamagedLibraryAside("it is shorter than its header") || !OpenFiles(m_bCreateAllowed))
        return -1;
    return CountRecords();
}

BOOL CLibFile::SetDamagedLibraryAside(const char *fault)
{
    CloseFiles();
    CString text = "The library " + m_strPath + " is damaged (" + fault + ").";
    if (m_bReplacementInPlace) {
        // A copy of the installed library, damaged as well: nothing of the
        // user's is in it.
        m_bReplacementInPlace = false;
        FsDeleteFile(m_strPath);
        FsDeleteFile(GetMemoPath());
        text = "The installed copy of the library " + m_strPath + " is damaged too (" + fault + ").";
    } else {
        CString bad;
        if (!MoveDamagedPairAside(m_strPath, bad)) {
            ShowMessage(text + "\nIt could not be moved aside and is not opened.");
            return FALSE;
        }
        text += "\nIt was moved to " + bad + ".";
        const CString installed = AddTrailingSeparator(JoinPath(GetProgramFolder(), "libraries")) +
                                  GetRelativePath(GetLibrariesFolder(), m_strPath);
        if (!IsSamePath(installed, m_strPath) && FileExists(installed) && !FolderExists(installed)) {
            const bool restored = FsCopyFile(installed, PendingRecordPath(m_strPath), false) &&
                                  FsCopyFile(GetMemoPathFor(installed), PendingMemoPath(m_strPath), false) &&
                                  CommitPendingPair(m_strPath);
            if (restored) {
                m_bReplacementInPlace = true;
                ShowMessage(text + "\nThe installed copy of the library takes its place.");
                return TRUE;
            }
            DropPending(m_strPath);
        }
    }
    // Only a library that may start empty is replaced by an empty one.
    if (m_bCreateAllowed && CreateFiles()) {
        ShowMessage(text + "\nA new empty library takes its place.");
        return TRUE;
    }
    ShowMessage(text + "\nThe library is not opened.");
    return FALSE;
}

BOOL CLibFile::ReadAllRecordsFromLib(BOOL create)
{
    if (!OpenFiles(create))
        return FALSE;
    const int counted = CountRecords();
    if (counted < 0)
        return FALSE;  // damaged and not replaced; the user has been told
    const size_t n = static_cast<size_t>(counted);
    bool read = m_pRecFile != nullptr;
    // The record file goes through a small buffer, decoded straight into the
    // table, and the memo through a window, so loading touches little memory
    // besides the table itself.
    MemoReader memo(m_pMemoFile, read ? FileEnd(m_pMemoFile) : -1);
    read = read && std::fseek(m_pRecFile, GetHeaderSize(), SEEK_SET) == 0;
    const bool shorthand = IsShorthandLib();
    const size_t size = static_cast<size_t>(GetRecordSize());
    bool emptyMemo = false;
    const char *fault = nullptr;  // damage found in a record or its text
    m_WordTable.clear();
    m_ShTable.clear();
    try {
        if (shorthand)
            m_ShTable.reserve(n);
        else
            m_WordTable.reserve(n);
    } catch (const std::bad_alloc &) {
        read = false;
    }
    std::vector<unsigned char> chunk(size * 4096);
    for (size_t done = 0; read && !fault && done < n;) {
        const size_t count = std::min(n - done, chunk.size() / size);
        if (std::fread(chunk.data(), size, count, m_pRecFile) != count) {
            read = false;
            break;
        }
        for (size_t i = 0; i < count; ++i) {
            const unsigned char *bytes = &chunk[i * size];
            MemoEntryResult text;
            if (shorthand) {
                SHRecord_X &record = m_ShTable.emplace_back();
                if (!DecodeShDiskRecord(bytes, size, record))
                    fault = "a shorthand name has no terminator";
                text = memo.Decode(record.memoOffset, record.expansion);
            } else {
                WRecord_X &record = m_WordTable.emplace_back();
                DecodeWordDiskRecord(bytes, size, record);
                text = memo.Decode(record.memoOffset, record.word);
            }
            if (memo.Failed()) {  // the file could not be read: not damage
                read = false;
                break;
            }
            emptyMemo |= text == MEMO_NO_TEXT;
            if (text == MEMO_OUT_OF_BOUNDS)
                fault = "a text lies outside its memo file";
            else if (text == MEMO_BAD_LENGTH)
                fault = "a text has a negative length";
        }
        done += count;
    }
    read = read && !memo.Failed();
    CloseFiles();
    if (!read || fault) {
        m_WordTable.clear();
        m_ShTable.clear();
        if (fault)  // nothing was loaded, so nothing can be written back over it
            return SetDamagedLibraryAside(fault) && ReadAllRecordsFromLib(create);
        ShowMessage("Can't open " + m_strPath);
        return FALSE;
    }
    m_bReplacementInPlace = false;
    if (emptyMemo)
        DebugMessage("GetMemo(), l<=0!");
    m_bDirty = FALSE;
    RefreshSearchIndex();
    for (int letter = 0; letter < 26; ++letter) {
        m_WordBuckets[letter].clear();
        m_ShBuckets[letter].clear();
        m_bBucketBuilt[letter] = false;
    }
    if (g_fFreqVsTime == -1.0f)
        BuildLetterBuckets();
    return TRUE;
}

bool CLibFile::WriteTableFiles()
{
    std::vector<unsigned char> records, memo;
    bool tooLarge = false;  // the texts outgrow what a memo offset can name
    AppendLibHeader(records, IsShorthandLib());
    if (IsShorthandLib()) {
        for (SHRecord_X &record : m_ShTable) {
            if (std::strlen(record.name) < 2)
                continue;  // a one-letter name is never stored
            LowerName(record.name);
            record.memoOffset = AppendMemoEntry(memo, record.expansion.Left(MAX_MEMO_TEXT_LENGTH));
            if (record.memoOffset < 0) {
                tooLarge = true;
                break;
            }
            AppendShDiskRecord(records, record);
        }
    } else {
        for (WRecord_X &record : m_WordTable) {
            if (record.word.IsEmpty())
                continue;
            record.memoOffset = AppendMemoEntry(memo, record.word.Left(MAX_MEMO_TEXT_LENGTH));
            if (record.memoOffset < 0) {
                tooLarge = true;
                break;
            }
            AppendWordDiskRecord(records, record);
        }
    }
    if (tooLarge) {
        // Records past that point would name texts no offset can reach.
        ShowMessage("Can't create " + m_strPath);
        return false;
    }
    RecoverLibraryWrite(m_strPath);  // a leftover of an earlier cut-short write must not mix in
    if (!WriteBytesFile(PendingMemoPath(m_strPath), memo) || !WriteBytesFile(PendingRecordPath(m_strPath), records)) {
        DropPending(m_strPath);
        ShowMessage("Can't create " + m_strPath);
        return false;
    }
    if (!CommitPendingPair(m_strPath)) {
        // Once committed, the next open finishes the move; before, nothing changed.
        if (!FileExists(CommittedRecordPath(m_strPath)))
            DropPending(m_strPath);
        ShowMessage("Can't create " + m_strPath);
        return false;
    }
    m_bReplacementInPlace = false;
    return true;
}

BOOL CLibFile::WriteAllRecordsIntoLib(BOOL freeTables)
{
    if (m_bDirty && !WriteTableFiles())
        return FALSE;  // the table keeps what could not be written
    if (freeTables) {
        m_WordTable.clear();
        m_WordTable.shrink_to_fit();
        m_ShTable.clear();
        m_ShTable.shrink_to_fit();
        m_Index = SearchIndex();
    }
    m_bDirty = FALSE;
    return TRUE;
}

BOOL CLibFile::CloseLib() { return WriteAllRecordsIntoLib(TRUE); }

void CLibFile::SeekRecord(int index)
{
    if (index == -1 || !m_pRecFile)
        return;
    const long long target = GetHeaderSize() + static_cast<long long>(index) * GetRecordSize();
    if (target < 0 || target > LONG_MAX) {
        DebugMessage("Error fseek");  // no record lies there
        return;
    }
    const long position = static_cast<long>(target);
    if (std::fseek(m_pRecFile, position, SEEK_SET) != 0)
        DebugMessage("Error fseek");
    m_nFilePos = std::ftell(m_pRecFile);
    if (m_nFilePos != position) {
        DebugMessage("Error SeekRecord!");
        std::fseek(m_pRecFile, position, SEEK_SET);
    }
}

int CLibFile::ReadWordRecord(WRecord_X &record, int index)
{
    SeekRecord(index);
    unsigned char bytes[WORD_REC_SIZE];
    if (!m_pRecFile || std::fread(bytes, 1, sizeof bytes, m_pRecFile) != sizeof bytes)
        return -1;
    DecodeWordDiskRecord(bytes, sizeof bytes, record);
    return GetMemo(record.memoOffset, record.word) ? 0 : -1;
}

int CLibFile::ReadShRecord(SHRecord_X &record, int index)
{
    SeekRecord(index);
    unsigned char bytes[SH_REC_SIZE];
    if (!m_pRecFile || std::fread(bytes, 1, sizeof bytes, m_pRecFile) != sizeof bytes ||
        !DecodeShDiskRecord(bytes, sizeof bytes, record))
        return -1;
    return GetMemo(record.memoOffset, record.expansion) ? 0 : -1;
}

int CLibFile::WriteWordRecord(WRecord_X &record, int index)
{
    if (record.word.IsEmpty() || !m_pRecFile)
        return -1;
    SeekRecord(index);
    record.memoOffset = AppendMemo(record.word);
    std::vector<unsigned char> bytes;
    AppendWordDiskRecord(bytes, record);
    std::fseek(m_pRecFile, 0, SEEK_CUR);  // a stream switching from reading to writing needs a seek
    return FsWriteAll(m_pRecFile, bytes.data(), bytes.size()) ? 0 : -1;
}

int CLibFile::WriteShRecord(SHRecord_X &record, int index)
{
    if (std::strlen(record.name) < 2 || !m_pRecFile)
        return -1;
    SeekRecord(index);
    LowerName(record.name);
    record.memoOffset = AppendMemo(record.expansion);
    std::vector<unsigned char> bytes;
    AppendShDiskRecord(bytes, record);
    std::fseek(m_pRecFile, 0, SEEK_CUR);
    return FsWriteAll(m_pRecFile, bytes.data(), bytes.size()) ? 0 : -1;
}

int CLibFile::AppendMemo(const CString &text)
{
    if (!m_pMemoFile)
        return -1;
    const long long offset = FileEnd(m_pMemoFile);
    std::vector<unsigned char> entry;
    AppendMemoEntry(entry, text.Left(MAX_MEMO_TEXT_LENGTH));
    FsWriteAll(m_pMemoFile, entry.data(), entry.size());
    return static_cast<int>(offset);
}

bool CLibFile::GetMemo(int offset, CString &text)
{
    text.Empty();
    unsigned char length[2];
    if (!m_pMemoFile || offset < 0 || std::fseek(m_pMemoFile, offset, SEEK_SET) != 0 ||
        std::fread(length, 1, 2, m_pMemoFile) != 2) {
        DebugMessage("GetMemo(), l<=0!");
        return false;
    }
    const int l = GetInt16LE(length);
    if (l <= 0) {
        DebugMessage("GetMemo(), l<=0!");
        return l >= -1;  // 0, or -1 for a dropped entry
    }
    const size_t got = std::fread(text.GetBufferSetLength(l), 1, static_cast<size_t>(l), m_pMemoFile);
    text.ReleaseBuffer(static_cast<int>(got));
    text.ReleaseBuffer(-1);  // the text ends at its first NUL
    if (got != static_cast<size_t>(l)) {
        text.Empty();
        return false;
    }
    return true;
}

void CLibFile::MarkMemoDeleted(int offset)
{
    if (!m_pMemoFile || offset < 0 || std::fseek(m_pMemoFile, offset, SEEK_SET) != 0)
        return;
    const unsigned char dropped[2] = {0xFF, 0xFF};
    FsWriteAll(m_pMemoFile, dropped, sizeof dropped);
}

int CLibFile::GetRecordCount() const
{
    return static_cast<int>(IsShorthandLib() ? m_ShTable.size() : m_WordTable.size());
}

CString CLibFile::GetKeyAt(int index) const
{
    if (index < 0 || index >= GetRecordCount())
        return CString();
    return IsShorthandLib() ? CString(m_ShTable[static_cast<size_t>(index)].name)
                            : m_WordTable[static_cast<size_t>(index)].word;
}

BOOL CLibFile::FindRecord(const CString &key, int &pos, BOOL exact) const
{
    const SearchIndex *index = UsableIndex();
    const std::vector<uint64_t> *ladder = index ? &index->keys : nullptr;
    return IsShorthandLib() ? FindInTable(m_ShTable, key, pos, exact, ladder, kIndexStep)
                            : FindInTable(m_WordTable, key, pos, exact, ladder, kIndexStep);
}

const CLibFile::SearchIndex *CLibFile::UsableIndex() const
{
    if (!m_Index.valid)
        return nullptr;
    const bool shorthand = IsShorthandLib();
    const size_t size = shorthand ? m_ShTable.size() : m_WordTable.size();
    const void *data = shorthand ? static_cast<const void *>(m_ShTable.data()) : m_WordTable.data();
    return size == m_Index.size && data == m_Index.data ? &m_Index : nullptr;
}

void CLibFile::RefreshSearchIndex()
{
    const bool shorthand = IsShorthandLib();
    if (shorthand)
        BuildLadder(m_ShTable, kIndexStep, m_Index.keys);
    else
        BuildLadder(m_WordTable, kIndexStep, m_Index.keys);
    m_Index.size = shorthand ? m_ShTable.size() : m_WordTable.size();
    m_Index.data = shorthand ? static_cast<const void *>(m_ShTable.data()) : m_WordTable.data();
    m_Index.valid = true;
}

BOOL CLibFile::FindPrefixRange(const CString &prefix, int &first, int &last) const
{
    const bool shorthand = IsShorthandLib();
    const int n = GetRecordCount();
    auto key = [&](int i) -> const char * {
        return shorthand ? m_ShTable[static_cast<size_t>(i)].name : m_WordTable[static_cast<size_t>(i)].word.GetString();
    };
    FindRecord(prefix, first, FALSE);
    for (;;) {
        if (first > n - 1)
            return FALSE;
        int d = CheckPrefixMatch(key(first), prefix);
        if (d == 0) {
            if (first >= n - 1)
                return FALSE;
            ++first;
            d = CheckPrefixMatch(key(first), prefix);
            if (d == 0)
                return FALSE;
        }
        // A word library offers no record that is exactly the typed prefix,
        // unless the space bar completes.
        if (d == 1 || shorthand || CompWordKey == 32)
            break;
        ++first;
    }
    // The records that begin with prefix follow each other from first on:
    // the range ends at the last one that still matches. (A bound key made
    // from the prefix with its last character raised has no exact form for
    // every character: '@' is followed by '[' once letters are folded, and
    // letters outside ASCII are not folded at all.)
    // Galloping first: a typed prefix mostly matches a short run.
    int lo = first, hi = n;  // lo matches, hi does not
    for (int step = 1; lo + step < n; step *= 2) {
        if (CheckPrefixMatch(key(lo + step), prefix) == 0) {
            hi = lo + step;
            break;
        }
        lo += step;
    }
    while (lo + 1 < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CheckPrefixMatch(key(mid), prefix) != 0)
            lo = mid;
        else
            hi = mid;
    }
    last = lo;
    return first <= last;
}

int CLibFile::MatchPrefix(const CString &prefix, BOOL useBuckets)
{
    const bool shorthand = IsShorthandLib();
    if (useBuckets && prefix.GetLength() == 1 && IsAsciiLetter(prefix[0]) &&
        m_bBucketBuilt[AsciiToUpper(prefix[0]) - 'A']) {
        const int letter = AsciiToUpper(prefix[0]) - 'A';
        bool any = false;
        if (shorthand) {
            for (SHRecord_X &record : m_ShBuckets[letter]) {
                AddShCandidate(&record, prefix);
                any = true;
            }
        } else {
            for (WRecord_X &record : m_WordBuckets[letter]) {
                AddWordCandidate(&record, prefix);
                any = true;
            }
        }
        return any ? 1 : 0;
    }
    CString lowered;
    if (shorthand && IsUpperCaseText(prefix)) {
        lowered = prefix;
        lowered.MakeLower();
    }
    const CString &key = lowered.IsEmpty() ? prefix : lowered;
    int first = 0, last = -1;
    if (!FindPrefixRange(key, first, last))
        return 0;
    const SearchPoll poll;
    for (int i = first; i <= last; ++i) {
        if (const int signal = poll())
            return signal;
        if (shorthand) {
            SHRecord_X &record = m_ShTable[static_cast<size_t>(i)];
            if (g_bShArgsGiven && std::strcmp(record.name, key) != 0)
                continue;
            AddShCandidate(&record, key);
        } else {
            WRecord_X &record = m_WordTable[static_cast<size_t>(i)];
            if (ContainsExcludedWord(record.word))
                continue;
            AddWordCandidate(&record, key);
        }
    }
    return 0;
}

void CLibFile::BuildLetterBucket(char letter)
{
    letter = AsciiToUpper(letter);
    if (letter < 'A' || letter > 'Z')
        return;
    const int index = letter - 'A';
    const int limit = PromptNum();
    m_bBucketBuilt[index] = true;
    if (IsShorthandLib()) {
        ClearShCandidates();
        MatchPrefix(CString(letter), FALSE);
        m_ShBuckets[index].clear();
        for (int i = 0; i < limit && g_ShCandidates[i].name[0]; ++i)
            m_ShBuckets[index].push_back(g_ShCandidates[i]);
    } else {
        ClearWordCandidates();
        MatchPrefix(CString(letter), FALSE);
        m_WordBuckets[index].clear();
        for (int i = 0; i < limit && !g_WordCandidates[i].word.IsEmpty(); ++i)
            m_WordBuckets[index].push_back(g_WordCandidates[i]);
    }
}

void CLibFile::BuildLetterBuckets()
{
    if (!UsableIndex())
        RefreshSearchIndex();
    g_tNow = CurrentUnixTime();
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        BuildLetterBucket(letter);
}

int CLibFile::AddWord(const WRecord_X &record)
{
    // An exact search, so that words differing only in case each get their
    // place in the table's order instead of being taken for one another.
    int pos = 0;
    if (!FindRecord(record.word, pos, TRUE)) {
        m_WordTable.insert(m_WordTable.begin() + pos, record);
        m_Index.valid = false;
        m_bDirty = TRUE;
    }
    return 0;
}

int CLibFile::AddShorthand(const SHRecord_X &record)
{
    // Records of one name stand in the order of their expansions; a pair that
    // is already there is not added again.
    int pos = 0;
    FindRecord(record.name, pos, TRUE);
    const int n = static_cast<int>(m_ShTable.size());
    while (pos > 0 && std::strcmp(m_ShTable[static_cast<size_t>(pos - 1)].name, record.name) == 0)
        --pos;
    for (; pos < n && std::strcmp(m_ShTable[static_cast<size_t>(pos)].name, record.name) == 0; ++pos) {
        const int c = CompareWords(m_ShTable[static_cast<size_t>(pos)].expansion, record.expansion, TRUE);
        if (c == 0)
            return 0;
        if (c > 0)
            break;
    }
    m_ShTable.insert(m_ShTable.begin() + pos, record);
    m_Index.valid = false;
    m_bDirty = TRUE;
    return 0;
}

void CLibFile::DeleteRecord(int index)
{
    if (index < 0 || index >= GetRecordCount())
        return;
    char first;
    if (IsShorthandLib()) {
        first = m_ShTable[static_cast<size_t>(index)].name[0];
        m_ShTable.erase(m_ShTable.begin() + index);
    } else {
        first = m_WordTable[static_cast<size_t>(index)].word[0];
        m_WordTable.erase(m_WordTable.begin() + index);
    }
    m_Index.valid = false;
    if (IsAsciiLetter(first))
        BuildLetterBucket(first);
    m_bDirty = TRUE;
}

CString CLibFile::GetLibName() const { return GetLibNameFromPath(m_strPath); }

CString CLibFile::GetLibCategory() const
{
    const CString folder = GetParentFolder(m_strPath);
    for (const char *category : {"langlib", "proflib", "shlib"})
        if (IsSamePath(folder, JoinPath(GetLibrariesFolder(), category)))
            return CString(category);
    return CString();
}
