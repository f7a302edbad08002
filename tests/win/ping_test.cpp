// The statistics ping worker and its two events, against the stand-in publisher.
#include <gtest/gtest.h>

#include "base/api_redirect_win.h"
#include "base/handle_win.h"
#include "net/stat_ping.h"
#include "net/stat_ping_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

TEST(SendStatPing, ReturnsOnceTheAddressIsTakenAndSignalsTheEnd) {
    wintest::PublisherFixture server;
    ASSERT_TRUE(server.Start(R"({"routes": {"/active.htm": {"body": "ok", "delay": 0.8}}})"));
    net::PingEvents events;
    ASSERT_TRUE(events.Create());
    {
        std::wstring url = net::StatPingUrl(net::StatPing::Activation, 12, server.Host());
        ASSERT_TRUE(net::SendStatPing(url, events));
        url.assign(url.size(), L'x'); // the caller may reuse its text at once
    }
    // PingStarted is reset for the next ping; the slow answer keeps PingFinished unset a while.
    EXPECT_EQ(WaitForSingleObject(events.Started(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(events.Finished(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(events.Finished(), 10000), WAIT_OBJECT_0);

    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /active.htm?tag=tnvexa&ver=3.0.0.1&count=12 HTTP/1.1");
}

TEST(SendStatPing, EachPingArrivesWithItsCountAndAFailedOneStillFinishes) {
    wintest::PublisherFixture server;
    ASSERT_TRUE(server.Start(R"({"routes": {}})"));
    const struct {
        net::StatPing ping;
        unsigned count;
        const char* line;
    } cases[] = {
        {net::StatPing::Install, 1, "GET /install.htm?tag=tnvexa&ver=3.0.0.1&count=1 HTTP/1.1"},
        {net::StatPing::Channel, 3, "GET /active.htm?tag=weblumo&ver=3.0.0.1&count=3 HTTP/1.1"},
        {net::StatPing::Uninstall, 4, "GET /uninstall.htm?tag=tnvexa&ver=3.0.0.1&count=4 HTTP/1.1"},
    };
    for (const auto& c : cases) {
        net::PingEvents events;
        ASSERT_TRUE(events.Create());
        server.ClearLog();
        ASSERT_TRUE(net::SendStatPing(net::StatPingUrl(c.ping, c.count, server.Host()), events));
        EXPECT_EQ(WaitForSingleObject(events.Finished(), 10000), WAIT_OBJECT_0);
        ASSERT_TRUE(server.WaitForRequests(1, 5000));
        EXPECT_EQ(server.Requests().at(0).requestLine, c.line);
    }
    net::PingEvents events;
    ASSERT_TRUE(events.Create());
    ASSERT_TRUE(net::SendStatPing(L"http://127.0.0.1:1/active.htm?count=1", events));
    EXPECT_EQ(WaitForSingleObject(events.Finished(), 10000), WAIT_OBJECT_0);

    // A ping that can't start its worker answers at once: nobody waits for ever.
    EXPECT_FALSE(net::SendStatPing(L"http://127.0.0.1:1/active.htm?count=1", net::PingEvents{}));

    // Nor when its worker can't copy the end event.
    base::ApiRedirect noCopy;
    ASSERT_TRUE(noCopy.Install(
        GetModuleHandleW(L"kernel32.dll"), "DuplicateHandle",
        reinterpret_cast<void*>(+[](HANDLE, HANDLE, HANDLE, HANDLE*, DWORD, BOOL, DWORD) { return FALSE; })));
    ASSERT_TRUE(events.Create());
    EXPECT_TRUE(net::SendStatPing(L"http://127.0.0.1:1/active.htm?count=1", events));
    const DWORD ended = WaitForSingleObject(events.Finished(), 10000);
    noCopy.Remove();
    EXPECT_EQ(ended, WAIT_OBJECT_0);
}

TEST(SendStatPing, TheOwnerMayCloseItsEventsWhileThePingRuns) {
    wintest::PublisherFixture server;
    ASSERT_TRUE(server.Start(R"({"routes": {"/active.htm": {"body": "ok", "delay": 0.5}}})"));
    base::Handle finished;
    {
        net::PingEvents events;
        ASSERT_TRUE(events.Create());
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), events.Finished(), GetCurrentProcess(),
                                    finished.Put(), SYNCHRONIZE, FALSE, 0));
        ASSERT_TRUE(net::SendStatPing(net::StatPingUrl(net::StatPing::Activation, 2, server.Host()), events));
    } // closed here, as an application ending before its launch ping
    EXPECT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_EQ(WaitForSingleObject(finished.Get(), 10000), WAIT_OBJECT_0) << "the worker's own copy is set";
}

} // namespace
