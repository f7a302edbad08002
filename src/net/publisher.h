// The publisher's servers as the program knows them: one place for every host name, and the
// run-time override that points all of them at one other host (the "Publisher" test switch,
// host[:port]).
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace net {

enum class PublisherSite {
    Client,  // statistics pings and update configurations
    WebGame, // login page and game pages
    Hall,    // the game-hall brand's home page
};

// The default host of each site.
std::wstring_view DefaultPublisherHost(PublisherSite site);

// The host to use: the override when it is set, else the default.
std::wstring PublisherHost(PublisherSite site, std::wstring_view overrideHost);

// "http://" + host + path (path starts with "/").
std::wstring PublisherUrl(PublisherSite site, std::wstring_view path, std::wstring_view overrideHost);

// The publisher's own domains: downloads are only taken from hosts in them.
inline constexpr std::array<std::wstring_view, 3> kTrustedDomains = {L"vexatarn.com", L"vexagame.com",
                                                                     L"vexacdn.com"};

} // namespace net
