#include <gtest/gtest.h>

#include <string>

#include "net/http_url.h"

namespace {

struct SplitCase {
    const wchar_t* url;
    bool ok;
    const wchar_t* host;
    uint16_t port;
    const wchar_t* path;
};

TEST(SplitHttpUrl, HostPortAndPathFromTheAddress) {
    const SplitCase cases[] = {
        {L"http://client.vexatarn.com/update/ConfigTnVexa.htm", true, L"client.vexatarn.com", 80,
         L"update/ConfigTnVexa.htm"},
        {L"HTTP://Host.Example/a?b=c", true, L"Host.Example", 80, L"a?b=c"},
        {L"http://127.0.0.1:8123/active.htm?tag=x&count=1", true, L"127.0.0.1", 8123,
         L"active.htm?tag=x&count=1"},
        {L"http://host.example", true, L"host.example", 80, L""},
        {L"http://host.example/", true, L"host.example", 80, L""},
        {L"http://host.example:8080", true, L"host.example", 8080, L""},
        {L"http://host.example:", true, L"host.example", 0, L""},         // port 0: the default
        {L"http://host.example:12ab/x", true, L"host.example", 12, L"x"}, // digits up to a non-digit
        {L"http://host.example:70000/x", true, L"host.example", 70000 - 65536, L"x"}, // cut to 16 bits
        {L"http://host.example/a/b:9", true, L"host.example", 80, L"a/b:9"},
        {L"https://host.example/x", false, L"", 0, L""},
        {L"ftp://host.example/x", false, L"", 0, L""},
        {L"http:/host.example", false, L"", 0, L""},
        {L"", false, L"", 0, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.url).c_str());
        net::HttpUrlParts parts;
        ASSERT_EQ(net::SplitHttpUrl(c.url, parts), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.port, c.port);
        EXPECT_EQ(parts.path, c.path);
    }
}

TEST(SplitHttpUrl, PartsUpToTheirBuffersAreKeptLongerOnesRefused) {
    const std::wstring host259(259, L'h'), path511(511, L'p');
    net::HttpUrlParts parts;
    ASSERT_TRUE(net::SplitHttpUrl(L"http://" + host259 + L"/" + path511, parts));
    EXPECT_EQ(parts.host, host259);
    EXPECT_EQ(parts.path, path511);
    EXPECT_FALSE(net::SplitHttpUrl(L"http://" + host259 + L"h/x", parts));
    EXPECT_FALSE(net::SplitHttpUrl(L"http://h/" + path511 + L"p", parts));
}

TEST(IsTrustedUrl, OnlyAPlainHttpHostInsideATrustedDomain) {
    struct Case {
        const wchar_t* url;
        bool trusted;
    };
    const Case cases[] = {
        {L"http://vexatarn.com/NewTnVexa.exe", true},
        {L"http://dl.vexacdn.com/x/NewTnVexa.exe", true},
        {L"http://a.b.vexagame.com:8080/x", true},
        {L"HTTP://DL.VEXACDN.COM/X.EXE", true}, // host names ignore case
        {L"http://dl.vexacdn.com", true},
        {L"http://evil.example/?vexatarn.com", false},
        {L"http://vexatarn.com.evil.example/x", false},
        {L"http://evil.example/?x=vexatarn.com", false},
        {L"http://evil.example?x=vexatarn.com", false},
        {L"http://evil.example#vexatarn.com", false},
        {L"http://evil.example/#vexatarn.com", false},
        {L"http://vexatarn.com@evil.example/x", false},
        {L"http://user@dl.vexacdn.com/x", false}, // user information is refused outright
        {L"http://evilvexatarn.com/x", false},
        {L"http://dl.vexacdn.com:80x/x", false},
        {L"http://dl.vexacdn.com./x", false},
        {L"https://dl.vexacdn.com/x", false},
        {L"ftp://dl.vexacdn.com/x", false},
        {L"dl.vexacdn.com/x", false},
        {L"http:///vexatarn.com", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.url).c_str());
        EXPECT_EQ(net::IsTrustedUrl(c.url, L""), c.trusted);
    }
}

