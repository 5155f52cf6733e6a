#include <atomic>
#include <cstdlib>

#include "FileSystem.h"

namespace {
long long KillStep()
{
    static const long long step = [] {
        const char *text = std::getenv("LEXANTO_KILL_AFTER_IO_STEPS");
        return text && *text ? std::atoll(text) : -1LL;
    }();
    return step;
}
std::atomic<long long> g_steps{0};
}  // namespace

void FsIoStep()
{
    const long long kill = KillStep();
    if (kill >= 0 && ++g_steps >= kill)
        std::_Exit(86);
}

bool FsWriteAll(FILE *file, const void *data, size_t size)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    const size_t chunk = 4096;
    while (size > 0) {
        FsIoStep();
        const size_t part = size < chunk ? size : chunk;
        if (std::fwrite(bytes, 1, part, file) != part)
            return false;
        bytes += part;
        size -= part;
    }
    return true;
}
