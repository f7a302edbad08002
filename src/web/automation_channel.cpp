#include "web/automation_channel.h"

#include <cstring>

namespace web {

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
