#include "FatalError.h"

#include <cstdio>
#include <cstdlib>

void FatalError(const char *text)
{
    std::fprintf(stderr, "Fatal Error: %s\n", text ? text : "");
    std::fflush(stderr);
    std::_Exit(-1);
}
