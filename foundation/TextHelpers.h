// Small text routines: character classes, fields and words, prefix tests,
// trimming, number formatting, escaping, percent-encoding, tokenising and
// the address tests that decide how a target is opened. All work on 8-bit
// strings, keep no state and allocate only their results.
#pragma once

#include "CString.h"
#include "StringArray.h"

// Character classes; each takes the low byte of its argument.
bool IsIdentChar(int c);
bool IsDigitChar(int c);
bool IsSpaceChar(int c);
bool IsSeparatorChar(int c, int sep);  // sep 0 means white space
bool IsHexDigit(int c);
int HexDigitValue(int c);
bool IsAsciiLetter(int c);
bool IsClosingPunct(int c);
// Spaces that follow punctuation ch typed after prev: 0, 1 or 2. A comma or
// full stop after a digit is a separator and gets none.
int PunctuationSpaces(char prev, char ch, bool spaceAfterPunct, bool doubleSpace);

// Fields and words.
int CountFields(const char *text, int sep);
CString GetNthField(const char *text, int n, int sep);
int GetWordStart(const char *text, int n);

// Prefix, trimming, numbers, formatting.
bool StartsWith(const char *text, const char *prefix, bool caseSensitive);
CString TrimmedCopy(const char *text);
void TrimInPlace(char *buffer);
CString IntToString(int value, int radix);
CString FormatStr(const char *format, ...) LX_PRINTF_FORMAT(1, 2);

// Escaping.
CString EscapeControlChars(const char *text, bool escape);
CString UrlEncode(const char *text);
CString UrlDecode(const char *text, bool keepPlus);

// Tokenising. Flags of SplitTokens:
enum {
    SPLIT_QUOTES = 1,       // honour ', " and ` quotes
    SPLIT_WHITESPACE = 2,   // white space also separates
    SPLIT_KEEP_EMPTY = 4,   // adjacent delimiters give empty tokens
};
int SplitTokens(const char *text, CStringArray &tokens, int flags, const char *delimiters);
// cmd holds a command line; on return it holds the program, and the result is
// the arguments.
CString SplitCommandLine(CString &cmd);

// Address tests.
bool AllCharsAllowed(const char *text, const char *extra);
bool IsTopLevelDomain(const char *text);
bool IsDomainPart(const char *text);
bool IsEmailAddress(const char *text);
bool IsDomainName(const char *text);
