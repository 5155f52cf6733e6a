// Settings the engine reads while it searches and learns. The settings loader
// fills them at start-up; until then they hold the general defaults.
#pragma once

#include "CString.h"

enum { MAX_CANDIDATES = 256 };  // capacity of each candidate list

extern int g_bPromptWord;             // "PromptWord": prompt words and phrases
extern int g_bPromptSH;               // "PromptSH": prompt shorthands
extern int g_nDefPromptType;          // "DefPromptType": 0 words first, 1 shorthands first
extern int g_nMinPrefixLen;           // "MinPrefixLen"
extern int g_nMinSHPrefixLen;         // "MinSHPrefixLen"
extern int g_nMinPromptLen;           // "MinPromptLen"
extern int g_nMaxWordInPrefix;        // "MaxWordInPrefix"
extern int g_bPromptNoDelimiter;      // "PromptNoDelimiter"
extern float g_fFreqVsTime;           // "FreqVsTime": ranking exponent; -1 count only, 0 recency only
extern int g_nMinPhrasePromptCount;   // "MinPhrasePromptCount"
extern int g_nPromptNum;              // "PromptNum": candidates kept, 1..MAX_CANDIDATES
extern int g_bLearnWord;              // "g_bLearnWord"
extern char g_chShorthandTag;         // "ShorthandTag"
extern int g_nFlushPercentage;        // "FlushPercentage": share of the word cache flushed
extern int g_nMinWordAddCount;        // "g_nMinWordAddCount": uses before a cached word moves to the user library
extern int g_nMinPhraseAddCount;      // "MinPhraseAddCount": the same for phrases
extern int g_bAutoReduce;             // "AutoReduce"
extern int g_nReduceLimit;            // "ReduceLimit": words
extern int g_nReducePercentage;       // "ReducePercentage"
extern int g_bEnableUserLib;          // "EnableUserLib": the user library is word library 0
extern int g_bSpaceAfterPunct;        // "SpaceAfterPunct": a space after typed punctuation
extern int g_bDoubleSpace;            // "DoubleSpace": two spaces after a sentence end
extern int g_bMSWordEnhance;          // "MSWordEnhance": the word-processor adapter is on
extern int g_bOneCharAllCap;          // "OneCharAllCap": one typed capital upper-cases the completion

// Learning.
extern int g_nMinLength;              // "MinLength": fewest characters of a learnt single word
extern int g_nMinPhraseLength;        // "MinPhraseLength": fewest characters of a learnt phrase
extern int g_bLearnPhrase;            // "LearnPhrase": learn phrases from typed text
extern int g_nMaxWordInPhrase;        // "MaxWordInPhrase": most words of a learnt phrase
extern int g_bRejectPhraseThe;        // "RejectPhraseThe": no phrase that begins or ends with "the"
extern int g_bRejectPhraseA;          // "RejectPhraseA": no phrase that begins or ends with "a"
extern int g_bNoLearnNumber;          // "NoLearnNumber": no text of only digits, white space and commas
extern int g_nPhraseAckCount;         // "PhraseAckCount": use count of an acknowledged phrase

// Shorthand generation.
extern int g_nShorthandGenMethod;     // "ShorthandGenMethod": 1 initials, else the rules
extern CString g_strAutoGenRule;      // "AutoGenRule": the rule for phrases
extern CString g_strWordRule;         // "WordRule": the rule for single words
extern int g_bAbbrWord;               // "AbbrWord": single words get a shorthand by "WordRule"

// "PromptNum" as the lists may use it: never beyond their capacity.
inline int PromptNum()
{
    return g_nPromptNum < 1 ? 1 : (g_nPromptNum > MAX_CANDIDATES ? MAX_CANDIDATES : g_nPromptNum);
}
