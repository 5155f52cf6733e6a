#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LibFormats.h"
#include "LibRecords.h"
#include "TempDir.h"

namespace {
using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

std::string ToString(const Bytes &bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// Text followed by zeros up to size bytes.
Bytes Padded(const std::string &text, size_t size)
{
    Bytes bytes = ToBytes(text);
    bytes.resize(size, 0);
    return bytes;
}

void Put32(Bytes &bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes OldWordSlot(const std::string &word, uint32_t time, uint32_t count)
{
    Bytes slot = Padded(word, 60);
    Put32(slot, 52, time);
    Put32(slot, 56, count);
    return slot;
}

Bytes OldShSlot(const std::string &name, const std::string &expansion, uint32_t time, uint32_t count)
{
    Bytes slot = Padded(name, 128);
    std::memcpy(slot.data() + 20, expansion.data(), expansion.size());
    Put32(slot, 120, time);
    Put32(slot, 124, count);
    return slot;
}

void Append(Bytes &to, const Bytes &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// Version 110 storage of every byte from `from` on: s = (p * p - b) mod 256 at
// absolute offset p, computed independently of the code under test.
void Scramble110(Bytes &file, size_t from)
{
    for (size_t p = from; p < file.size(); ++p) {
        const uint64_t square = static_cast<uint64_t>(p) * p;
        file[p] = static_cast<unsigned char>((square + 256 - file[p]) % 256);
    }
}

// A heap block of exactly the given bytes, so AddressSanitizer sees any read
// past its end.
std::unique_ptr<unsigned char[]> Exact(const Bytes &bytes)
{
    std::unique_ptr<unsigned char[]> block(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
    if (!bytes.empty())
        std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File OpenRead(const std::string &path)
{
    return File(std::fopen(path.c_str(), "rb"));
}

void SetName(SHRecord_X &record, const char *name)
{
    std::memset(record.name, 0, sizeof record.name);
    std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name - 1));
}
}  // namespace

// --- Records ----------------------------------------------------------------

TEST(LibRecords, NewRecordsAreEmpty)
{
    const WRecord_X word;
    EXPECT_TRUE(word.word.IsEmpty());
    EXPECT_EQ(word.useSeq, 0);
    EXPECT_EQ(word.memoOffset, 0);
    EXPECT_EQ(word.lastUsed, 0);
    EXPECT_EQ(word.useCount, 0);

    const SHRecord_X sh;
    EXPECT_TRUE(sh.expansion.IsEmpty());
    EXPECT_EQ(Bytes(sh.name, sh.name + SH_NAME_SIZE), Bytes(SH_NAME_SIZE, 0));
    EXPECT_EQ(sh.memoOffset, 0);
    EXPECT_EQ(sh.lastUsed, 0);
    EXPECT_EQ(sh.useCount, 0);
}

TEST(LibRecords, FieldTablesLocateEachFieldOfTheEncodedRecords)
{
    EXPECT_EQ(std::vector<int>(g_WordRecFieldSizes, g_WordRecFieldSizes + WREC_FIELD_COUNT), (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(std::vector<int>(g_WordRecFieldOffsets, g_WordRecFieldOffsets + WREC_FIELD_COUNT), (std::vector<int>{0, 4, 8}));
    EXPECT_EQ(std::vector<int>(g_ShRecFieldSizes, g_ShRecFieldSizes + SHREC_FIELD_COUNT), (std::vector<int>{20, 4, 4, 4}));
    EXPECT_EQ(std::vector<int>(g_ShRecFieldOffsets, g_ShRecFieldOffsets + SHREC_FIELD_COUNT), (std::vector<int>{0, 20, 24, 28}));

    // Reading a field through the tables from an encoded record gives the
    // field's value, so field access and record access agree.
    WRecord_X word;
    word.memoOffset = 0x01020304;
    word.lastUsed = 0x11121314;
    word.useCount = 0x21222324;
    Bytes w;
    AppendWordDiskRecord(w, word);
    ASSERT_EQ(w.size(), 12u);
    EXPECT_EQ(GetInt32LE(&w[g_WordRecFieldOffsets[WREC_FIELD_MEMO_OFFSET]]), word.memoOffset);
    EXPECT_EQ(GetInt32LE(&w[g_WordRecFieldOffsets[WREC_FIELD_LAST_USED]]), word.lastUsed);
    EXPECT_EQ(GetInt32LE(&w[g_WordRecFieldOffsets[WREC_FIELD_USE_COUNT]]), word.useCount);

    SHRecord_X sh;
    SetName(sh, "btw");
    sh.memoOffset = 0x31323334;
    sh.lastUsed = 0x41424344;
    sh.useCount = 0x51525354;
    Bytes s;
    AppendShDiskRecord(s, sh);
    ASSERT_EQ(s.size(), 32u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&s[g_ShRecFieldOffsets[SHREC_FIELD_NAME]])), "btw");
    EXPECT_EQ(GetInt32LE(&s[g_ShRecFieldOffsets[SHREC_FIELD_MEMO_OFFSET]]), sh.memoOffset);
    EXPECT_EQ(GetInt32LE(&s[g_ShRecFieldOffsets[SHREC_FIELD_LAST_USED]]), sh.lastUsed);
    EXPECT_EQ(GetInt32LE(&s[g_ShRecFieldOffsets[SHREC_FIELD_USE_COUNT]]), sh.useCount);
}

TEST(LibRecords, IsCompleteShRecordNeedsNameAndExpansion)
{
    struct Case {
        const char *name;
        const char *expansion;
        bool complete;
    } const cases[] = {
        {"btw", "by the way", true},
        {"sig", "Regards,\r\nAnn", true},
        {"", "by the way", false},
        {" \t ", "by the way", false},
        {"btw", "", false},
        {"btw", " \r\n\t ", false},
        {"", "", false},
    };
    for (const Case &c : cases) {
        SHRecord_X record;
        SetName(record, c.name);
        record.expansion = c.expansion;
        EXPECT_EQ(IsCompleteShRecord(record), c.complete) << "name '" << c.name << "' expansion '" << c.expansion << "'";
    }

    // A name field without terminator is read no further than the field.
    SHRecord_X full;
    std::memset(full.name, 'a', sizeof full.name);
    full.expansion = "x";
    EXPECT_TRUE(IsCompleteShRecord(full));
}

// --- Headers and version ----------------------------------------------------

TEST(LibFormats, NewLibraryHeadersAreExactBytes)
{
    TempDir dir;
    const std::string wordPath = dir.Path("new.lib");
    const std::string shPath = dir.Path("new.slb");
    {
        File word(std::fopen(wordPath.c_str(), "wb"));
        ASSERT_TRUE(word);
        EXPECT_TRUE(WriteWordLibHeader(word.get(), 120));  // the argument does not change the text
        File sh(std::fopen(shPath.c_str(), "wb"));
        ASSERT_TRUE(sh);
        EXPECT_TRUE(WriteShLibHeader(sh.get()));
    }
    const Bytes wordHeader = Padded("wordlib ver130", 120);
    const Bytes shHeader = Padded("shlib ver130", 160);
    EXPECT_EQ(ToBytes(TempDir::Read(wordPath)), wordHeader);
    EXPECT_EQ(ToBytes(TempDir::Read(shPath)), shHeader);
    EXPECT_EQ(GetLibraryVersion(wordPath.c_str()), 130);
    EXPECT_EQ(GetLibraryVersion(shPath.c_str()), 130);
    EXPECT_EQ(GetLibRecordCount(120, false), 0);
    EXPECT_EQ(GetLibRecordCount(160, true), 0);

    Bytes inMemory;
    AppendLibHeader(inMemory, false);
    EXPECT_EQ(inMemory, wordHeader);
    inMemory.clear();
    AppendLibHeader(inMemory, true);
    EXPECT_EQ(inMemory, shHeader);

    EXPECT_FALSE(WriteShLibHeader(nullptr));
}

TEST(LibFormats, VersionFromTheFirstSixteenBytes)
{
    struct Case {
        std::string bytes;
        int version;
    } const cases[] = {
        {ToString(Padded("wordlib ver120", 60)), 120},
        {ToString(Padded("shlib ver110", 128)), 110},
        {"", 100},
        {"hello world, a plain text file", 100},
        {std::string("\x01\xff\x80wordlib ver130", 17), 100},
        {"Wordlib ver130", 100},                 // the start is case-sensitive
        {"wordlib  ver125", 125},                // blanks in a row separate once
        {"shlib ver1300000" "99", 1300000},      // bytes after the 16th are not read
        {"shlib ver125 extra text", 125},
        {std::string("wordlib ver12\0" "9", 15), 12},  // the text ends at its NUL
        {"wordlib", 0},                          // a header without a number
        {"shlib v", 0},
        {"shlib verxyz", 0},
        {"wordlib ver-1", 0},                    // never mistaken for an unreadable file
    };
    TempDir dir;
    int n = 0;
    for (const Case &c : cases) {
        const std::string path = dir.Write("v" + std::to_string(n++) + ".lib", c.bytes);
        EXPECT_EQ(GetLibraryVersion(path.c_str()), c.version) << c.bytes;
    }
    EXPECT_EQ(ParseLibraryVersion(nullptr, 0), 100);
}

TEST(LibFormats, UnreadableLibraryHasNoVersion)
{
    // The caller refuses the library; a missing file must not end the program.
    TempDir dir;
    EXPECT_EQ(GetLibraryVersion(dir.Path("missing.lib").c_str()), LIB_VERSION_UNREADABLE);
}

// --- Record counts and names --------------------------------------------------

TEST(LibFormats, RecordCountFromFileSize)
{
    struct Case {
        bool old;
        bool shorthand;
        long long size;
        int count;
    } const cases[] = {
        // Current format: (size - header) / record, toward zero.
        {false, false, 0, -10},
        {false, false, 108, -1},   // damaged
        {false, false, 109, 0},    // shorter than the header, yet empty
        {false, false, 119, 0},
        {false, false, 131, 0},
        {false, false, 132, 1},
        {false, false, 155, 2},    // trailing bytes ignored
        {false, true, 128, -1},
        {false, true, 129, 0},
        {false, true, 159, 0},
        {false, true, 191, 0},
        {false, true, 192, 1},
        {false, true, 200, 1},
        {false, false, 120 + 12LL * 0x7fffffff + 11, 0x7fffffff},
        {false, false, 1LL << 40, 0x7fffffff},  // more than an int counts
        // Old formats: size / slot - 1.
        {true, false, 240, 3},
        {true, false, 239, 2},
        {true, false, 60, 0},
        {true, false, 59, -1},
        {true, true, 255, 0},
        {true, true, 256, 1},
        {true, true, 0, -1},
    };
    for (const Case &c : cases) {
        const int count = c.old ? GetOldLibRecordCount(c.size, c.shorthand) : GetLibRecordCount(c.size, c.shorthand);
        EXPECT_EQ(count, c.count) << (c.old ? "old " : "") << (c.shorthand ? "shorthand" : "word") << " size " << c.size;
    }
}

TEST(LibFormats, MemoPathKindAndName)
{
    EXPECT_EQ(GetMemoPathFor("C:\\Data\\libraries\\user_en.lib"), "C:\\Data\\libraries\\user_en.mem");
    EXPECT_EQ(GetMemoPathFor("/tmp/abbrev.SLB"), "/tmp/abbrev.mem");
    EXPECT_EQ(GetMemoPathFor("x.ab"), "xmem");  // the last three characters, whatever they are
    EXPECT_EQ(GetMemoPathFor("ab"), "mem");

    struct Kind {
        const char *path;
        bool shorthand;
    } const kinds[] = {
        {"C:\\libs\\mine.slb", true},   {"mine.SLB", true},   {"mine.sLb", true},
        {"C:\\libs\\mine.lib", false},  {"mine.slbx", false}, {"mine.slb.bak", false},
        {"C:\\libs.slb\\mine", false},  {"slb", false},       {"", false},
    };
    for (const Kind &k : kinds)
        EXPECT_EQ(IsShorthandLibPath(k.path), k.shorthand) << k.path;

    EXPECT_EQ(GetLibNameFromPath("C:\\Data\\libraries\\user_en.lib"), "user_en");
    EXPECT_EQ(GetLibNameFromPath("/data/libs/my.notes.slb"), "my.notes");
    EXPECT_EQ(GetLibNameFromPath("plain"), "plain");
}

// --- Byte-level helpers -------------------------------------------------------

TEST(LibFormats, LittleEndianIntegers)
{
    struct Case32 {
        int32_t value;
        Bytes bytes;
    } const cases32[] = {
        {0, {0, 0, 0, 0}},
        {0x01020304, {4, 3, 2, 1}},
        {-1, {0xff, 0xff, 0xff, 0xff}},
        {-2, {0xfe, 0xff, 0xff, 0xff}},
        {INT32_MAX, {0xff, 0xff, 0xff, 0x7f}},
        {INT32_MIN, {0, 0, 0, 0x80}},
    };
    for (const Case32 &c : cases32) {
        unsigned char out[4];
        PutInt32LE(out, c.value);
        EXPECT_EQ(Bytes(out, out + 4), c.bytes) << c.value;
        EXPECT_EQ(GetInt32LE(c.bytes.data()), c.value);
    }
    struct Case16 {
        int16_t value;
        Bytes bytes;
    } const cases16[] = {
        {3, {3, 0}}, {0x1234, {0x34, 0x12}}, {-1, {0xff, 0xff}}, {32767, {0xff, 0x7f}}, {-32768, {0, 0x80}},
    };
    for (const Case16 &c : cases16) {
        unsigned char out[2];
        PutInt16LE(out, c.value);
        EXPECT_EQ(Bytes(out, out + 2), c.bytes) << c.value;
        EXPECT_EQ(GetInt16LE(c.bytes.data()), c.value);
    }
}

TEST(LibFormats, WordDiskRecordBytes)
{
    WRecord_X record;
    record.word = "ignored";
    record.useSeq = 99;  // never stored
    record.memoOffset = 6;
    record.lastUsed = -2;
    record.useCount = 0x0102;
    Bytes bytes;
    AppendWordDiskRecord(bytes, record);
    EXPECT_EQ(bytes, (Bytes{6, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff, 2, 1, 0, 0}));

    WRecord_X back;
    back.word = "kept";
    const auto exact = Exact(bytes);
    ASSERT_TRUE(DecodeWordDiskRecord(exact.get(), bytes.size(), back));
    EXPECT_EQ(back.word, "kept");  // the word comes from the memo file
    EXPECT_EQ(back.useSeq, 0);
    EXPECT_EQ(back.memoOffset, 6);
    EXPECT_EQ(back.lastUsed, -2);
    EXPECT_EQ(back.useCount, 0x0102);

    // Truncated input: refused, record untouched.
    WRecord_X untouched;
    untouched.memoOffset = 5;
    const auto shortBlock = Exact(Bytes(bytes.begin(), bytes.end() - 1));
    EXPECT_FALSE(DecodeWordDiskRecord(shortBlock.get(), 11, untouched));
    EXPECT_FALSE(DecodeWordDiskRecord(nullptr, 12, untouched));
    EXPECT_EQ(untouched.memoOffset, 5);
}

TEST(LibFormats, ShDiskRecordBytes)
{
    // A 19-character name fills the field with its terminator.
    SHRecord_X record;
    SetName(record, "abcdefghijklmnopqrs");
    record.expansion = "ignored";
    record.memoOffset = 0x10;
    record.lastUsed = 0x5f5e1000;
    record.useCount = 3;
    Bytes bytes;
    AppendShDiskRecord(bytes, record);
    Bytes expected = Padded("abcdefghijklmnopqrs", 32);
    Put32(expected, 20, 0x10);
    Put32(expected, 24, 0x5f5e1000);
    Put32(expected, 28, 3);
    EXPECT_EQ(bytes, expected);

    SHRecord_X back;
    back.expansion = "kept";
    const auto exact = Exact(bytes);
    ASSERT_TRUE(DecodeShDiskRecord(exact.get(), bytes.size(), back));
    EXPECT_STREQ(back.name, "abcdefghijklmnopqrs");
    EXPECT_EQ(back.expansion, "kept");
    EXPECT_EQ(back.memoOffset, 0x10);
    EXPECT_EQ(back.lastUsed, 0x5f5e1000);
    EXPECT_EQ(back.useCount, 3);

    // Leftovers after the terminator in memory are written as zeros.
    SHRecord_X dirty;
    std::memset(dirty.name, 'x', sizeof dirty.name);
    std::memcpy(dirty.name, "btw", 4);
    bytes.clear();
    AppendShDiskRecord(bytes, dirty);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20), Padded("btw", 20));

    // A name without terminator in memory is cut to 19 characters on disk.
    SHRecord_X unterminated;
    std::memset(unterminated.name, 'y', sizeof unterminated.name);
    bytes.clear();
    AppendShDiskRecord(bytes, unterminated);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20), Padded(std::string(19, 'y'), 20));

    // On disk no writer leaves it out: such a record is refused, untouched.
    Bytes garbage(32, 0xAB);
    const auto garbageBlock = Exact(garbage);
    EXPECT_FALSE(DecodeShDiskRecord(garbageBlock.get(), garbage.size(), back));
    garbage[19] = 0;
    const auto terminatedBlock = Exact(garbage);
    SHRecord_X fromGarbage;
    ASSERT_TRUE(DecodeShDiskRecord(terminatedBlock.get(), garbage.size(), fromGarbage));
    EXPECT_EQ(std::string(fromGarbage.name), std::string(19, '\xAB'));
    EXPECT_EQ(fromGarbage.useCount, static_cast<int>(0xABABABABu));

    // Truncated input: refused, record untouched.
    const auto shortBlock = Exact(Bytes(garbage.begin(), garbage.end() - 1));
    EXPECT_FALSE(DecodeShDiskRecord(shortBlock.get(), 31, back));
    EXPECT_FALSE(DecodeShDiskRecord(nullptr, 32, back));
    EXPECT_STREQ(back.name, "abcdefghijklmnopqrs");
}

