// Taking the prompt-latency benchmark's timestamps (see SharedSection.h).
// Each call costs one shared read while the benchmark's probe is not running.
#pragma once

#include <windows.h>

#include "SharedSection.h"

inline void StampLatency(LatencyStamp which)
{
    if (!g_bLatencyProbe)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_qpcLatency[which] = now.QuadPart;
}
