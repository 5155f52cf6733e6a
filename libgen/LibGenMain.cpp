// lexanto-libgen: writes the built-in libraries at build time.
//   lexanto-libgen words <word list> <library.lib>
//   lexanto-libgen shorthands <shorthand list> <library.slb>
#include <cstdio>
#include <cstring>

#include "LibGen.h"
#include "UserMessage.h"

namespace {
void ToStderr(const char *text) { std::fprintf(stderr, "lexanto-libgen: %s\n", text); }
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "words") != 0 && std::strcmp(argv[1], "shorthands") != 0)) {
        std::fprintf(stderr,
                     "usage: lexanto-libgen words <word list> <library.lib>\n"
                     "       lexanto-libgen shorthands <shorthand list> <library.slb>\n");
        return 2;
    }
    SetMessageSink(&ToStderr);  // the library writer's own messages
    LibGenReport report;
    const bool words = std::strcmp(argv[1], "words") == 0;
    const bool ok = words ? WriteWordLibraryFromList(argv[2], argv[3], report)
                          : WriteShorthandLibraryFromList(argv[2], argv[3], report);
    if (!ok) {
        ToStderr(report.error.c_str());
        return 1;
    }
    std::printf("%s: %d %s, %d lines left out\n", argv[3], report.written, words ? "words" : "shorthands",
                report.skipped);
    return 0;
}
