// Where a page process hands over to subsystems that are not part of it yet: the favourites
// dialog and the game download dialog.
// Each entry is a stand-in that does nothing until its subsystem lands.
#pragma once
#include <windows.h>

#include <string>

namespace later {

// Runs the favourites dialog modally over owner for the page's title and URL.
inline void RunFavouritesDialog(HWND /*owner*/, const std::wstring& /*title*/, const std::wstring& /*url*/) {
}

// Runs the game client download dialog modally over owner for the client's name.
inline void RunGameDownloadDialog(HWND /*owner*/, const std::wstring& /*clientName*/) {
}

} // namespace later
