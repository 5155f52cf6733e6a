#include "UserMessage.h"

#include <cstdio>

void PlatformShowMessage(const char *text)
{
    std::fprintf(stderr, "%s\n", text);
}

// No one can answer on the host build: the question is shown and refused.
bool PlatformAskOkCancel(const char *text)
{
    std::fprintf(stderr, "%s\n", text);
    return false;
}