TEST(LibFormats, MemoEntriesAppendAndReadBack)
{
    Bytes memo;
    EXPECT_EQ(AppendMemoEntry(memo, "cat"), 0);  // the first entry of a new memo file
    EXPECT_EQ(memo, (Bytes{0x03, 0x00, 0x63, 0x61, 0x74, 0x00}));
    EXPECT_EQ(AppendMemoEntry(memo, "caf\xe9\r\nbar"), 6);  // 8-bit bytes and line breaks kept
    EXPECT_EQ(AppendMemoEntry(memo, ""), 18);
    const std::string longest(32767, 'L');
    EXPECT_EQ(AppendMemoEntry(memo, longest.c_str()), 21);
    const size_t size = memo.size();
    EXPECT_EQ(size, 21u + 2 + 32767 + 1);

    // Too long for the int16 length: refused, nothing appended.
    EXPECT_EQ(AppendMemoEntry(memo, std::string(32768, 'L').c_str()), -1);
    EXPECT_EQ(memo.size(), size);

    const auto block = Exact(memo);
    CString text;
    EXPECT_EQ(DecodeMemoEntry(block.get(), size, 0, text), MEMO_TEXT);
    EXPECT_EQ(text, "cat");
    EXPECT_EQ(DecodeMemoEntry(block.get(), size, 6, text), MEMO_TEXT);
    EXPECT_EQ(text, "caf\xe9\r\nbar");
    text = "old";
    EXPECT_EQ(DecodeMemoEntry(block.get(), size, 18, text), MEMO_NO_TEXT);
    EXPECT_EQ(text, "");
    EXPECT_EQ(DecodeMemoEntry(block.get(), size, 21, text), MEMO_TEXT);
    EXPECT_EQ(text.GetLength(), 32767);
    EXPECT_EQ(text, longest.c_str());
}

