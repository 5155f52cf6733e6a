// Learning: words and phrases enter the word store from typed text, accepted
// completions, whole texts and text files. A known word has its use count
// raised where it lives (the word cache or a word library); a new one goes
// into the word cache. All of it runs on the main thread.
#pragma once

#include "CString.h"
#include "wintypes.h"

// Longest word or phrase that is learnt.
enum { MAX_LEARNED_LENGTH = 257 };

// Results of LearnWord.
enum {
    LEARN_NEW = -1,      // added to the word cache
    LEARN_REFUSED = -2,  // too short, too long, empty, or holding a password
    // 0: known in the word cache; n >= 1: known in word library n - 1
};

// Learns one word or phrase. A known one gains exactly 1 (newCount is the
// count of a new one); its last-used time becomes now when stampTime is set,
// else 0. outCount (may be NULL) receives the count afterwards.
int LearnWord(const CString &word, BOOL stampTime, int newCount, int *outCount, BOOL noLengthCheck);

// Learns the phrases of 2 to "MaxWordInPhrase" words that end the text,
// cycle by cycle towards its start. 0 when phrase learning is off, else 1.
int LearnPhrases(const CString &text);

// Learns every word of the text with the retrieving thread paused (no
// phrases); new words get the count "g_nMinWordAddCount" and no time.
// Returns how many words were new.
int LearnText(const CString &text);

// The character ch has just ended a word after text (the text before the
// caret): learns the phrases that end there, an address that ends there, and
// the last word. A call made while another runs returns at once.
void LearnTypedText(const CString &text, char ch);

// Learns the words and addresses of a file, every byte of it, as if typed,
// without phrases. 0, or -1 after a message when it can't be opened.
int LearnFromFile(const CString &path);

// Number of files in the folder (and with recurse in its subfolders) that
// match the ';'-separated patterns (empty: all). A file that matches two
// patterns counts twice. -1 after a message when the folder can't be read;
// a subfolder that can't be read counts 0, and junctions and links to
// folders are not followed.
int CountMatchingFiles(const CString &folder, const CString &patterns, BOOL recurse);

// The run of word characters at the end of the text; empty when the text
// ends with another character or the run is longer than MAX_LEARNED_LENGTH.
CString GetTrailingWord(const CString &text);
