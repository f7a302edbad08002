#include "web/gm_rules.h"

#include <cstring>

#include "base/page_protocol.h"

namespace web {

namespace {
// The page's own buttons on the login page: dragging there would steal their clicks.
constexpr int kNoDragLeft = 739, kNoDragTop = 93, kNoDragRight = 786, kNoDragBottom = 114;
} // namespace

RefreshKey ScreenRefreshKey(base::HotkeySpec boss, base::HotkeySpec sound, std::intptr_t lParam,
                            bool hasView) {
    const base::HotkeySpec plainF5{kKeyF5, 0};
    if ((boss == plainF5 || sound == plainF5) && lParam != base::kSelfMarker) return RefreshKey::Swallow;
    return hasView ? RefreshKey::Refresh : RefreshKey::Swallow;
}

std::optional<std::uint32_t> LoginDragMessage(ElementEvent event, int clientX, int clientY) {
    std::uint32_t message = 0;
    switch (event) {
    case ElementEvent::MouseDown:
        message = kNcLButtonDown;
        break;
    case ElementEvent::MouseUp:
        message = kNcLButtonUp;
        break;
    case ElementEvent::MouseMove:
        message = kNcMouseMove;
        break;
    default:
        return std::nullopt;
    }
    if (clientX >= kNoDragLeft && clientX <= kNoDragRight && clientY >= kNoDragTop &&
        clientY <= kNoDragBottom)
        return std::nullopt;
    return message;
}

bool LabelFitsMainWindow(std::wstring_view label) {
    return label.size() <= base::kMaxTabLabelChars;
}

std::optional<std::wstring> ReadAutomationUrl(const void* data, std::size_t cbData) {
    if (!data || cbData == 0 || cbData % 2 != 0) return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::wstring url;
    for (size_t i = 0; i < cbData / 2; ++i) {
        uint16_t unit = 0;
        std::memcpy(&unit, bytes + i * 2, sizeof unit); // another process's block, any alignment
        if (unit == 0) break;
        if (url.size() == kMaxAutomationUrlChars) return std::nullopt;
        url.push_back(static_cast<wchar_t>(unit));
    }
    if (url.empty()) return std::nullopt;
    return url;
}

} // namespace web
