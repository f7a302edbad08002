// How a page process's windows reach the player and the system. Every member is the real thing
// unless a test replaces it before the windows are made (PageContext::seams).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "fw/shell_open_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/favourite_dialog_win.h"

namespace web {

struct PageSeams {
    ui::MessageBoxFunction messageBox = ui::ShowMessageBox;
    // A web address opened in the player's default browser with the player's rights, shown
    // normally; false when it was not opened.
    std::function<bool(const std::wstring& url)> shellOpen = [](const std::wstring& url) {
        return fw::OpenAsPlayer(url, SW_SHOW);
    };
    // The favourites dialog, modally over owner.
    std::function<void(HWND owner, const std::wstring& name, const std::wstring& url)> runFavourites =
        RunFavouritesDialog;
};

} // namespace web
