// The main window's two menus: the system menu under the "系统" button and the tray icon's menu,
// built anew each time they open, with the commands their items stand for.
#pragma once
#include <windows.h>

#include <string>

namespace mainwnd {

enum MenuCommand : int {
    kMenuRefresh = 1,
    kMenuToggleShow = 2,
    kMenuClearCache = 3,
    kMenuUpdate = 4,
    kMenuSettings = 5,
    kMenuExit = 6,
};

// Shows the tray menu (`tray`, ending in exit) or the system menu (ending in the version line)
// at screen point `at` for `owner` and answers the chosen MenuCommand (anything else: dismissed,
// or the version line). While it is open, `shownText` holds its item texts joined by '|'.
int TrackMenu(HWND owner, bool tray, POINT at, std::wstring* shownText);

} // namespace mainwnd
