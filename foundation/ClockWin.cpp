#include <windows.h>

#include "Clock.h"

int64_t CurrentUnixTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    // 100-nanosecond ticks since 1601 to seconds since 1970.
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}
