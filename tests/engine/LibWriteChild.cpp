// Loads a word library, adds the words of a text file (one a line) and writes
// it back. The crash-safety test runs it with LEXANTO_KILL_AFTER_IO_STEPS set
// so that it dies at a chosen point of the write-back; the damage tests run a
// copy of it from a program folder of their own. Messages go to standard
// output, one "message: " line each, where no one would answer a box.
#include <cstdio>
#include <fstream>
#include <string>

#include "LibFile.h"
#include "UserMessage.h"

namespace {
void PrintMessage(const char *text)
{
    std::printf("message: %s\n", text);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: libwrite_child LIBRARY WORDS\n");
        return 2;
    }
    SetMessageSink(PrintMessage);
    CLibFile library(argv[1]);
    if (!library.ReadAllRecordsFromLib(FALSE))
        return 3;
    std::ifstream words(argv[2], std::ios::binary);
    std::string line;
    while (std::getline(words, line)) {
        WRecord_X record;
        record.word = line.c_str();
        record.useCount = 1;
        library.AddWord(record);
    }
    return library.CloseLib() ? 0 : 4;
}
