// The two record types that the whole engine passes around (libraries, word
// cache, candidate lists), and the field tables of their disk records.
#pragma once

#include "CString.h"

// Bytes of a shorthand name field: at most 19 characters and the terminator.
constexpr int SH_NAME_SIZE = 20;

// One word or phrase of a word library.
struct WRecord_X {
    CString word;        // as typed, case kept
    int useSeq = 0;      // running use counter at the last use; word cache only, never stored
    int memoOffset = 0;  // offset of the word in the memo file, valid right after a read or write
    int lastUsed = 0;    // seconds since 1970-01-01 00:00 UTC, low 32 bits
    int useCount = 0;
};

// One shorthand of a shorthand library. The last four fields are the fields
// of the 32-byte disk record, in the same order.
struct SHRecord_X {
    CString expansion;            // the text that replaces the shorthand
    char name[SH_NAME_SIZE] = {};  // NUL-terminated; lower-case in a library file
    int memoOffset = 0;
    int lastUsed = 0;
    int useCount = 0;
};

// Field numbers of the disk records, indexes into the tables below.
enum {
    WREC_FIELD_MEMO_OFFSET = 0,
    WREC_FIELD_LAST_USED,
    WREC_FIELD_USE_COUNT,
    WREC_FIELD_COUNT
};
enum {
    SHREC_FIELD_NAME = 0,
    SHREC_FIELD_MEMO_OFFSET,
    SHREC_FIELD_LAST_USED,
    SHREC_FIELD_USE_COUNT,
    SHREC_FIELD_COUNT
};

// Widths of the disk-record fields in bytes, and their offsets in the record.
extern const int g_WordRecFieldSizes[WREC_FIELD_COUNT];
extern const int g_ShRecFieldSizes[SHREC_FIELD_COUNT];
extern const int g_WordRecFieldOffsets[WREC_FIELD_COUNT];
extern const int g_ShRecFieldOffsets[SHREC_FIELD_COUNT];

// True when neither the expansion nor the name is blank (empty once white
// space is trimmed).
bool IsCompleteShRecord(const SHRecord_X &record);
