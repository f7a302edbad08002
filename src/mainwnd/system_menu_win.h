// The main window's two menus: the system menu under the "系统" button and the tray icon's menu,
// built anew each time they open, with the commands their items stand for.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace mainwnd {

enum class MenuCommand {
    Refresh = 1,
    ToggleShow = 2,
    ClearCache = 3,
    Update = 4,
    Settings = 5,
    Exit = 6,
};

// Shows the tray menu (`tray`, ending in exit) or the system menu (ending in the version line)
// at screen point `at` for `owner` and answers the chosen command (nothing: dismissed, or the
// version line). While it is open, `shownText` holds its item texts joined by '|'.
std::optional<MenuCommand> TrackMenu(HWND owner, bool tray, POINT at, std::wstring* shownText);

} // namespace mainwnd
