// The tips file "tips.txt" of the program folder: a line that is "[tip]"
// (white space around it allowed) starts a tip, whose text is the lines up
// to the next such line.
#pragma once

#include "CString.h"

CString GetTipsFilePath();
// The number of tips; 0 when the file cannot be read.
int GetTipCount(const char *path = nullptr);
// Tip n (from 0) with CR LF line breaks, trimmed; empty when there is none.
CString GetTipText(int n, const char *path = nullptr);
