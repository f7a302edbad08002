// The GET procedure against the stand-in publisher: what the server receives, and how status,
// Content-Length and body shape decide a fetch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/http_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

using wintest::PublisherFixture;

std::string GeneratedBody(size_t size) { // the stand-in's deterministic bytes
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>(i & 0xFF);
    return out;
}

class HttpTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = new PublisherFixture;
        ASSERT_TRUE(s_server->Start(R"({"routes": {
            "/ok.bin": {"body": "hello body"},
            "/missing.bin": {"status": 404, "body": "not here"},
            "/error.bin": {"status": 500, "body": "server error page"},
            "/to-ok.bin": {"status": 302, "body": "", "headers": {"Location": "/ok.bin"}},
            "/loop.bin": {"status": 302, "body": "", "headers": {"Location": "/loop.bin"}},
            "/nolength.bin": {"body": "body without length", "no_length": true},
            "/chunked.bin": {"size": 10000, "chunked": true},
            "/short.bin": {"size": 5000, "short_by": 1},
            "/empty.bin": {"body": ""},
            "/big.bin": {"size": 3000000},
            "/slow.bin": {"size": 3000, "rate": 6000}
        }})"));
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { s_server->ClearLog(); }

    static std::wstring Url(const std::wstring& path) { return s_server->BaseUrl() + path; }
    static std::wstring OutFile(const std::wstring& name) { return s_server->WorkDir() + name; }

    static PublisherFixture* s_server;
};
PublisherFixture* HttpTest::s_server = nullptr;

TEST_F(HttpTest, FetchSucceedsOnlyWhenTheAnnouncedBodyArrived) {
    struct Case {
        const wchar_t* path;
        bool ok;
        long fileSize; // -1: no file written
        const char* why;
    };
    const Case cases[] = {
        {L"/ok.bin", true, 10, "200 with Content-Length"},
        {L"/error.bin", false, -1, "only a 200 counts, not a server error with a body"},
        {L"/to-ok.bin", true, 10, "a redirect to a trusted host is followed"},
        {L"/loop.bin", false, -1, "a chain of redirects ends after a bounded number of hops"},
        {L"/missing.bin", false, -1, "404 fails before the file is opened"},
        {L"/nolength.bin", false, -1, "no Content-Length fails even with a body"},
        {L"/chunked.bin", false, -1, "a chunked body has no Content-Length"},
        {L"/short.bin", false, 4999, "a body one byte short fails and stays on disk"},
        {L"/empty.bin", true, 0, "an empty body announced as empty is complete"},
        {L"/slow.bin", true, 3000, "a slow body is waited for"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::wstring file = OutFile(L"fetch" + std::to_wstring(n++) + L".bin");
        EXPECT_EQ(net::HttpFetchToFile(Url(c.path), file, 512), c.ok);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        const bool exists = GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) != FALSE;
        EXPECT_EQ(exists ? long(data.nFileSizeLow) : -1L, c.fileSize);
    }
    std::string body;
    ASSERT_TRUE(wintest::ReadFileBytes(OutFile(L"fetch0.bin"), body));
    EXPECT_EQ(body, "hello body");
    EXPECT_FALSE(net::HttpFetchToMemory(Url(L"/ok.bin"), body, 9)) << "announced above the limit";
    EXPECT_TRUE(net::HttpFetchToMemory(Url(L"/ok.bin"), body, 10));
    EXPECT_EQ(body, "hello body");
}

// The signed download reads the body straight into its digests' buffers: every piece must land in
// the space it was given, never past its end, and a fetch with nowhere to read must end.
TEST_F(HttpTest, ABodyReadIntoTheCallersSpaceStaysInsideIt) {
    std::vector<char> buffer(1000);
    size_t offered = 0, turn = 0;
    std::string body;
    bool outside = false;
    const net::BodySpace space = [&] {
        offered = 1 + turn++ * 337 % buffer.size(); // odd sizes, from one byte to all of it
        return std::span(buffer.data(), offered);
    };
    const net::BodyWriter write = [&](const char* data, DWORD n) {
        outside |= data != buffer.data() || n > offered;
        body.append(data, n);
        return true;
    };
    EXPECT_TRUE(net::HttpFetchBody(Url(L"/big.bin"), 512, write, nullptr, nullptr, 1u << 30, space));
    EXPECT_FALSE(outside);
    EXPECT_TRUE(body == GeneratedBody(3000000)) << body.size() << " bytes";

    const net::BodySpace none = [] { return std::span<char>(); };
    EXPECT_FALSE(net::HttpFetchBody(Url(L"/big.bin"), 512, write, nullptr, nullptr, 1u << 30, none));
}

