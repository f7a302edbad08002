#include "net/stat_ping.h"

#include "base/version.h"
#include "net/publisher.h"

namespace net {

namespace {
// Each ping's page and query, and the statistics counter whose value it carries.
struct PingEntry {
    std::wstring_view path;
    std::wstring_view counterKey;
};
constexpr PingEntry kPings[] = {
    {L"/install.htm?tag=tnvexa&ver=" TNVEXA_VERSION_WTEXT, L"Inst"},     // StatPing::Install
    {L"/active.htm?tag=tnvexa&ver=" TNVEXA_VERSION_WTEXT, L"Game"},      // StatPing::Activation
    {L"/active.htm?tag=weblumo&ver=" TNVEXA_VERSION_WTEXT, L"Vexa"},     // StatPing::Channel
    {L"/uninstall.htm?tag=tnvexa&ver=" TNVEXA_VERSION_WTEXT, L"UnInst"}, // StatPing::Uninstall
};
const PingEntry& Entry(StatPing ping) {
    return kPings[static_cast<size_t>(ping)];
}
} // namespace

std::wstring_view StatPingPath(StatPing ping) {
    return Entry(ping).path;
}

std::wstring_view StatPingCounterKey(StatPing ping) {
    return Entry(ping).counterKey;
}

std::wstring StatPingUrl(StatPing ping, uint32_t count, std::wstring_view overrideHost) {
    const std::wstring base = PublisherUrl(PublisherSite::Client, StatPingPath(ping), overrideHost);
    // Same text as "%s&count=%u" into the 512-character address buffer: a longer text is cut.
    std::wstring url = base + L"&count=" + std::to_wstring(count);
    if (url.size() > 511) url.resize(511);
    return url;
}

} // namespace net
