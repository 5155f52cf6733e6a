// Library records for engine tests.
#pragma once

#include <cstdio>

#include "LibRecords.h"

inline WRecord_X Word(const char *text, int count = 1, int time = 0)
{
    WRecord_X record;
    record.word = text;
    record.useCount = count;
    record.lastUsed = time;
    return record;
}

inline SHRecord_X Shorthand(const char *name, const char *expansion, int count = 1)
{
    SHRecord_X record;
    std::snprintf(record.name, sizeof record.name, "%s", name);
    record.expansion = expansion;
    record.useCount = count;
    return record;
}
