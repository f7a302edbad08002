// Which kind of address a page of a page process is at, for the program's own security
// manager: the publisher's pages, the web at large, everything else.
#pragma once
#include <string_view>

#include "fw/url_policy.h"

namespace web {

// Publisher: web::IsPublisherPage (overrideHost is the "Publisher" test switch); OtherWeb: any
// other http(s) address (fw::IsWebAddress); Other: the rest.
fw::AddressClass ClassifyPageAddress(std::wstring_view url, std::wstring_view overrideHost);

} // namespace web
