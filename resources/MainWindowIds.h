// Resource numbers of the main window, its menus and the tray icon.
#pragma once
