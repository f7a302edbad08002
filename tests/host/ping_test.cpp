#include <gtest/gtest.h>

#include <string>

#include "net/stat_ping.h"

namespace {

TEST(StatPingUrl, EachPingWithItsPathCounterAndCount) {
    struct Case {
        net::StatPing ping;
        uint32_t count;
        const wchar_t* counterKey;
        const wchar_t* url;
    };
    const Case cases[] = {
        {net::StatPing::Install, 1, L"Inst",
         L"http://client.vexatarn.com/install.htm?tag=tnvexa&ver=3.0.0.1&count=1"},
        {net::StatPing::Activation, 42, L"Game",
         L"http://client.vexatarn.com/active.htm?tag=tnvexa&ver=3.0.0.1&count=42"},
        {net::StatPing::Channel, 7, L"Vexa",
         L"http://client.vexatarn.com/active.htm?tag=weblumo&ver=3.0.0.1&count=7"},
        {net::StatPing::Uninstall, 4294967295u, L"UnInst",
         L"http://client.vexatarn.com/uninstall.htm?tag=tnvexa&ver=3.0.0.1&count=4294967295"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(net::StatPingCounterKey(c.ping), c.counterKey);
        EXPECT_EQ(net::StatPingUrl(c.ping, c.count, L""), c.url);
    }
}

TEST(StatPingUrl, OverrideHostWithPortAndTheAddressBufferLimit) {
    EXPECT_EQ(net::StatPingUrl(net::StatPing::Activation, 3, L"127.0.0.1:8123"),
              L"http://127.0.0.1:8123/active.htm?tag=tnvexa&ver=3.0.0.1&count=3");
    const std::wstring longHost(600, L'h');
    EXPECT_EQ(net::StatPingUrl(net::StatPing::Install, 1, longHost).size(), 511u);
}

} // namespace
