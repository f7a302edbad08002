#include "fw/web_address.h"

#include "base/text.h"

namespace fw {

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() > prefix.size() && base::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

bool IsWebAddress(std::wstring_view url) {
    for (wchar_t c : url)
        if (c <= L' ' || c == 0x7F) return false;
    return StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://");
}

} // namespace fw
