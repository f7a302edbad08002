#include "web/page_security.h"

#include "fw/web_address.h"
#include "web/navigation_rules.h"

namespace web {

fw::AddressClass ClassifyPageAddress(std::wstring_view url, std::wstring_view overrideHost) {
    if (IsPublisherPage(url, overrideHost)) return fw::AddressClass::Publisher;
    return fw::IsWebAddress(url) ? fw::AddressClass::OtherWeb : fw::AddressClass::Other;
}

} // namespace web
