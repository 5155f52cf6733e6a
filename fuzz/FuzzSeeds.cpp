// Writes the seed inputs of the fuzz targets: small libraries of both kinds
// written by the library class itself (empty, a few records, texts of odd
// bytes and of the longest length), packed as the load target reads them,
// and a few old-format files for the conversion target.
//
// usage: fuzz_seeds FOLDER   (makes FOLDER/<target>/ for each target)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "LibFile.h"
#include "LibFormats.h"

using namespace fuzz;
namespace fs = std::filesystem;

namespace {
WRecord_X Word(const char *text, int count, int time)
{
    WRecord_X record;
    record.word = text;
    record.useCount = count;
    record.lastUsed = time;
    return record;
}

SHRecord_X Shorthand(const char *name, const char *expansion, int count)
{
    SHRecord_X record;
    std::snprintf(record.name, sizeof record.name, "%s", name);
    record.expansion = expansion;
    record.useCount = count;
    return record;
}

// The files of a library written through the library class, as one input.
template <class Record>
std::string Written(const char *file, std::vector<Record> CLibFile::*table, const std::vector<Record> &records,
                    int flags)
{
    Scratch &scratch = Scratch::Get();
    scratch.Clear();
    const std::string path = scratch.Path(file);
    CLibFile library(path.c_str());
    library.*table = records;
    library.m_bDirty = TRUE;
    if (!library.WriteAllRecordsIntoLib(TRUE)) {
        std::fprintf(stderr, "fuzz_seeds: can't write %s\n", path.c_str());
        std::exit(1);
    }
    LibraryInput input;
    input.flags = flags;
    input.records = ReadBytes(path);
    input.memo = ReadBytes(library.GetMemoPath().GetString());
    return PackLibraryInput(input);
}

void Put(const fs::path &folder, const std::string &name, const std::string &bytes)
{
    fs::create_directories(folder);
    WriteBytes((folder / name).string(), bytes);
}

std::string OldWordSlot(const std::string &word, int time, int count)
{
    std::string slot(OLD_WORD_REC_SIZE, '\0');
    slot.replace(0, word.size(), word);
    PutInt32LE(reinterpret_cast<unsigned char *>(&slot[OLD_WORD_LAST_USED_OFFSET]), time);
    PutInt32LE(reinterpret_cast<unsigned char *>(&slot[OLD_WORD_USE_COUNT_OFFSET]), count);
    return slot;
}

std::string OldShSlot(const std::string &name, const std::string &expansion, int time, int count)
{
    std::string slot(OLD_SH_REC_SIZE, '\0');
    slot.replace(0, name.size(), name);
    slot.replace(OLD_SH_EXPANSION_OFFSET, expansion.size(), expansion);
    PutInt32LE(reinterpret_cast<unsigned char *>(&slot[OLD_SH_LAST_USED_OFFSET]), time);
    PutInt32LE(reinterpret_cast<unsigned char *>(&slot[OLD_SH_USE_COUNT_OFFSET]), count);
    return slot;
}

// Version 110 stores each byte at file offset p as (p * p - byte) mod 256;
// the slots here follow a header slot of the given size.
std::string Transformed(std::string slots, size_t headerSize)
{
    for (size_t k = 0; k < slots.size(); ++k) {
        const unsigned p = static_cast<unsigned>(headerSize + k);
        slots[k] = static_cast<char>((p * p - static_cast<unsigned char>(slots[k])) & 0xFFu);
    }
    return slots;
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    const std::vector<WRecord_X> words = {Word("apple", 3, 1700000000), Word("Apple pie", 1, 0),
                                          Word("caf\xe9", 2, 5), Word("zebra", 0, -1)};
    const std::vector<SHRecord_X> shorthands = {Shorthand("btw", "by the way", 4), Shorthand("sig", "Regards,\r\nAnn", 1),
                                                Shorthand("ty", "", 0)};
    const std::string longest(MAX_MEMO_TEXT_LENGTH, 'L');

    const fs::path load = root / "fuzz_lib_load";
    Put(load, "words", Written("s.lib", &CLibFile::m_WordTable, words, 0));
    Put(load, "words-create", Written("s.lib", &CLibFile::m_WordTable, words, INPUT_CREATE));
    Put(load, "words-empty", Written("s.lib", &CLibFile::m_WordTable, std::vector<WRecord_X>{}, INPUT_NO_MEMO));
    Put(load, "words-longest", Written("s.lib", &CLibFile::m_WordTable, {Word(longest.c_str(), 1, 1)}, 0));
    Put(load, "shorthands", Written("s.slb", &CLibFile::m_ShTable, shorthands, INPUT_SHORTHAND));
    Put(load, "shorthands-empty",
        Written("s.slb", &CLibFile::m_ShTable, std::vector<SHRecord_X>{}, INPUT_SHORTHAND | INPUT_CREATE));

    // The conversion target's input: flags, then the slots after the header.
    const fs::path old = root / "fuzz_old_convert";
    const std::string oldWords = OldWordSlot("zebra", 100, 3) + OldWordSlot("apple", 200, 7) + OldWordSlot("", 0, 0);
    const std::string oldShorthands = OldShSlot("BTW", "by the way", 1700000000, 4) + OldShSlot("x", "one letter", 0, 1) +
                                      OldShSlot("sig", "Regards,\r\nAnn", 0, 1);
    Put(old, "words-120", std::string(1, '\0') + oldWords);
    Put(old, "words-110", std::string(1, OLD_TRANSFORMED) + Transformed(oldWords, OLD_WORD_REC_SIZE));
    Put(old, "shorthands-120", std::string(1, OLD_SHORTHAND) + oldShorthands);
    Put(old, "shorthands-110",
        std::string(1, OLD_SHORTHAND | OLD_TRANSFORMED) + Transformed(oldShorthands, OLD_SH_REC_SIZE));

    // The in-memory readers take a record file and its memo back to back.
    const fs::path records = root / "fuzz_records_memo";
    for (const auto &entry : fs::directory_iterator(load)) {
        LibraryInput input;
        const std::string packed = ReadBytes(entry.path().string());
        UnpackLibraryInput(reinterpret_cast<const unsigned char *>(packed.data()), packed.size(), input);
        Put(records, entry.path().filename().string(), input.records + input.memo);
    }
    return 0;
}
