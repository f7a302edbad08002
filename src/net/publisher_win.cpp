#include "net/publisher_win.h"

#include "fw/test_switch_win.h"

namespace net {

const std::wstring& PublisherOverride() {
    static const std::wstring value = fw::ReadTestSwitch(L"Publisher").value_or(std::wstring());
    return value;
}

std::wstring PublisherUrl(PublisherSite site, std::wstring_view path) {
    return PublisherUrl(site, path, PublisherOverride());
}

} // namespace net
