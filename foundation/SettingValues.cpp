#include "SettingValues.h"

CString g_strWordConcatenators;
CString g_strLibPath;
