// The library files: a record file (".lib" word library, ".slb" shorthand
// library) of fixed-size records behind a text header, and a memo file
// (".mem") of length-prefixed texts. Integers on disk are little-endian
// two's complement; texts are 8-bit bytes kept as they are. Also the two older
// formats (versions 110 and 120) that keep the texts inside the records.
//
// Records are never read or written as structs: the helpers below build and
// take apart the exact bytes, so the layout is the same for every compiler
// and pointer size. Files are always opened in binary mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "CString.h"
#include "LibRecords.h"

constexpr int WORD_LIB_HEADER_SIZE = 120;
constexpr int SH_LIB_HEADER_SIZE = 160;
constexpr int WORD_REC_SIZE = 12;
constexpr int SH_REC_SIZE = 32;

constexpr int LIB_VERSION = 130;                  // every library written has this version
constexpr int LIB_VERSION_OLD_PLAIN = 120;        // texts in the records
constexpr int LIB_VERSION_OLD_TRANSFORMED = 110;  // texts in the records, bytes transformed
constexpr int LIB_VERSION_NONE = 100;             // no recognised header
constexpr int LIB_VERSION_UNREADABLE = -1;        // the record file could not be read

// Bytes of the record file read to find its version.
constexpr int LIB_VERSION_TEXT_SIZE = 16;

// Longest text a memo entry can hold (its length is an int16).
constexpr int MAX_MEMO_TEXT_LENGTH = 32767;

// Versions 110 and 120: the first slot holds the header, records follow.
constexpr int OLD_WORD_REC_SIZE = 60;
constexpr int OLD_WORD_TEXT_SIZE = 52;  // word and terminator
constexpr int OLD_WORD_LAST_USED_OFFSET = 52;
constexpr int OLD_WORD_USE_COUNT_OFFSET = 56;
constexpr int OLD_SH_REC_SIZE = 128;
constexpr int OLD_SH_EXPANSION_OFFSET = 20;
constexpr int OLD_SH_EXPANSION_SIZE = 100;  // expansion and terminator
constexpr int OLD_SH_LAST_USED_OFFSET = 120;
constexpr int OLD_SH_USE_COUNT_OFFSET = 124;

// --- Headers and version ---------------------------------------------------

// Writes the 120-byte word header "wordlib ver130" padded with zeros. The
// version argument is ignored: the header always names the current version.
// False when the bytes could not all be written.
bool WriteWordLibHeader(FILE *file, int version);
// Writes the 160-byte shorthand header "shlib ver130" padded with zeros.
bool WriteShLibHeader(FILE *file);
// Appends the header of the given kind to an in-memory record file.
void AppendLibHeader(std::vector<unsigned char> &out, bool shorthand);

// Version named by the first bytes of a record file (at most 16 are looked
// at): when the text begins with "wordlib" or "shlib", the number in its
// second blank-separated field after the three letters "ver" (0 when there is
// none or it is negative); else 100.
int ParseLibraryVersion(const unsigned char *data, size_t size);
// The same for a file on disk; LIB_VERSION_UNREADABLE when it can't be opened
// for reading (the caller refuses the library: a missing or locked user file
// must not end the program).
int GetLibraryVersion(const char *path);

// --- Record counts and names ----------------------------------------------

// Records in a record file of the given size: (size - header) / record size,
// truncated toward zero, trailing bytes ignored. Below 0 the library is
// damaged. Sizes too large for an int count give INT_MAX.
int GetLibRecordCount(long long fileSize, bool shorthand);
// Records in a version 110 or 120 file: size / slot size - 1 (-1 for a file
// shorter than its header slot).
int GetOldLibRecordCount(long long fileSize, bool shorthand);

// Path of the memo file: the record path with its last three characters
// replaced by "mem".
CString GetMemoPathFor(const char *recordPath);
// A shorthand library has the extension "slb" in any case; everything else is
// a word library.
bool IsShorthandLibPath(const char *path);
// Name of a library as shown to the user: file name without folder and
// extension.
CString GetLibNameFromPath(const char *path);

// --- Little-endian integers on byte buffers --------------------------------

void PutInt32LE(unsigned char *out, int32_t value);
int32_t GetInt32LE(const unsigned char *in);
void PutInt16LE(unsigned char *out, int16_t value);
int16_t GetInt16LE(const unsigned char *in);

// --- Disk records of the current format ------------------------------------

// Appends the 12-byte disk record: memo offset, last-used time, use count.
void AppendWordDiskRecord(std::vector<unsigned char> &out, const WRecord_X &record);
// Fills memo offset, time and count from the 12 bytes at data (the word comes
// from the memo file). False, and the record untouched, when size < 12.
bool DecodeWordDiskRecord(const unsigned char *data, size_t size, WRecord_X &record);

// Appends the 32-byte disk record: name (the bytes after its terminator
// zero; a name without terminator is cut to 19 characters), memo offset,
// time, count. The name is written as it is; lower-casing is the caller's.
void AppendShDiskRecord(std::vector<unsigned char> &out, const SHRecord_X &record);
// Fills name, memo offset, time and count from the 32 bytes at data. False,
// and the record untouched, when size < 32 or the name field has no
// terminator (the writer always puts one there, so such a record is damage).
bool DecodeShDiskRecord(const unsigned char *data, size_t size, SHRecord_X &record);

// --- Memo entries ----------------------------------------------------------

// Appends the entry int16 length, text bytes, NUL, and returns its offset
// (the memo size before the append). Refuses, returning -1 and appending
// nothing, a text longer than 32767 bytes or an offset that an int32 can't
// hold.
int AppendMemoEntry(std::vector<unsigned char> &memo, const CString &text);

enum MemoEntryResult {
    MEMO_TEXT = 0,       // the text was read (it ends at its first NUL)
    MEMO_NO_TEXT,        // the stored length is 0, or -1 (a dropped entry)
    MEMO_OUT_OF_BOUNDS,  // the offset or the text lies outside the memo
    MEMO_BAD_LENGTH,     // a length below -1, which no writer stores
};
// Reads the entry at offset of an in-memory memo file. Anything but MEMO_TEXT
// leaves text empty; nothing outside memo[0, size) is read.
MemoEntryResult DecodeMemoEntry(const unsigned char *memo, size_t size, long long offset, CString &text);

// --- Versions 110 and 120 --------------------------------------------------

// Position at record i: 60 + 60 i, or (i + 1) x 128. False when the seek fails
// or the position can't be reached.
bool SeekOldWordRecord(FILE *file, int index);
bool SeekOldShRecord(FILE *file, int index);

// Read record index (or, with index -1, the next record) into buffer, which
// holds 60 or 128 bytes. Returns the result of ReadOldRecordBytes.
int ReadOldWordRecord(FILE *file, unsigned char *buffer, int index, bool transform);
int ReadOldShRecord(FILE *file, unsigned char *buffer, int index, bool transform);

// Reads n bytes at the current position; 1 when all were read, else 0 and a
// zeroed buffer. With transform (version 110) each byte at absolute offset p
// becomes (p * p - byte) mod 256.
int ReadOldRecordBytes(unsigned char *buffer, int n, FILE *file, bool transform);

// Take apart an old record (the bytes already untransformed): word or name
// and expansion, time and count. Texts without terminator are cut to their
// field's size less one. False, and the record untouched, when size is below
// the record size. Other fields are left as they are.
bool DecodeOldWordRecord(const unsigned char *data, size_t size, WRecord_X &record);
bool DecodeOldShRecord(const unsigned char *data, size_t size, SHRecord_X &record);
