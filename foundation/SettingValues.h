// Settings that the utility and engine code read. The settings loader fills
// them at start-up; until then they hold their empty initial values.
#pragma once

#include "CString.h"

extern CString g_strWordConcatenators;  // "WordConcatenators": characters that join words into a phrase
extern CString g_strLibPath;            // "LibPath"
extern int g_bDebugMsg;  // "DebugMsg": internal error texts appear in message boxes
