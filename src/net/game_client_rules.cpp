#include "net/game_client_rules.h"

#include "base/product.h"

namespace net {

namespace {
constexpr size_t kMaxPathChars = 259;

bool IsNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
           c == L'-';
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
    path += base::kInstallSubfolder;
    path += L'\\';
    path += clientName;
    path += L".exe";
    if (path.size() > kMaxPathChars) return std::nullopt;
    return path;
}

} // namespace net
