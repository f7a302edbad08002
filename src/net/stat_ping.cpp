#include "net/stat_ping.h"

#include "net/publisher.h"

namespace net {

std::wstring_view StatPingPath(StatPing ping) {
    switch (ping) {
    case StatPing::Install:
        return L"/install.htm?tag=tnvexa&ver=3.0.0.1";
    case StatPing::Activation:
        return L"/active.htm?tag=tnvexa&ver=3.0.0.1";
    case StatPing::Channel:
        return L"/active.htm?tag=weblumo&ver=3.0.0.1";
    case StatPing::Uninstall:
        return L"/uninstall.htm?tag=tnvexa&ver=3.0.0.1";
    }
    return {};
}

std::wstring_view StatPingCounterKey(StatPing ping) {
    switch (ping) {
    case StatPing::Install:
        return L"Inst";
    case StatPing::Activation:
        return L"Game";
    case StatPing::Channel:
        return L"Vexa";
    case StatPing::Uninstall:
        return L"UnInst";
    }
    return {};
}

std::wstring StatPingUrl(StatPing ping, uint32_t count, std::wstring_view overrideHost) {
    const std::wstring base = PublisherUrl(PublisherSite::Client, StatPingPath(ping), overrideHost);
    // Same text as "%s&count=%u" into the 512-character address buffer: a longer text is cut.
    std::wstring url = base + L"&count=" + std::to_wstring(count);
    if (url.size() > 511) url.resize(511);
    return url;
}

} // namespace net
