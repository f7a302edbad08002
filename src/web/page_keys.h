// The keys a page window takes for itself or leaves to the hotkeys: F5, the page's refresh
// unless the player made it the boss or sound key.
#pragma once
#include <cstdint>

#include "base/hotkey.h"

namespace web {

inline constexpr unsigned kKeyF5 = 0x74;

// F5 in a page window. Swallow: F5 is the boss or sound key (unmodified) and this F5 is the
// player's, or there is no page to refresh; Refresh: purge the loader cache and reload.
enum class RefreshKey { Swallow, Refresh };
RefreshKey ScreenRefreshKey(base::HotkeySpec boss, base::HotkeySpec sound, std::intptr_t lParam,
                            bool hasView);

} // namespace web
