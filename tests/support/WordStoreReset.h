// Empties the word cache and every word library slot, so that each engine
// test starts from no words at all.
#pragma once

#include "LibrarySet.h"
#include "WordCache.h"

inline void ClearWordStore()
{
    for (WRecord_X &record : g_WordCache)
        record = WRecord_X();
    g_nCacheCount = 0;
    g_nCacheSeq = 0;
    for (CLibFile &library : g_WordLibs) {
        library.m_WordTable.clear();
        library.m_ShTable.clear();
        for (auto &bucket : library.m_WordBuckets)
            bucket.clear();
        library.m_bDirty = FALSE;
        library.SetPath("");
    }
    g_nWordLibCount = 0;
    g_pUserLib = nullptr;
}
