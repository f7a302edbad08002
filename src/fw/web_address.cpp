#include "fw/web_address.h"

#include "base/text.h"

namespace fw {

bool IsWebAddress(std::wstring_view url) {
    for (wchar_t c : url)
        if (c <= L' ' || c == 0x7F) return false;
    // Something must follow the scheme: "http://" alone names no page.
    const auto schemeAndMore = [url](std::wstring_view scheme) {
        return url.size() > scheme.size() && base::StartsWithNoCase(url, scheme);
    };
    return schemeAndMore(L"http://") || schemeAndMore(L"https://");
}

} // namespace fw
