#include "net/publisher.h"

namespace net {

std::wstring_view DefaultPublisherHost(PublisherSite site) {
    switch (site) {
    case PublisherSite::Client:
        return L"client.vexatarn.com";
    case PublisherSite::WebGame:
        return L"www.vexatarn.com";
    case PublisherSite::Hall:
        return L"www.vexagame.com";
    }
    return L"www.vexatarn.com";
}

std::wstring PublisherHost(PublisherSite site, std::wstring_view overrideHost) {
    return std::wstring(overrideHost.empty() ? DefaultPublisherHost(site) : overrideHost);
}

std::wstring PublisherUrl(PublisherSite site, std::wstring_view path, std::wstring_view overrideHost) {
    return L"http://" + PublisherHost(site, overrideHost) + std::wstring(path);
}

}  // namespace net
