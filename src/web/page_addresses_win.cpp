#include "web/page_addresses_win.h"

#include "net/publisher_win.h"

namespace web {

std::wstring HallPageUrl() {
    return net::PublisherUrl(net::PublisherSite::Client, L"/webgame.htm");
}

std::wstring DefaultHallUrl() {
    return net::PublisherUrl(net::PublisherSite::Hall, L"/");
}

std::wstring LoginPageUrl() {
    return net::PublisherUrl(net::PublisherSite::WebGame, L"/games/tn/dlq/index.html");
}

} // namespace web
