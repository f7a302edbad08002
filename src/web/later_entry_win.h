// Where a page process hands over to subsystems that are not part of it yet: the favourites
// dialog, the game download dialog and the hotkey settings.
// Each entry is a stand-in that does nothing (or answers the default) until its subsystem lands.
#pragma once
#include <windows.h>

#include <string>

#include "web/gm_rules.h"

namespace later {

// Runs the favourites dialog modally over owner for the page's title and URL.
inline void RunFavouritesDialog(HWND /*owner*/, const std::wstring& /*title*/, const std::wstring& /*url*/) {
}

// Runs the game client download dialog modally over owner for the client's name.
inline void RunGameDownloadDialog(HWND /*owner*/, const std::wstring& /*clientName*/) {
}

// One hotkey from the settings file ("ShortKey", "AltWndKey", "SndKey"); until the settings are
// read the default text ("<mask>,<code>") is the answer.
inline web::PageHotkey LoadHotkey(const wchar_t* /*key*/, const wchar_t* defaultText) {
    return web::ParseHotkeyText(defaultText ? defaultText : L"", {});
}

} // namespace later
