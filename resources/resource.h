// Resource numbers of the program: dialog templates, controls, icons and
// cursors. Stored settings and other modules do not depend on them, but the
// numbers are kept stable anyway.
#pragma once

// Strings.
#define IDS_SUBSCRIPTION_PAGE 2

#define IDR_MAINFRAME 128
#define IDC_HAND_CURSOR 134
#define IDD_SPLASH 135
#define IDD_WAITMSG 150
#define IDD_TOPMSG 168
#define IDD_ADDHEADER 169
#define IDD_REPEAT 170
#define IDD_TIPS 194
#define IDI_TIPS 199
#define IDD_SORTLINES 229

// Controls.
#define IDC_TIP_FIRST 4
#define IDC_TIP_PREVIOUS 3
#define IDC_TIP_NEXT IDCANCEL
#define IDC_TIP_LAST 5
#define IDC_LINE_HEADER 1023
#define IDC_REPEAT_STRING 1023
#define IDC_TIP_TEXT 1023
#define IDC_REPEAT_COUNT 1024
#define IDC_WAITMSG_TEXT 1036
#define IDC_SORT_ASCENDING 1065
#define IDC_SORT_DESCENDING 1066
#define IDC_TOPMSG_TEXT 1071
#define IDC_TIP_HEADING 1085
#define IDC_SHOW_TIPS 1086
#define IDC_SORT_NOCASE 1104
#define IDC_SORT_TRIM 1105

#include "PromptIds.h"
#include "MainWindowIds.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
