#include "LibFormats.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "PathText.h"
#include "TextHelpers.h"

namespace {
// Text of a fixed-size field: up to its first NUL, and never more than the
// field's size less one, so a field without terminator can't run on.
// fieldSize is at least 1.
CString FieldText(const unsigned char *field, int fieldSize)
{
    const void *nul = std::memchr(field, 0, static_cast<size_t>(fieldSize - 1));
    const int length = nul ? static_cast<int>(static_cast<const unsigned char *>(nul) - field) : fieldSize - 1;
    return CString(reinterpret_cast<const char *>(field), length);
}

int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool SeekTo(FILE *file, long long position)
{
    if (!file || position < 0 || position > LONG_MAX)
        return false;
    return std::fseek(file, static_cast<long>(position), SEEK_SET) == 0;
}

bool WriteAll(FILE *file, const std::vector<unsigned char> &bytes)
{
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}
}  // namespace

// --- Headers and version ---------------------------------------------------

void AppendLibHeader(std::vector<unsigned char> &out, bool shorthand)
{
    char text[SH_LIB_HEADER_SIZE] = {0};
    int size;
    if (shorthand) {
        std::snprintf(text, sizeof text, "shlib ver%d", LIB_VERSION);
        size = SH_LIB_HEADER_SIZE;
    } else {
        std::snprintf(text, sizeof text, "wordlib ver%d", LIB_VERSION);
        size = WORD_LIB_HEADER_SIZE;
    }
    out.insert(out.end(), text, text + size);
}

bool WriteWordLibHeader(FILE *file, int /*version*/)
{
    std::vector<unsigned char> header;
    AppendLibHeader(header, false);
    return WriteAll(file, header);
}

bool WriteShLibHeader(FILE *file)
{
    std::vector<unsigned char> header;
    AppendLibHeader(header, true);
    return WriteAll(file, header);
}

int ParseLibraryVersion(const unsigned char *data, size_t size)
{
    if (!data)
        return LIB_VERSION_NONE;
    const size_t length = size < LIB_VERSION_TEXT_SIZE ? size : LIB_VERSION_TEXT_SIZE;
    const void *nul = std::memchr(data, 0, length);
    const size_t textLength = nul ? static_cast<size_t>(static_cast<const unsigned char *>(nul) - data) : length;
    const CString text(reinterpret_cast<const char *>(data), static_cast<int>(textLength));
    if (std::strncmp(text, "wordlib", 7) != 0 && std::strncmp(text, "shlib", 5) != 0)
        return LIB_VERSION_NONE;
    const CString number = GetNthField(text, 1, ' ').Mid(3);
    // No version is below zero; a negative number counts as none, so that no
    // header can pass for LIB_VERSION_UNREADABLE.
    const long value = std::strtol(number, nullptr, 10);
    return value < 0 ? 0 : ClampToInt(value);
}

int GetLibraryVersion(const char *path)
{
    FILE *file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return LIB_VERSION_UNREADABLE;
    unsigned char head[LIB_VERSION_TEXT_SIZE];
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return ParseLibraryVersion(head, got);
}

// --- Record counts and names ----------------------------------------------

int GetLibRecordCount(long long fileSize, bool shorthand)
{
    const long long header = shorthand ? SH_LIB_HEADER_SIZE : WORD_LIB_HEADER_SIZE;
    const long long record = shorthand ? SH_REC_SIZE : WORD_REC_SIZE;
    // Division truncates toward zero: a file a little shorter than its header
    // counts as empty, not damaged.
    return ClampToInt((fileSize - header) / record);
}

int GetOldLibRecordCount(long long fileSize, bool shorthand)
{
    const long long slot = shorthand ? OLD_SH_REC_SIZE : OLD_WORD_REC_SIZE;
    return ClampToInt(fileSize / slot - 1);
}

CString GetMemoPathFor(const char *recordPath)
{
    const CString path(recordPath);
    const int keep = path.GetLength() > 3 ? path.GetLength() - 3 : 0;
    return path.Left(keep) + "mem";
}

bool IsShorthandLibPath(const char *path)
{
    // The same test as comparing GetFileExtension with "slb", without building
    // strings: every search asks it several times.
    if (!path)
        return false;
    const char *dot = std::strrchr(path, '.');
    if (!dot)
        return false;
    const char sep = GetPathSeparator(path);
    if (sep && std::strrchr(path, sep) > dot)
        return false;
    return AsciiCompareNoCase(dot + 1, "slb") == 0;
}

CString GetLibNameFromPath(const char *path)
{
    return GetFileName(path, true);
}

// --- Little-endian integers -------------------------------------------------

void PutInt32LE(unsigned char *out, int32_t value)
{
    const uint32_t u = static_cast<uint32_t>(value);
    out[0] = static_cast<unsigned char>(u);
    out[1] = static_cast<unsigned char>(u >> 8);
    out[2] = static_cast<unsigned char>(u >> 16);
    out[3] = static_cast<unsigned char>(u >> 24);
}

