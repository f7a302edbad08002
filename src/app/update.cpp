#include "app/update.h"

#include <algorithm>

#include "base/text.h"

namespace app {

namespace {
constexpr size_t kCheckedDigits = 24;

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
} // namespace

std::wstring VersionDigits(std::wstring_view version) {
    std::wstring out;
    for (wchar_t c : version)
        if (c != L'.') out += c;
    return out;
}

std::wstring ReleaseKey(std::wstring_view digestHex, std::wstring_view version) {
    if (digestHex.empty()) return {};
    const std::wstring suffix = VersionDigits(version);
    const size_t keep = digestHex.size() > suffix.size() ? digestHex.size() - suffix.size() : 0;
    return std::wstring(digestHex.substr(0, keep)) + suffix;
}

bool ReleaseKeysDiffer(std::wstring_view publishedKey, std::wstring_view localKey) {
    return !base::EqualsNoCase(publishedKey, localKey);
}

bool DigestMatchesReleaseKey(std::wstring_view digestHex, std::wstring_view releaseKey) {
    if (digestHex.size() < kCheckedDigits || releaseKey.size() < kCheckedDigits) return false;
    for (size_t i = 0; i < kCheckedDigits; ++i)
        if (!IsHexDigit(releaseKey[i])) return false;
    return base::EqualsNoCase(digestHex.substr(0, kCheckedDigits), releaseKey.substr(0, kCheckedDigits));
}

uint64_t PackedVersion(std::wstring_view version) {
    uint64_t packed = 0;
    int fields = 0;
    for (size_t at = 0; at <= version.size(); ++fields) {
        const size_t dot = std::min(version.find(L'.', at), version.size());
        const std::wstring_view field = version.substr(at, dot - at);
        if (fields == 4 || field.empty() || field.size() > 5) return 0;
        uint32_t value = 0;
        for (wchar_t c : field) {
            if (c < L'0' || c > L'9') return 0;
            value = value * 10 + static_cast<uint32_t>(c - L'0');
        }
        if (value > 0xFFFF) return 0;
        packed = packed << 16 | value;
        at = dot + 1;
    }
    return fields == 4 ? packed : 0;
}

bool StartModeMayCheckForUpdate(StartMode mode) {
    return !(mode == StartMode::Install || mode == StartMode::Channel || mode == StartMode::Uninstall ||
             mode == StartMode::NewGamePage);
}

} // namespace app
