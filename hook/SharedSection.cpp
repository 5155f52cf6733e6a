// Definitions of the shared variables with their initial values. Built into
// Dravik.dll with DRAVIK_SHARED_SECTION, where they form the one section that
// every process mapping the library shares; built without it into test
// programs, where they are ordinary private globals. Every initialiser is a
// constant: a dynamic one would run again in each process and overwrite what
// the others wrote.
#include "SharedSection.h"

#if defined(_WIN32) && defined(DRAVIK_SHARED_SECTION)
#define LX_SHARED __attribute__((section("sharedse"), shared))
#else
#define LX_SHARED
#endif

extern "C" {
LX_SHARED int g_bRemoveSpaceBeforePunctuation = 0;
LX_SHARED DWORD g_nDelayedKeyDownMsg = 0;
LX_SHARED UINT g_nLastKeyDown = 0;
LX_SHARED UINT g_tkLastKeyDown = 0;
LX_SHARED int g_bClearAtSwitch = 1;
LX_SHARED int g_bExpandFullSHAtDlmt = 0;
LX_SHARED int g_bAutoCompleteUponDelimiter = 0;
LX_SHARED int g_bCompleteUponPunctOnly = 0;
LX_SHARED int g_bDisableInExp = 1;
LX_SHARED int g_bDigitSelect = 1;
LX_SHARED int g_nNumWord = 0;
LX_SHARED HWND hTestEdit = 0;
LX_SHARED int g_bRedirectKey = 0;
LX_SHARED int g_bAlterPrompt = 0;
LX_SHARED int g_nSendKey = 0;
LX_SHARED int g_bFunSel = 0;
LX_SHARED int g_bFullSHMatch = 0;
LX_SHARED int g_nPromptMode = 0;
LX_SHARED int g_bEnableInIE = 1;
LX_SHARED int g_nLastComp = 0;
LX_SHARED int s_nExpAliasKeyCode = 0;
LX_SHARED int s_nExpAliasKeyFlag = 0;
LX_SHARED int g_nSWKeyOption = 0;
LX_SHARED int g_nPrevKey = 0;
LX_SHARED int g_nNextKey = 0;
LX_SHARED int g_nPgupKey = 0;
LX_SHARED int g_nPgdnKey = 0;
LX_SHARED int g_bDetectSOW = 0;
LX_SHARED int g_bPromptAllCaretFail = 0;
LX_SHARED int g_bArrowExtend = 0;
LX_SHARED char NonDelimiter[32] = "";
LX_SHARED HWND hFocusEdit = 0;
LX_SHARED HWND hLastFocus = 0;
LX_SHARED char WordBuffer[259] = "";
LX_SHARED char nLastChar = 0;
LX_SHARED int nWordNum = 3;
LX_SHARED char CharBuf[260] = "";
LX_SHARED POINT CaretPos = {0, 0};
LX_SHARED UINT KeyCode = 0;
LX_SHARED char g_szForceEnable[256] = "";
LX_SHARED char WindowIncluded[256] = "";
LX_SHARED char WindowExcluded[256] = "";
LX_SHARED char ProcessIncluded[256] = "";
LX_SHARED char ProcessExcluded[256] = "";
LX_SHARED char PathIncluded[256] = "";
LX_SHARED char PathExcluded[256] = "";
LX_SHARED char g_szAppListForceCharBuf[256] = "";
LX_SHARED char AppPath[260] = "";
LX_SHARED int s_bIncludeAllExcept = 1;
LX_SHARED char AppDataPath[260] = "";
LX_SHARED UINT CompWordKey = 0;
LX_SHARED int bEnablePrompt = 1;
LX_SHARED HWND hPromptWnd = 0;
LX_SHARED int g_bNonEnglishChar = 1;
LX_SHARED int g_bNumpadDigit = 1;
LX_SHARED UINT g_nActivatePromptKey = 0;
LX_SHARED HWND hWndManualActivate = 0;
LX_SHARED int g_bLatencyProbe = 0;
LX_SHARED long long g_qpcLatency[LATENCY_STAMP_COUNT] = {0};
LX_SHARED int g_nLatencyResults = 0;
LX_SHARED int g_nLatencyFills = 0;
LX_SHARED SharedOffer g_Offer = {};
LX_SHARED LONG g_nOfferMoves = 0;
LX_SHARED WordEnd g_WordEnds[WORD_END_SLOTS] = {};
LX_SHARED LONG g_nWordEndSeq = 0;
}