int32_t GetInt32LE(const unsigned char *in)
{
    const uint32_t u = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
                       (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
    return static_cast<int32_t>(u);
}

void PutInt16LE(unsigned char *out, int16_t value)
{
    const uint16_t u = static_cast<uint16_t>(value);
    out[0] = static_cast<unsigned char>(u);
    out[1] = static_cast<unsigned char>(u >> 8);
}

int16_t GetInt16LE(const unsigned char *in)
{
    const uint16_t u = static_cast<uint16_t>(in[0] | (in[1] << 8));
    return static_cast<int16_t>(u);
}

// --- Disk records -----------------------------------------------------------

void AppendWordDiskRecord(std::vector<unsigned char> &out, const WRecord_X &record)
{
    unsigned char bytes[WORD_REC_SIZE];
    PutInt32LE(bytes + g_WordRecFieldOffsets[WREC_FIELD_MEMO_OFFSET], record.memoOffset);
    PutInt32LE(bytes + g_WordRecFieldOffsets[WREC_FIELD_LAST_USED], record.lastUsed);
    PutInt32LE(bytes + g_WordRecFieldOffsets[WREC_FIELD_USE_COUNT], record.useCount);
    out.insert(out.end(), bytes, bytes + WORD_REC_SIZE);
}

bool DecodeWordDiskRecord(const unsigned char *data, size_t size, WRecord_X &record)
{
    if (!data || size < static_cast<size_t>(WORD_REC_SIZE))
        return false;
    record.memoOffset = GetInt32LE(data + g_WordRecFieldOffsets[WREC_FIELD_MEMO_OFFSET]);
    record.lastUsed = GetInt32LE(data + g_WordRecFieldOffsets[WREC_FIELD_LAST_USED]);
    record.useCount = GetInt32LE(data + g_WordRecFieldOffsets[WREC_FIELD_USE_COUNT]);
    return true;
}

void AppendShDiskRecord(std::vector<unsigned char> &out, const SHRecord_X &record)
{
    unsigned char bytes[SH_REC_SIZE] = {0};
    const CString name = FieldText(reinterpret_cast<const unsigned char *>(record.name), SH_NAME_SIZE);
    std::memcpy(bytes + g_ShRecFieldOffsets[SHREC_FIELD_NAME], name.GetString(), static_cast<size_t>(name.GetLength()));
    PutInt32LE(bytes + g_ShRecFieldOffsets[SHREC_FIELD_MEMO_OFFSET], record.memoOffset);
    PutInt32LE(bytes + g_ShRecFieldOffsets[SHREC_FIELD_LAST_USED], record.lastUsed);
    PutInt32LE(bytes + g_ShRecFieldOffsets[SHREC_FIELD_USE_COUNT], record.useCount);
    out.insert(out.end(), bytes, bytes + SH_REC_SIZE);
}

bool DecodeShDiskRecord(const unsigned char *data, size_t size, SHRecord_X &record)
{
    if (!data || size < static_cast<size_t>(SH_REC_SIZE) ||
        !std::memchr(data + g_ShRecFieldOffsets[SHREC_FIELD_NAME], 0, SH_NAME_SIZE))
        return false;
    const CString name = FieldText(data + g_ShRecFieldOffsets[SHREC_FIELD_NAME], SH_NAME_SIZE);
    std::memset(record.name, 0, sizeof record.name);
    std::memcpy(record.name, name.GetString(), static_cast<size_t>(name.GetLength()));
    record.memoOffset = GetInt32LE(data + g_ShRecFieldOffsets[SHREC_FIELD_MEMO_OFFSET]);
    record.lastUsed = GetInt32LE(data + g_ShRecFieldOffsets[SHREC_FIELD_LAST_USED]);
    record.useCount = GetInt32LE(data + g_ShRecFieldOffsets[SHREC_FIELD_USE_COUNT]);
    return true;
}

// --- Memo entries -----------------------------------------------------------

int AppendMemoEntry(std::vector<unsigned char> &memo, const CString &text)
{
    const int length = text.GetLength();
    if (length > MAX_MEMO_TEXT_LENGTH || memo.size() > static_cast<size_t>(INT32_MAX))
        return -1;
    const int offset = static_cast<int>(memo.size());
    unsigned char prefix[2];
    PutInt16LE(prefix, static_cast<int16_t>(length));
    memo.insert(memo.end(), prefix, prefix + 2);
    memo.insert(memo.end(), text.GetString(), text.GetString() + length);
    memo.push_back(0);
    return offset;
}

namespace {
// Bytes before the first NUL among the first length bytes of text, eight at
// a time: loading a library runs this once per record, and a runtime call
// or a byte loop costs more for texts this short.
int TextLengthUpTo(const unsigned char *text, int length)
{
    const auto firstZero = [](uint64_t v) -> int {
        const uint64_t zero = (v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL;
        return zero ? __builtin_ctzll(zero) / 8 : 8;  // byte order: little-endian targets only
    };
    int done = 0;
    for (; done + 8 <= length; done += 8) {
        uint64_t v;
        std::memcpy(&v, text + done, 8);
        const int at = firstZero(v);
        if (at < 8)
            return done + at;
    }
    if (done == length)
        return length;
    if (length >= 8) {
        // The last eight bytes; those before done are known not to be 0.
        uint64_t v;
        std::memcpy(&v, text + length - 8, 8);
        const int at = firstZero(v);
        return at < 8 ? length - 8 + at : length;
    }
    while (done < length && text[done] != 0)
        ++done;
    return done;
}
}  // namespace

MemoEntryResult DecodeMemoEntry(const unsigned char *memo, size_t size, long long offset, CString &text)
{
    text.Empty();
    if (!memo || offset < 0 || static_cast<unsigned long long>(offset) > size ||
        size - static_cast<size_t>(offset) < 2)
        return MEMO_OUT_OF_BOUNDS;
    const unsigned char *entry = memo + offset;
    const int length = GetInt16LE(entry);
    if (length < -1)
        return MEMO_BAD_LENGTH;
    if (length <= 0)
        return MEMO_NO_TEXT;
    if (size - static_cast<size_t>(offset) - 2 < static_cast<size_t>(length))
        return MEMO_OUT_OF_BOUNDS;
    const int kept = TextLengthUpTo(entry + 2, length);
    text.SetString(reinterpret_cast<const char *>(entry + 2), kept);
    return MEMO_TEXT;
}

// --- Versions 110 and 120 ---------------------------------------------------

bool SeekOldWordRecord(FILE *file, int index)
{
    return SeekTo(file, OLD_WORD_REC_SIZE + static_cast<long long>(OLD_WORD_REC_SIZE) * index);
}

bool SeekOldShRecord(FILE *file, int index)
{
    return SeekTo(file, (static_cast<long long>(index) + 1) * OLD_SH_REC_SIZE);
}

int ReadOldRecordBytes(unsigned char *buffer, int n, FILE *file, bool transform)
{
    if (!buffer || n <= 0)
        return 0;
    const long position = file ? std::ftell(file) : -1;
    if (position < 0 || std::fread(buffer, static_cast<size_t>(n), 1, file) != 1) {
        std::memset(buffer, 0, static_cast<size_t>(n));
        return 0;
    }
    if (transform) {
        // Only the low byte of p * p matters, so 32-bit unsigned arithmetic
        // (which wraps, never overflows) gives the right result at any offset.
        for (int k = 0; k < n; ++k) {
            const uint32_t p = static_cast<uint32_t>(position) + static_cast<uint32_t>(k);
            buffer[k] = static_cast<unsigned char>((p * p - buffer[k]) & 0xFFu);
        }
    }
    return 1;
}

int ReadOldWordRecord(FILE *file, unsigned char *buffer, int index, bool transform)
{
    if (index != -1 && !SeekOldWordRecord(file, index)) {
        if (buffer)
            std::memset(buffer, 0, OLD_WORD_REC_SIZE);
        return 0;
    }
    return ReadOldRecordBytes(buffer, OLD_WORD_REC_SIZE, file, transform);
}

int ReadOldShRecord(FILE *file, unsigned char *buffer, int index, bool transform)
{
    if (index != -1 && !SeekOldShRecord(file, index)) {
        if (buffer)
            std::memset(buffer, 0, OLD_SH_REC_SIZE);
        return 0;
    }
    return ReadOldRecordBytes(buffer, OLD_SH_REC_SIZE, file, transform);
}

bool DecodeOldWordRecord(const unsigned char *data, size_t size, WRecord_X &record)
{
    if (!data || size < static_cast<size_t>(OLD_WORD_REC_SIZE))
        return false;
    record.word = FieldText(data, OLD_WORD_TEXT_SIZE);
    record.lastUsed = GetInt32LE(data + OLD_WORD_LAST_USED_OFFSET);
    record.useCount = GetInt32LE(data + OLD_WORD_USE_COUNT_OFFSET);
    return true;
}

bool DecodeOldShRecord(const unsigned char *data, size_t size, SHRecord_X &record)
{
    if (!data || size < static_cast<size_t>(OLD_SH_REC_SIZE))
        return false;
    const CString name = FieldText(data, SH_NAME_SIZE);
    std::memset(record.name, 0, sizeof record.name);
    std::memcpy(record.name, name.GetString(), static_cast<size_t>(name.GetLength()));
    record.expansion = FieldText(data + OLD_SH_EXPANSION_OFFSET, OLD_SH_EXPANSION_SIZE);
    record.lastUsed = GetInt32LE(data + OLD_SH_LAST_USED_OFFSET);
    record.useCount = GetInt32LE(data + OLD_SH_USE_COUNT_OFFSET);
    return true;
}
