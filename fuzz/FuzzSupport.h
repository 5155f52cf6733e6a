// Shared by the fuzz targets and the seed writer: the layout of a fuzz input
// that stands for a library's files, a scratch folder for those files, and a
// check that stops the run (libFuzzer then keeps the input) when a property
// of the readers does not hold.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "UserMessage.h"

namespace fuzz {

// A failed property is a finding, like a crash.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// Input of the load target: one flag byte (1 shorthand library, 2 it may be
// created, 4 no memo file), the record file's length as two bytes
// little-endian, the record file, then the memo file.
enum { INPUT_SHORTHAND = 1, INPUT_CREATE = 2, INPUT_NO_MEMO = 4 };

struct LibraryInput {
    int flags = 0;
    std::string records;
    std::string memo;
};

inline bool UnpackLibraryInput(const unsigned char *data, size_t size, LibraryInput &input)
{
    if (size < 3)
        return false;
    input.flags = data[0];
    size_t length = static_cast<size_t>(data[1]) | (static_cast<size_t>(data[2]) << 8);
    const char *rest = reinterpret_cast<const char *>(data + 3);
    const size_t restSize = size - 3;
    if (length > restSize)
        length = restSize;
    input.records.assign(rest, length);
    input.memo.assign(rest + length, restSize - length);
    return true;
}

inline std::string PackLibraryInput(const LibraryInput &input)
{
    const size_t length = input.records.size() > 0xFFFF ? 0xFFFF : input.records.size();
    std::string out;
    out += static_cast<char>(input.flags);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += input.records.substr(0, length);
    out += input.memo;
    return out;
}

// Input of the conversion target: one flag byte (1 shorthand library, 2 the
// transformed version 110, else 120), then the file after its header slot.
enum { OLD_SHORTHAND = 1, OLD_TRANSFORMED = 2 };

inline std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// One folder per process for the library files of one input, in memory where
// the system has a memory file system; emptied before each input and removed
// at exit. Messages to the user are counted, not shown.
class Scratch {
public:
    static Scratch &Get()
    {
        static Scratch scratch;
        return scratch;
    }

    std::string Path(const char *name) const { return (m_folder / name).string(); }

    void Clear()
    {
        std::error_code ignored;
        for (const auto &entry : std::filesystem::directory_iterator(m_folder, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
        s_messages = 0;
    }

    static int Messages() { return s_messages; }

private:
    Scratch()
    {
        std::error_code ignored;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ignored) ? std::filesystem::path("/dev/shm")
                                                               : std::filesystem::temp_directory_path();
        // libFuzzer may end a run without the exit handlers: the folders of
        // runs whose process is gone are removed here instead.
        for (const auto &entry : std::filesystem::directory_iterator(base, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("lexanto-fuzz-", 0) != 0)
                continue;
            const long pid = std::strtol(name.c_str() + 13, nullptr, 10);
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                std::filesystem::remove_all(entry.path(), ignored);
        }
        m_folder = base / ("lexanto-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        // Nothing the readers look up may lie outside this folder.
        setenv("LEXANTO_APPDATA", m_folder.string().c_str(), 1);
        SetMessageSink(&Scratch::Count);
        std::atexit(&Scratch::Remove);
    }

    static void Count(const char *) { ++s_messages; }
    static void Remove()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Get().m_folder, ignored);
    }

    std::filesystem::path m_folder;
    static inline int s_messages = 0;
};

}  // namespace fuzz
