// Builds libraries from plain lists at build time: a word library from a word
// list and a shorthand library from a list of shorthand and expansion pairs.
// The files are written by CLibFile, the same writer the program uses.
#pragma once

#include <string>

// Converts UTF-8 text to the program's 8-bit ANSI text (Windows-1252). False
// for invalid UTF-8 or a character that code page does not have.
bool Utf8ToAnsi(const std::string &utf8, std::string &ansi);

struct LibGenReport {
    int written = 0;  // records in the library
    int skipped = 0;  // lines that are no entry of the library
    std::string error;  // why nothing was written
};

// Word list: UTF-8, one entry per line. An entry is kept when it is one word
// as the program follows it while typing (every character a word character
// under the default word rules), and once when the list repeats it. Words get
// the use count 1 and no last-used time. False when the list can't be read
// or the library can't be written.
bool WriteWordLibraryFromList(const char *listPath, const char *libPath, LibGenReport &report);

// Shorthand list: UTF-8, one "shorthand<Tab>expansion" per line; blank lines
// and lines starting with '#' are ignored. The shorthand must have 2 to 19
// characters without white space. A malformed line fails the whole list,
// naming the line: this list is curated data, not something to guess at.
bool WriteShorthandLibraryFromList(const char *listPath, const char *libPath, LibGenReport &report);