TEST_F(HttpTest, RequestLineAndFixedHeadersAsTheServerReceivedThem) {
    ASSERT_TRUE(net::HttpFetchToFile(Url(L"/ok.bin?a=1&b=%41"), OutFile(L"attrs.bin"), 1024));
    ASSERT_TRUE(s_server->WaitForRequests(1, 5000));
    const auto requests = s_server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& r = requests[0];
    EXPECT_EQ(r.requestLine, "GET /ok.bin?a=1&b=%41 HTTP/1.1");
    EXPECT_EQ(r.Header("User-Agent"), "ZRB");
    // The blank after "zh-cn" is sent; Wine's WinINet trims header values before writing them.
    const std::string language = r.Header("Accept-Language");
    EXPECT_TRUE(language == "zh-cn " || language == "zh-cn") << language;
    EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.Header("Host"), "127.0.0.1:" + std::to_string(s_server->Port()));
    // Nothing else: keeping the body out of the cache is no business of the server's. (A cookie
    // that the prefix holds for this host is the library's to send, whatever the request says.)
    std::vector<std::string> names;
    for (const auto& [name, value] : r.headers)
        if (name != "Cookie") names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Host", "User-Agent", "Accept-Language", "Content-Type"}));
    // ...and the body was not written into the URL cache a second time.
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoW(Url(L"/ok.bin?a=1&b=%41").c_str(), nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(HttpTest, ProgressAfterEveryChunkReachesOneHundred) {
    std::vector<uint32_t> seen;
    const net::FetchProgress progress = [&](uint32_t percent, uint64_t, uint32_t) {
        seen.push_back(percent);
    };
    ASSERT_TRUE(net::HttpFetchToFile(Url(L"/big.bin"), OutFile(L"big.bin"), 1024, &progress));
    ASSERT_FALSE(seen.empty());
    EXPECT_GE(seen.size(), 3000000u / 1024); // at least one call per full chunk
    for (size_t i = 1; i < seen.size(); ++i)
        ASSERT_LE(seen[i - 1], seen[i]) << i;
    EXPECT_EQ(seen.back(), 100u);
    std::string body;
    ASSERT_TRUE(wintest::ReadFileBytes(OutFile(L"big.bin"), body));
    EXPECT_TRUE(body == GeneratedBody(3000000));

    seen.clear(); // an empty body still ends with a full display, without dividing by zero
    ASSERT_TRUE(net::HttpFetchToFile(Url(L"/empty.bin"), OutFile(L"empty.bin"), 512, &progress));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100u);
}

TEST_F(HttpTest, UnopenableFileAndUnreachableServerFail) {
    EXPECT_FALSE(net::HttpFetchToFile(Url(L"/ok.bin"), OutFile(L"no-such-folder\\x.bin"), 512));
    EXPECT_FALSE(net::HttpFetchToFile(L"http://127.0.0.1:1/ok.bin", OutFile(L"x.bin"), 512));
}

TEST_F(HttpTest, CancelFromAnotherThreadEndsTheFetch) {
    ASSERT_TRUE(s_server->SetScenario(R"({"routes": {"/crawl.bin": {"size": 400000, "rate": 20000}}})"));
    net::HttpRequestHandles handles;
    struct Job {
        std::wstring url, file;
        net::HttpRequestHandles* handles;
        bool result = true;
    } job{Url(L"/crawl.bin"), OutFile(L"crawl.bin"), &handles};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* j = static_cast<Job*>(p);
            j->result = net::HttpFetchToFile(j->url, j->file, 512, nullptr, j->handles);
            return 0;
        },
        &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // In the middle of the body: the request has arrived and the body crawls for 20 s.
    EXPECT_TRUE(s_server->WaitForRequests(1, 10000));
    handles.Cancel();
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(job.result);
}

TEST_F(HttpTest, PingSchemeAndPortRules) {
    const std::wstring query = L"/active.htm?tag=tnvexa&ver=3.0.0.1&count=5";
    const std::wstring hostPort = s_server->Host();
    EXPECT_TRUE(net::HttpPing(L"HTTP://" + hostPort + query)); // scheme case ignored
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_FALSE(net::HttpPing(L"https://" + hostPort + query)); // never requested
    EXPECT_FALSE(net::HttpPing(L"ftp://" + hostPort + query));
    EXPECT_FALSE(net::HttpPing(L"http://127.0.0.1:1/active.htm")); // nobody listens on port 1
    EXPECT_NE(GetLastError(), 0u);
    // The stand-in logs a request before it answers: what a finished call sent is in the log.
    const auto requests = s_server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /active.htm?tag=tnvexa&ver=3.0.0.1&count=5 HTTP/1.1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "ZRB");
}

TEST_F(HttpTest, ARedirectToAnUntrustedHostIsNotFollowed) {
    // Loopback under another name: a request there would reach the stand-in and show in its log.
    ASSERT_TRUE(s_server->SetScenario(R"({"routes": {"/away.bin": {"status": 302, "body": "",
        "headers": {"Location": "http://localhost:)" +
                                      std::to_string(s_server->Port()) + R"(/ok.bin"}}}})"));
    std::string body;
    EXPECT_FALSE(net::HttpFetchToMemory(Url(L"/away.bin"), body, 100));
    const auto requests = s_server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/away.bin");
}

} // namespace
