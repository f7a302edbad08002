#include "net/game_download_rules.h"

#include "base/text.h"
#include "net/update_config.h"

namespace net {

namespace {
constexpr size_t kMaxPathChars = 259;
constexpr size_t kMaxUrlChars = 511;

// Names under which Windows opens a device instead of a file, in any folder and with any
// extension: "CON.exe" in the install folder is the console.
bool IsDeviceName(std::wstring_view name) {
    const std::wstring_view stem = name.substr(0, name.find(L'.'));
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (base::EqualsNoCase(stem, device)) return true;
    return stem.size() == 4 &&
           (base::StartsWithNoCase(stem, L"COM") || base::StartsWithNoCase(stem, L"LPT")) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view what, std::wstring_view with) {
    std::wstring out;
    size_t from = 0;
    for (size_t at = text.find(what); at != std::wstring_view::npos; at = text.find(what, from)) {
        out.append(text.substr(from, at - from)).append(with);
        from = at + what.size();
    }
    return out.append(text.substr(from));
}
} // namespace

bool IsGameName(std::wstring_view name) {
    if (name.empty()) return false;
    for (wchar_t c : name)
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
              c == L'-'))
            return false;
    return !IsDeviceName(name);
}

std::optional<GameDownloadPlaces> GameDownloadPlacesFor(std::wstring_view selfConfigUrl,
                                                        std::wstring_view clientFolder,
                                                        std::wstring_view gameName) {
    if (!IsGameName(gameName)) return std::nullopt;
    GameDownloadPlaces places;
    places.configUrl = ReplaceAll(selfConfigUrl, net::kEditionTag, gameName);
    if (!clientFolder.empty())
        places.clientFile = std::wstring(clientFolder) + L"\\" + std::wstring(gameName) + L".exe";
    if (places.clientFile.size() > kMaxPathChars || places.configUrl.size() > kMaxUrlChars)
        return std::nullopt;
    return places;
}

std::wstring DownloadLabelText(uint32_t percent) {
    return L"已加载  " + std::to_wstring(percent) + L"%";
}

} // namespace net
