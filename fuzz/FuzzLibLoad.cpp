// Loads a record file and a memo file made from the input through the
// library class's own load (header and version, record count, record and
// memo decoding, the damage handling), then writes what loaded back and
// loads it again.
//
// Properties: nothing the input held is lost (its record file stays in
// place, or lies beside it as ".bad", or as ".old" after a conversion); a
// library that loaded writes back into one that loads again, silently, with
// the same records.
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "LibFile.h"
#include "LibFormats.h"

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    LibraryInput input;
    if (!UnpackLibraryInput(data, size, input))
        return 0;
    Scratch &scratch = Scratch::Get();
    scratch.Clear();
    const bool shorthand = input.flags & INPUT_SHORTHAND;
    const std::string path = scratch.Path(shorthand ? "f.slb" : "f.lib");
    WriteBytes(path, input.records);
    if (!(input.flags & INPUT_NO_MEMO))
        WriteBytes(scratch.Path("f.mem"), input.memo);

    CLibFile library(path.c_str());
    const bool loaded = library.ReadAllRecordsFromLib((input.flags & INPUT_CREATE) ? TRUE : FALSE);
    FUZZ_CHECK(library.m_pRecFile == nullptr && library.m_pMemoFile == nullptr);
    FUZZ_CHECK(ReadBytes(path) == input.records || ReadBytes(path + ".bad") == input.records ||
               ReadBytes(path + ".old") == input.records);
    if (!loaded) {
        FUZZ_CHECK(library.GetRecordCount() == 0);
        return 0;
    }

    // What the writer keeps of the loaded table: non-empty words, names of
    // two characters or more.
    int kept = 0;
    if (shorthand) {
        for (const SHRecord_X &record : library.m_ShTable)
            kept += std::strlen(record.name) >= 2;
    } else {
        for (const WRecord_X &record : library.m_WordTable)
            kept += !record.word.IsEmpty();
    }
    library.m_bDirty = TRUE;
    FUZZ_CHECK(library.WriteAllRecordsIntoLib(TRUE));
    const int messages = Scratch::Messages();
    CLibFile again(path.c_str());
    FUZZ_CHECK(again.ReadAllRecordsFromLib(FALSE));
    FUZZ_CHECK(Scratch::Messages() == messages);
    FUZZ_CHECK(again.GetRecordCount() == kept);
    return 0;
}
