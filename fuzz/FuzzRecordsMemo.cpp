// The in-memory readers, fast: the version header, word and shorthand disk
// records and memo entries, each on bytes of the input.
//
// Properties (besides no read outside the input): a memo text comes back
// through the memo writer unchanged; a decoded shorthand record comes back
// through the record writer unchanged; a refused decode leaves the record as
// it was.
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "LibFormats.h"

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    // Only a text that begins with one of the two header words names a version.
    const std::vector<unsigned char> head(data, data + size);
    const int version = ParseLibraryVersion(head.data(), head.size());
    const bool named = (size >= 7 && std::memcmp(data, "wordlib", 7) == 0) || (size >= 5 && std::memcmp(data, "shlib", 5) == 0);
    FUZZ_CHECK(named || version == LIB_VERSION_NONE);

    // Every record-sized window is a record; its memo offset is looked up in
    // the whole input as a memo file. Exact-size copies let the address
    // sanitizer see any read past the window.
    const size_t step = size > 64 ? size / 64 : 1;
    for (size_t at = 0; at < size; at += step) {
        const size_t left = size - at;
        std::vector<unsigned char> window(data + at, data + at + (left < SH_REC_SIZE ? left : SH_REC_SIZE));

        WRecord_X word;
        word.word = "before";
        if (DecodeWordDiskRecord(window.data(), window.size() < WORD_REC_SIZE ? window.size() : WORD_REC_SIZE, word)) {
            CString text;
            const MemoEntryResult result = DecodeMemoEntry(data, size, word.memoOffset, text);
            if (result == MEMO_TEXT) {
                FUZZ_CHECK(text.GetLength() <= MAX_MEMO_TEXT_LENGTH);
                std::vector<unsigned char> memo;
                FUZZ_CHECK(AppendMemoEntry(memo, text) == 0);
                CString back;
                FUZZ_CHECK(DecodeMemoEntry(memo.data(), memo.size(), 0, back) ==
                           (text.IsEmpty() ? MEMO_NO_TEXT : MEMO_TEXT));
                FUZZ_CHECK(back == text);
            } else {
                FUZZ_CHECK(text.IsEmpty());
            }
        } else {
            FUZZ_CHECK(window.size() < WORD_REC_SIZE && word.word == "before");
        }

        SHRecord_X sh;
        std::strcpy(sh.name, "before");
        if (DecodeShDiskRecord(window.data(), window.size(), sh)) {
            std::vector<unsigned char> bytes;
            AppendShDiskRecord(bytes, sh);
            SHRecord_X back;
            FUZZ_CHECK(DecodeShDiskRecord(bytes.data(), bytes.size(), back));
            FUZZ_CHECK(std::strcmp(back.name, sh.name) == 0 && back.memoOffset == sh.memoOffset &&
                       back.lastUsed == sh.lastUsed && back.useCount == sh.useCount);
        } else {
            FUZZ_CHECK(std::strcmp(sh.name, "before") == 0);
        }
    }
    return 0;
}
