// The character classes shared by the engine and the text tools (word
// characters, delimiters, printable characters, phrases) and the small text
// routines built on them: the word order of libraries and the word cache,
// prefix and case tests, case normalisation, capitalisation, line sorting,
// text statistics and a few path tests.
//
// Character tests take one byte: an int argument is reduced to its low byte,
// so a negative char classifies like its unsigned value. Letter and case
// tests know only the ASCII letters; white space is the bytes 9-13 and 32.
#pragma once

#include "CString.h"
#include "wintypes.h"

// Character classes. Word characters also include the characters listed in
// the shared NonDelimiter setting; "concatenators" are the characters of the
// WordConcatenators setting, which join words into a phrase.
BOOL IsLatin1Letter(int c);  // 0xC0-0xFF except 0xD7 and 0xF7
BOOL IsWordChar(int c, BOOL latin1);
BOOL IsPrintableChar(int c, BOOL latin1);
BOOL IsDelimiterChar(int c);
BOOL IsIdentCharEx(int c, BOOL latin1);
BOOL IsAddressChar(int c);
BOOL IsWordOrConcatChar(int c);

// Text tests.
BOOL IsPrintableText(const CString &text, BOOL latin1);
BOOL IsNumberText(const CString &text);
BOOL IsLetterWord(const char *text);
BOOL EndsWithDelimiter(const char *text);  // FALSE for an empty text
// TRUE when the text is a phrase: it holds a non-word character and is
// neither an e-mail address nor a host name.
BOOL HasNonWordChar(const CString &text);
int CountWords(const char *text);
BOOL IsUpperCaseText(const char *text);
BOOL IsLowerCaseText(const char *text);
BOOL IsCapitalizedWord(const CString &word);  // an inner capital: McDonald, iPod
BOOL IsBlankText(const CString &text);

// Comparisons.
// The order of every library, the word cache and the candidate lists: ASCII
// letters folded to lower case (so '_' sorts before the letters); with exact
// set, words equal but for case are ordered by their unsigned bytes.
// Returns -1, 0 or 1.
int CompareWords(const char *a, const char *b, BOOL exact);
// 0: prefix is not a prefix of word; 1: word is longer and begins with it;
// 2: same length and equal. ASCII letters match in either case.
int CheckPrefixMatch(const char *word, const char *prefix);
// 2: byte-identical; 1: equal ignoring case (ANSI code page); 0: different.
int GetMatchLevel(const CString &a, const CString &b);
int FloatSign(float x);  // 0 within +-0.0001
int IntSign(int x);

// Transforms.
char ToUpperAscii(char c);
// Lower-cases Hello and HELLO; leaves iPod, McDonald and hELLO alone.
void NormalizeWordCase(CString &word);
void CapitalizeWords(char *text);
void CapitalizeSentences(char *text);

// Options of SortLines.
enum {
    SORTLINES_IGNORE_CASE = 1,
    SORTLINES_DESCENDING = 2,
    SORTLINES_SKIP_LEADING_SPACE = 4,
};
// Sorts the lines of the text in place. Each line break (CR LF or LF) stays
// where it was, so the text keeps its length and a final line break stays at
// the end; lines are compared without their CR.
void SortLines(char *text, int options);

struct TextStats {
    int words;          // runs of non-white-space characters
    int lines;          // line feeds + 1
    int nonSpaceChars;
    int chars;
};
void CountTextStats(const char *text, TextStats &stats);

// Appends c to a word buffer of WORD_BUFFER_SIZE bytes; when it already holds
// WORD_BUFFER_SIZE - 1 characters the oldest one is dropped first.
enum { WORD_BUFFER_SIZE = 259 };
void AppendWordChar(char *buffer, char c);

// Paths.
BOOL IsFullPath(const CString &path);  // drive letter or \\server
CString ChangeExtension(const CString &path, const CString &ext);
