// Resource numbers of the main window, its menus and the tray icon.
#pragma once

#define IDD_MAIN_WINDOW 102

// Controls of the main window's debug face.
#define IDC_INSTALL 3
#define IDC_UNINSTALL 4
#define IDC_CHECK_USER 7
#define IDC_SETUP_WIZARD 14
#define IDC_CHECK_CACHE_ORDER 10
#define IDC_CLEAR_CACHE 8
#define IDC_FLUSH_CACHE 9
#define IDC_DEBUG_LOG 1000
#define IDC_DEBUG_NOTES 1001
#define IDC_CLEAR_LOG 1029
#define IDC_SHOW_DEBUG_MESSAGE 1081

// The running instance adds its tray icon again (a second start asks).
#define ID_REPAIR_TRAY_ICON 32924
