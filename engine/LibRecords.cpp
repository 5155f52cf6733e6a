#include "LibRecords.h"

#include "LibFormats.h"

namespace {
constexpr int kWordSizes[WREC_FIELD_COUNT] = {4, 4, 4};
constexpr int kShSizes[SHREC_FIELD_COUNT] = {SH_NAME_SIZE, 4, 4, 4};
constexpr int kWordOffsets[WREC_FIELD_COUNT] = {0, 4, 8};
constexpr int kShOffsets[SHREC_FIELD_COUNT] = {0, 20, 24, 28};

// Each offset is the sum of the widths before it, and the widths fill the
// record exactly, so field access and whole-record access see the same bytes.
template <int N>
constexpr bool FieldsTile(const int (&sizes)[N], const int (&offsets)[N], int recordSize)
{
    int at = 0;
    for (int i = 0; i < N; ++i) {
        if (offsets[i] != at)
            return false;
        at += sizes[i];
    }
    return at == recordSize;
}
static_assert(FieldsTile(kWordSizes, kWordOffsets, WORD_REC_SIZE), "word record fields");
static_assert(FieldsTile(kShSizes, kShOffsets, SH_REC_SIZE), "shorthand record fields");

bool IsBlank(CString text)
{
    return text.Trim().IsEmpty();
}
}  // namespace

const int g_WordRecFieldSizes[WREC_FIELD_COUNT] = {kWordSizes[0], kWordSizes[1], kWordSizes[2]};
const int g_ShRecFieldSizes[SHREC_FIELD_COUNT] = {kShSizes[0], kShSizes[1], kShSizes[2], kShSizes[3]};
const int g_WordRecFieldOffsets[WREC_FIELD_COUNT] = {kWordOffsets[0], kWordOffsets[1], kWordOffsets[2]};
const int g_ShRecFieldOffsets[SHREC_FIELD_COUNT] = {kShOffsets[0], kShOffsets[1], kShOffsets[2], kShOffsets[3]};

bool IsCompleteShRecord(const SHRecord_X &record)
{
    // The name field may lack its terminator in a damaged record.
    int length = 0;
    while (length < SH_NAME_SIZE && record.name[length])
        ++length;
    return !IsBlank(record.expansion) && !IsBlank(CString(record.name, length));
}
