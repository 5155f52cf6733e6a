#include "SettingValues.h"

CString g_strWordConcatenators;
CString g_strLibPath;
int g_bDebugMsg = 0;
