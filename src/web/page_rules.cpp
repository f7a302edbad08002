#include "web/page_rules.h"

#include "base/text.h"

namespace web {

namespace {
constexpr size_t kMaxPathChars = 259;

bool IsNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
           c == L'-';
}

// True when text begins with prefix and goes on after it.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() > prefix.size() && base::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}
} // namespace

std::optional<std::wstring> GameClientName(std::wstring_view gameName) {
    std::wstring name;
    for (wchar_t c : gameName) {
        if (c == L'/') continue;
        if (!IsNameChar(c)) return std::nullopt;
        name.push_back(c);
    }
    if (name.empty()) return std::nullopt;
    if (name[0] >= L'a' && name[0] <= L'z') name[0] = static_cast<wchar_t>(name[0] - L'a' + L'A');
    return name;
}

std::optional<std::wstring> GameClientPath(std::wstring_view commonAppData, std::wstring_view clientName) {
    std::wstring path(commonAppData);
    path += L"\\Vexa\\GameLogin\\";
    path += clientName;
    path += L".exe";
    if (path.size() > kMaxPathChars) return std::nullopt;
    return path;
}

bool IsShellOpenableUrl(std::wstring_view url) {
    return StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://");
}

} // namespace web
