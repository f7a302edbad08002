#include "web/fav_rules.h"

#include "base/text.h"

namespace web {

namespace {
constexpr size_t kMaxPathChars = 259;
constexpr std::wstring_view kForbidden = L"\\/:*?\"<>|";

// Names the system takes for devices whatever extension follows them.
bool IsDeviceName(std::wstring_view name) {
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (base::EqualsNoCase(stem, device)) return true;
    if (stem.size() == 4 && stem[3] >= L'0' && stem[3] <= L'9')
        return base::EqualsNoCase(stem.substr(0, 3), L"COM") || base::EqualsNoCase(stem.substr(0, 3), L"LPT");
    return false;
}
} // namespace

std::optional<std::wstring> FavouriteText(std::wstring_view url) {
    for (wchar_t c : url)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return std::nullopt;
    const std::wstring u(url);
    return L"[DEFAULT]\r\nBASEURL=" + u +
           L"\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n[InternetShortcut]\r\nURL=" + u +
           L"\r\nIDList=\r\n";
}

std::optional<std::wstring> FavouritePath(std::wstring_view folder, std::wstring_view name) {
    name = base::Truncate(name, kMaxFavouriteNameChars);
    for (wchar_t c : name)
        if (c < 0x20 || kForbidden.find(c) != std::wstring_view::npos) return std::nullopt;
    if (name == L".." || IsDeviceName(name)) return std::nullopt;
    std::wstring path = std::wstring(folder) + L"\\" + std::wstring(name) + L".url";
    if (folder.empty() || path.size() > kMaxPathChars) return std::nullopt;
    return path;
}

} // namespace web
