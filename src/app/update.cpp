#include "app/update.h"

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

bool StartModeMayCheckForUpdate(StartMode mode) {
    return !(mode == StartInstall || mode == StartChannel || mode == StartUninstall ||
             mode == StartNewGamePage);
}

} // namespace app
