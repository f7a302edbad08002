#include "web/navigation_rules.h"

#include <string>

#include "base/text.h"
#include "fw/web_address.h"
#include "net/http_url.h"

namespace web {

namespace {

constexpr std::wstring_view kHttps = L"https://";

} // namespace

bool IsPublisherPage(std::wstring_view url, std::wstring_view overrideHost) {
    if (!fw::IsWebAddress(url)) return false;
    // The host rule is the download rule's; it reads plain http addresses, and the scheme
    // changes nothing about which host is meant.
    if (base::StartsWithNoCase(url, kHttps))
        return net::IsTrustedUrl(L"http://" + std::wstring(url.substr(kHttps.size())), overrideHost);
    return net::IsTrustedUrl(url, overrideHost);
}

PageNavigation ScreenPageNavigation(std::wstring_view url, bool topLevel, std::wstring_view overrideHost) {
    if (base::StartsWithNoCase(url, L"javascript:") || base::EqualsNoCase(url, L"about:blank"))
        return PageNavigation::Proceed;
    if (!fw::IsWebAddress(url)) return PageNavigation::Cancel;
    if (!topLevel || IsPublisherPage(url, overrideHost)) return PageNavigation::Proceed;
    return PageNavigation::OpenOutside;
}

bool CommandCounts(std::wstring_view senderUrl, std::wstring_view topUrl, std::wstring_view overrideHost) {
    return IsPublisherPage(senderUrl, overrideHost) && IsPublisherPage(topUrl, overrideHost);
}

} // namespace web
