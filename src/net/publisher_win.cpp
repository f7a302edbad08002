#include "net/publisher_win.h"

#include <windows.h>

namespace net {

const std::wstring& PublisherOverride() {
    static const std::wstring value = [] {
        wchar_t buffer[300] = {};
        const DWORD n = GetEnvironmentVariableW(L"TNVEXA_PUBLISHER", buffer, ARRAYSIZE(buffer));
        return (n > 0 && n < ARRAYSIZE(buffer)) ? std::wstring(buffer, n) : std::wstring();
    }();
    return value;
}

std::wstring PublisherUrl(PublisherSite site, std::wstring_view path) {
    return PublisherUrl(site, path, PublisherOverride());
}

}  // namespace net
