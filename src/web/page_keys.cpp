#include "web/page_keys.h"

#include "base/page_protocol.h"

namespace web {

RefreshKey ScreenRefreshKey(base::HotkeySpec boss, base::HotkeySpec sound, std::intptr_t lParam,
                            bool hasView) {
    const base::HotkeySpec plainF5{kKeyF5, 0};
    if ((boss == plainF5 || sound == plainF5) && lParam != base::kSelfMarker) return RefreshKey::Swallow;
    return hasView ? RefreshKey::Refresh : RefreshKey::Swallow;
}

} // namespace web