TEST(IsTrustedUrl, ThePublisherOverrideHostIsTrustedWithoutItsPort) {
    EXPECT_TRUE(net::IsTrustedUrl(L"http://127.0.0.1:4711/NewTnVexa.exe", L"127.0.0.1:4711"));
    EXPECT_TRUE(net::IsTrustedUrl(L"http://127.0.0.1/NewTnVexa.exe", L"127.0.0.1:4711"));
    EXPECT_TRUE(net::IsTrustedUrl(L"http://dl.stand.in/x", L"stand.in"));
    EXPECT_FALSE(net::IsTrustedUrl(L"http://127.0.0.2:4711/x", L"127.0.0.1:4711"));
    EXPECT_FALSE(net::IsTrustedUrl(L"http://evil.example/?127.0.0.1", L"127.0.0.1"));
    EXPECT_FALSE(net::IsTrustedUrl(L"http://evil.example/x", L""));
}

TEST(ProgressPercent, IntegerPercentWithoutOverflowAndCappedAt100) {
    struct Case {
        uint64_t total;
        uint32_t length;
        uint32_t percent;
    };
    const uint32_t mb100 = 100u * 1024 * 1024;
    const Case cases[] = {
        {0, 1000, 0},
        {999, 1000, 99},
        {1000, 1000, 100},
        {50u * 1024 * 1024, mb100, 50}, // beyond 41 MB, where a 32-bit product wraps
        {mb100 - 1, mb100, 99},
        {mb100, mb100, 100},
        {0xFFFFFFFFull, 0xFFFFFFFFu, 100},
        {0, 0, 100}, // nothing announced: complete as soon as it is done
        {1200, 1000, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(net::ProgressPercent(c.total, c.length), c.percent) << c.total;
}

TEST(NextReadSize, ReadsGrowWhileFastAndShrinkWhenSlowWithinTheirBounds) {
    struct Case {
        uint32_t current, chunk, got;
        uint64_t micros;
        uint32_t next;
        const char* why;
    };
    const uint32_t max = net::kMaxReadBytes;
    const Case cases[] = {
        {512, 512, 512, 1000, 1024, "a full, quick read doubles"},
        {512, 512, 300, 1000, 512, "a short read says the body or the link ran dry"},
        {4096, 512, 4096, 30000, 4096, "between half the target and the target it stays"},
        {4096, 512, 4096, 80000, 2048, "a slow read halves"},
        {512, 512, 512, 900000, 512, "never below the caller's chunk"},
        {max, 512, max, 1000, max, "never above the largest read"},
        {max / 2 + 512, 512, max, 1000, max, "doubling stops at the largest read"},
        {2 * max, 2 * max, 2 * max, 1000, 2 * max, "a chunk above the largest read is kept"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(net::NextReadSize(c.current, c.chunk, c.got, c.micros), c.next) << c.why;
}

} // namespace

namespace {

TEST(RedirectTarget, AbsoluteHttpOrAPathOnTheSameHostOnly) {
    const wchar_t* from = L"http://h.example:81/dl/a.exe?x";
    EXPECT_EQ(net::RedirectTarget(from, L"HTTP://o.example/b"), L"HTTP://o.example/b");
    EXPECT_EQ(net::RedirectTarget(from, L"/c/d.exe"), L"http://h.example:81/c/d.exe");
    EXPECT_EQ(net::RedirectTarget(L"http://h.example", L"/c"), L"http://h.example/c");
    for (const wchar_t* refused : {L"https://o.example/b", L"//o.example/b", L"d.exe", L""})
        EXPECT_EQ(net::RedirectTarget(from, refused), L"") << refused;
    EXPECT_TRUE(net::IsRedirectStatus(302) && net::IsRedirectStatus(308));
    EXPECT_FALSE(net::IsRedirectStatus(200) || net::IsRedirectStatus(304));
}

} // namespace
