// Addresses of the statistics pings: which page each start reports to, which counter of the
// statistics file it carries, and the address with the counter's value.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

enum class StatPing {
    Install,    // a fresh install
    Activation, // a launch that opens the main window
    Channel,    // a launch through the second distribution channel
    Uninstall,  // an uninstall the player confirmed
};

// Path and query of the ping on the publisher's client host.
std::wstring_view StatPingPath(StatPing ping);

// Key of the statistics file's counter that the ping reports.
std::wstring_view StatPingCounterKey(StatPing ping);

// "http://" + client host + path and query + "&count=" + count, at most 511 characters.
std::wstring StatPingUrl(StatPing ping, uint32_t count, std::wstring_view overrideHost);

} // namespace net
