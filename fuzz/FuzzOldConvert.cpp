// Opens a library of the old versions 110 (bytes transformed) or 120 made
// from the input, which runs the production conversion (old record reads,
// the transform, the old record decoders, the sort and the write-back) and
// then loads the converted library.
//
// Properties: the conversion never refuses a readable file for its content;
// the old file is kept whole as ".old"; the converted library holds only
// records the writer accepts, in strictly ascending order.
#include <cstring>
#include <string>

#include "CharClasses.h"
#include "FuzzSupport.h"
#include "LibFile.h"
#include "LibFormats.h"

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool shorthand = data[0] & OLD_SHORTHAND;
    const int version = (data[0] & OLD_TRANSFORMED) ? LIB_VERSION_OLD_TRANSFORMED : LIB_VERSION_OLD_PLAIN;
    Scratch &scratch = Scratch::Get();
    scratch.Clear();

    // The header slot is plain text in both versions.
    std::string file(shorthand ? OLD_SH_REC_SIZE : OLD_WORD_REC_SIZE, '\0');
    const std::string header = (shorthand ? "shlib ver" : "wordlib ver") + std::to_string(version);
    file.replace(0, header.size(), header);
    file.append(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::string path = scratch.Path(shorthand ? "old.slb" : "old.lib");
    WriteBytes(path, file);

    CLibFile library(path.c_str());
    FUZZ_CHECK(library.ReadAllRecordsFromLib(FALSE));
    FUZZ_CHECK(Scratch::Messages() == 0);
    FUZZ_CHECK(ReadBytes(path + ".old") == file);
    const int slots = GetOldLibRecordCount(static_cast<long long>(file.size()), shorthand);
    FUZZ_CHECK(library.GetRecordCount() <= (slots > 0 ? slots : 0));
    for (int i = 0; i < library.GetRecordCount(); ++i) {
        if (shorthand) {
            const SHRecord_X &record = library.m_ShTable[static_cast<size_t>(i)];
            FUZZ_CHECK(std::strlen(record.name) >= 2 && IsCompleteShRecord(record));
            for (const char *c = record.name; *c; ++c)
                FUZZ_CHECK(*c == AsciiToLower(*c));
        } else {
            FUZZ_CHECK(!library.m_WordTable[static_cast<size_t>(i)].word.IsEmpty());
        }
        if (i > 0 && !shorthand)
            FUZZ_CHECK(CompareWords(library.GetKeyAt(i - 1), library.GetKeyAt(i), TRUE) < 0);
        if (i > 0 && shorthand)
            FUZZ_CHECK(CompareWords(library.GetKeyAt(i - 1), library.GetKeyAt(i), TRUE) <= 0);
    }
    return 0;
}
