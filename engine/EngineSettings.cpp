#include "EngineSettings.h"

int g_bPromptWord = 1;
int g_bPromptSH = 1;
int g_nDefPromptType = 0;
int g_nMinPrefixLen = 1;
int g_nMinSHPrefixLen = 1;
int g_nMinPromptLen = 1;
int g_nMaxWordInPrefix = 3;
int g_bPromptNoDelimiter = 1;
float g_fFreqVsTime = 0.5f;
int g_nMinPhrasePromptCount = 3;
int g_nPromptNum = 12;
int g_bLearnWord = 1;
char g_chShorthandTag = '$';
int g_nFlushPercentage = 33;
int g_nMinWordAddCount = 3;
int g_nMinPhraseAddCount = 3;
int g_bAutoReduce = 1;
int g_nReduceLimit = 10000;
int g_nReducePercentage = 30;
int g_bEnableUserLib = 1;
int g_bSpaceAfterPunct = 0;
int g_bDoubleSpace = 1;
int g_bMSWordEnhance = 1;
int g_bOneCharAllCap = 0;

int g_nMinLength = 6;
int g_nMinPhraseLength = 10;
int g_bLearnPhrase = 0;
int g_nMaxWordInPhrase = 4;
int g_bRejectPhraseThe = 1;
int g_bRejectPhraseA = 0;
int g_bNoLearnNumber = 1;
int g_nPhraseAckCount = 3;

int g_nShorthandGenMethod = 1;
CString g_strAutoGenRule = "1~3;1~2;1;1;1;1;1";
CString g_strWordRule = "csn";
int g_bAbbrWord = 0;
