// Where a page process hands over to subsystems that are not part of it yet: sound mute, the
// favourites dialog, the game download dialog and the loader-cache purge.
// Each entry is a stand-in that does nothing (or answers the default) until its subsystem lands.
#pragma once
#include <windows.h>

#include <string>

#include "web/gm_rules.h"

namespace later {

// Switches the whole process's sound output off (true) or on.
inline void MuteProcessSound(bool /*mute*/) {
}

// Runs the favourites dialog modally over owner for the page's title and URL.
inline void RunFavouritesDialog(HWND /*owner*/, const std::wstring& /*title*/, const std::wstring& /*url*/) {
}

// Runs the game client download dialog modally over owner for the client's name.
inline void RunGameDownloadDialog(HWND /*owner*/, const std::wstring& /*clientName*/) {
}

// Clears the browser cache entries of the game loader before a refresh.
inline void PurgeLoaderCache() {
}

} // namespace later
