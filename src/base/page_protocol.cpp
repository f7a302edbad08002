#include "base/page_protocol.h"

#include <algorithm>
#include <cstring>

namespace base {

namespace {

std::optional<std::wstring> ParseCopyDataText(const void* data, std::size_t cbData, std::size_t maxChars) {
    if (data == nullptr || cbData == 0 || cbData % 2 != 0) return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const std::size_t units = cbData / 2;
    std::wstring label;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint16_t unit = 0;
        std::memcpy(&unit, bytes + i * 2, sizeof unit); // the sender's buffer may be unaligned
        if (unit == 0) return label;
        if (label.size() == maxChars) return std::nullopt;
        label.push_back(static_cast<wchar_t>(unit));
    }
    return std::nullopt; // no terminating zero inside the block
}

} // namespace

std::optional<std::wstring> ParseLabelCopyData(const void* data, std::size_t cbData) {
    return ParseCopyDataText(data, cbData, kMaxTabLabelChars);
}

std::optional<std::wstring> ParseGameNameCopyData(const void* data, std::size_t cbData) {
    return ParseCopyDataText(data, cbData, kMaxGameNameChars);
}

Rect ContentArea(int clientWidth, int clientHeight) {
    const int left = kBorderWidth;
    const int top = kCaptionHeight;
    return {left, top, std::max(left, clientWidth - kBorderWidth),
            std::max(top, clientHeight - kBorderWidth)};
}

} // namespace base
