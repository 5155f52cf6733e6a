// Proposed shorthand names for phrases and words, by the initials of the
// words or by the generation rules of the settings.
#pragma once

#include "CString.h"

// Longest proposed name.
enum { MAX_GENERATED_SHORTHAND = 19 };

// A proposed shorthand name for the phrase: lower-case, at most
// MAX_GENERATED_SHORTHAND characters, possibly empty. Only letters, digits,
// Latin-1 letters and the apostrophe make up words here, whatever the
// "NonDelimiter" setting holds (and the setting is left alone).
//
// Rules ("AutoGenRule" for phrases, "WordRule" for single words when
// "AbbrWord" is set) are fields separated by ';', each taking the next word
// or, written "w:...", word w (negative: from the end). A field's parts,
// separated by ',', append: "a" character a, "a~b" characters a to b, each
// counted from the end when written with a leading '-'; "'text" the text;
// "csn" or "csn(n)" the first character and (up to n of) the consonants.
CString GenerateShorthand(const CString &phrase);

// Word n (0-based) of the text, a word being a run of word characters
// (Latin-1 letters included); empty when the text has fewer.
CString GetWordAt(const CString &text, int n);

// The first character of the word and then its consonants (letters other
// than a, e, i, o, u), at most limit of them (a negative limit: all),
// lower-cased.
CString DropVowels(const CString &word, int limit);
