#include "UserMessage.h"

#include <cstdio>

void PlatformShowMessage(const char *text)
{
    std::fprintf(stderr, "%s\n", text);
}