TEST(LibFormats, MemoEntryDecodingStaysInsideTheBuffer)
{
    struct Case {
        const char *what;
        Bytes memo;
        long long offset;
        MemoEntryResult result;
        const char *text;
    } const cases[] = {
        {"dropped entry", {0xff, 0xff, 'c', 'a', 't', 0}, 0, MEMO_NO_TEXT, ""},
        {"most negative length", {0x00, 0x80, 'x', 0}, 0, MEMO_BAD_LENGTH, ""},
        {"length -2", {0xfe, 0xff, 'x', 0}, 0, MEMO_BAD_LENGTH, ""},
        {"zero length", {0, 0, 0}, 0, MEMO_NO_TEXT, ""},
        {"text ends at NUL", {4, 0, 'a', 'b', 0, 'c', 0}, 0, MEMO_TEXT, "ab"},
        {"no terminator at the end", {2, 0, 'o', 'k'}, 0, MEMO_TEXT, "ok"},
        {"length past the end", {5, 0, 'a', 'b', 0}, 0, MEMO_OUT_OF_BOUNDS, ""},
        {"huge length", {0xff, 0x7f, 'a'}, 0, MEMO_OUT_OF_BOUNDS, ""},
        {"one length byte left", {3, 0, 'c', 'a', 't', 0, 1}, 6, MEMO_OUT_OF_BOUNDS, ""},
        {"offset at the end", {3, 0, 'c', 'a', 't', 0}, 6, MEMO_OUT_OF_BOUNDS, ""},
        {"offset past the end", {3, 0, 'c', 'a', 't', 0}, 7, MEMO_OUT_OF_BOUNDS, ""},
        {"offset far away", {3, 0, 'c', 'a', 't', 0}, 0x7fffffffLL, MEMO_OUT_OF_BOUNDS, ""},
        {"negative offset", {3, 0, 'c', 'a', 't', 0}, -1, MEMO_OUT_OF_BOUNDS, ""},
        {"empty memo", {}, 0, MEMO_OUT_OF_BOUNDS, ""},
    };
    for (const Case &c : cases) {
        const auto block = Exact(c.memo);
        CString text = "previous";
        EXPECT_EQ(DecodeMemoEntry(block.get(), c.memo.size(), c.offset, text), c.result) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
    CString text = "previous";
    EXPECT_EQ(DecodeMemoEntry(nullptr, 6, 0, text), MEMO_OUT_OF_BOUNDS);
    EXPECT_EQ(text, "");

    // The text ends at its first NUL wherever it stands, also for texts
    // longer than the stride of the scan, and never past its length (the
    // buffer ends exactly after the entry).
    for (int length = 1; length <= 20; ++length) {
        for (int nul = 0; nul <= length; ++nul) {
            Bytes entry = {static_cast<unsigned char>(length), 0};
            for (int i = 0; i < length; ++i)
                entry.push_back(i == nul ? 0 : static_cast<unsigned char>(i == nul + 1 ? 0x80 : 'a' + i));
            const auto exact = Exact(entry);
            ASSERT_EQ(DecodeMemoEntry(exact.get(), entry.size(), 0, text), MEMO_TEXT);
            ASSERT_EQ(text.GetLength(), std::min(nul, length)) << length << " " << nul;
        }
    }
}

// --- Versions 110 and 120 -----------------------------------------------------

TEST(LibFormats, OldPlainWordFile)
{
    // 240 bytes: the header slot and three records.
    Bytes file = Padded("wordlib ver120", 60);
    Append(file, OldWordSlot("alpha", 1000, 5));
    Append(file, OldWordSlot(std::string(51, 'w'), 0xfffffffe, 0));
    Append(file, OldWordSlot("gamma delta", 7, 0x7fffffff));
    ASSERT_EQ(file.size(), 240u);
    TempDir dir;
    const std::string path = dir.Write("old.lib", ToString(file));

    EXPECT_EQ(GetLibraryVersion(path.c_str()), 120);
    EXPECT_EQ(GetOldLibRecordCount(static_cast<long long>(TempDir::Read(path).size()), false), 3);

    File f = OpenRead(path);
    ASSERT_TRUE(f);
    ASSERT_TRUE(SeekOldWordRecord(f.get(), 2));
    EXPECT_EQ(std::ftell(f.get()), 180);

    unsigned char buffer[OLD_WORD_REC_SIZE];
    WRecord_X record;
    ASSERT_EQ(ReadOldWordRecord(f.get(), buffer, 1, false), 1);
    ASSERT_TRUE(DecodeOldWordRecord(buffer, sizeof buffer, record));
    EXPECT_EQ(record.word, std::string(51, 'w').c_str());
    EXPECT_EQ(record.lastUsed, -2);
    EXPECT_EQ(record.useCount, 0);

    ASSERT_EQ(ReadOldWordRecord(f.get(), buffer, -1, false), 1);  // the next one
    ASSERT_TRUE(DecodeOldWordRecord(buffer, sizeof buffer, record));
    EXPECT_EQ(record.word, "gamma delta");
    EXPECT_EQ(record.lastUsed, 7);
    EXPECT_EQ(record.useCount, 0x7fffffff);

    ASSERT_EQ(ReadOldWordRecord(f.get(), buffer, 0, false), 1);
    ASSERT_TRUE(DecodeOldWordRecord(buffer, sizeof buffer, record));
    EXPECT_EQ(record.word, "alpha");
    EXPECT_EQ(record.lastUsed, 1000);
    EXPECT_EQ(record.useCount, 5);

    // Past the last record, or at an impossible index: 0 and a cleared buffer.
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(ReadOldWordRecord(f.get(), buffer, 3, false), 0);
    EXPECT_EQ(Bytes(buffer, buffer + sizeof buffer), Bytes(sizeof buffer, 0));
    EXPECT_EQ(ReadOldWordRecord(f.get(), buffer, -5, false), 0);
    EXPECT_EQ(ReadOldWordRecord(nullptr, buffer, 0, false), 0);
    EXPECT_EQ(ReadOldWordRecord(nullptr, buffer, -1, false), 0);
}

TEST(LibFormats, OldRecordDecodersRejectShortInputAndCutUnterminatedText)
{
    WRecord_X word;
    word.word = "kept";
    const Bytes wordGarbage(60, 'g');
    const auto shortWord = Exact(Bytes(wordGarbage.begin(), wordGarbage.end() - 1));
    EXPECT_FALSE(DecodeOldWordRecord(shortWord.get(), 59, word));
    EXPECT_EQ(word.word, "kept");
    const auto fullWord = Exact(wordGarbage);
    ASSERT_TRUE(DecodeOldWordRecord(fullWord.get(), 60, word));
    EXPECT_EQ(word.word, std::string(51, 'g').c_str());

    SHRecord_X sh;
    sh.expansion = "kept";
    const Bytes shGarbage(128, 'h');
    const auto shortSh = Exact(Bytes(shGarbage.begin(), shGarbage.end() - 1));
    EXPECT_FALSE(DecodeOldShRecord(shortSh.get(), 127, sh));
    EXPECT_EQ(sh.expansion, "kept");
    const auto fullSh = Exact(shGarbage);
    ASSERT_TRUE(DecodeOldShRecord(fullSh.get(), 128, sh));
    EXPECT_STREQ(sh.name, std::string(19, 'h').c_str());
    EXPECT_EQ(sh.expansion, std::string(99, 'h').c_str());
}

TEST(LibFormats, OldTransformedShorthandFile)
{
    // Header slot plain, then records at 128, 256 and, far out where p * p no
    // longer fits 32 bits, at 128 * 601.
    Bytes file = Padded("shlib ver110", 128);
    Append(file, OldShSlot("btw", "by the way", 1700000000, 4));
    Append(file, OldShSlot("sig", "Regards,\r\nAnn", 0, 1));
    for (int i = 2; i < 600; ++i)
        Append(file, OldShSlot("", "", 0, 0));
    Append(file, OldShSlot("far", "far away", 12, 34));
    ASSERT_EQ(file.size(), 128u * 602);
    Scramble110(file, 128);
    // p = 128: p * p mod 256 = 0, so 'b' (0x62) is stored as 0x100 - 0x62.
    ASSERT_EQ(file[128], 0x9e);
    TempDir dir;
    const std::string path = dir.Write("old.slb", ToString(file));

    EXPECT_EQ(GetLibraryVersion(path.c_str()), 110);
    EXPECT_EQ(GetOldLibRecordCount(static_cast<long long>(file.size()), true), 601);

    File f = OpenRead(path);
    ASSERT_TRUE(f);
    ASSERT_TRUE(SeekOldShRecord(f.get(), 2));
    EXPECT_EQ(std::ftell(f.get()), 384);

    unsigned char buffer[OLD_SH_REC_SIZE];
    SHRecord_X record;
    ASSERT_EQ(ReadOldShRecord(f.get(), buffer, 0, true), 1);
    ASSERT_TRUE(DecodeOldShRecord(buffer, sizeof buffer, record));
    EXPECT_STREQ(record.name, "btw");
    EXPECT_EQ(record.expansion, "by the way");
    EXPECT_EQ(record.lastUsed, 1700000000);
    EXPECT_EQ(record.useCount, 4);

    ASSERT_EQ(ReadOldShRecord(f.get(), buffer, -1, true), 1);
    ASSERT_TRUE(DecodeOldShRecord(buffer, sizeof buffer, record));
    EXPECT_STREQ(record.name, "sig");
    EXPECT_EQ(record.expansion, "Regards,\r\nAnn");
    EXPECT_EQ(record.lastUsed, 0);
    EXPECT_EQ(record.useCount, 1);

    ASSERT_EQ(ReadOldShRecord(f.get(), buffer, 600, true), 1);
    ASSERT_TRUE(DecodeOldShRecord(buffer, sizeof buffer, record));
    EXPECT_STREQ(record.name, "far");
    EXPECT_EQ(record.expansion, "far away");
    EXPECT_EQ(record.lastUsed, 12);
    EXPECT_EQ(record.useCount, 34);

    // The same bytes without the transform are not the record.
    ASSERT_EQ(ReadOldShRecord(f.get(), buffer, 0, false), 1);
    EXPECT_NE(std::memcmp(buffer, "btw", 4), 0);

    // ReadOldRecordBytes counts positions from where the stream stands.
    ASSERT_EQ(std::fseek(f.get(), 128 + 20, SEEK_SET), 0);
    unsigned char part[10];
    ASSERT_EQ(ReadOldRecordBytes(part, sizeof part, f.get(), true), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(part), sizeof part), "by the way");
}

TEST(LibFormats, OldShorthandFileOfTwoHundredFiftyFiveBytesHoldsNoRecord)
{
    Bytes file = Padded("shlib ver110", 128);
    Append(file, Bytes(127, 'x'));
    TempDir dir;
    const std::string path = dir.Write("short.slb", ToString(file));
    EXPECT_EQ(GetLibraryVersion(path.c_str()), 110);
    EXPECT_EQ(GetOldLibRecordCount(255, true), 0);

    File f = OpenRead(path);
    ASSERT_TRUE(f);
    unsigned char buffer[OLD_SH_REC_SIZE];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(ReadOldShRecord(f.get(), buffer, 0, true), 0);  // only 127 bytes there
    EXPECT_EQ(Bytes(buffer, buffer + sizeof buffer), Bytes(sizeof buffer, 0));
}
