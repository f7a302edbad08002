// The signed download's two threads and its cancel, driven from this (UI) thread as the
// dialogs drive them: progress and outcome arrive here, and nothing after a cancel; what it
// refuses, and the hold on what it verified.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "base/md5.h"
#include "net/download_job_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

using wintest::PublisherFixture;

class DownloadJobTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = new PublisherFixture;
        // The override makes the stand-in a trusted host for this process.
        ASSERT_TRUE(s_server->Start(R"({"routes": {
            "/dl/ok.exe": {"size": 300000},
            "/dl/short.exe": {"size": 300000, "short_by": 1},
            "/dl/empty.exe": {"body": ""},
            "/dl/unsigned.exe": {"size": 1000, "sign": false},
            "/dl/crawl.exe": {"size": 2000000, "rate": 40000}
        }})"));
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { s_server->ClearLog(); }

    // Starts the signed download of source (signed for its own file name) and records what
    // reaches this thread.
    void Start(net::DownloadJob& job, const std::wstring& source, net::HeldFor use = net::HeldFor::Rename) {
        net::SignedDownload request;
        request.source = source;
        request.destination = s_server->WorkDir() + L"NewTnVexa.exe";
        request.signedName = source.substr(source.rfind(L'/') + 1);
        request.md5 = true;
        request.use = use;
        ASSERT_TRUE(job.Start(
            request, m_held,
            [this](uint32_t percent) {
                m_progress.push_back(percent);
                m_events.push_back("progress");
            },
            [this](bool success) {
                m_outcomes.push_back(success);
                m_events.push_back("done");
            }));
    }

    std::shared_ptr<net::HeldDownload> m_held = std::make_shared<net::HeldDownload>();
    static PublisherFixture* s_server;
    std::vector<uint32_t> m_progress;
    std::vector<bool> m_outcomes;
    std::vector<std::string> m_events;
};
PublisherFixture* DownloadJobTest::s_server = nullptr;

TEST_F(DownloadJobTest, OutcomeOfEachDownloadArrivesOnceAfterItsProgress) {
    struct Case {
        std::wstring source;
        bool success;
        uint32_t lastProgress; // 0: no progress expected
        size_t requests;
        const char* why;
        net::HeldFor use = net::HeldFor::Rename;
    };
    const std::wstring base = s_server->BaseUrl();
    const std::wstring cutOff = base + L"/dl/ok.exe?" + std::wstring(500, L'x');
    const Case cases[] = {
        {base + L"/dl/ok.exe", true, 100, 2, "complete: the bar shows 100 before the end"},
        {base + L"/dl/ok.exe", true, 100, 2, "complete, held read-only for its start", net::HeldFor::Start},
        {base + L"/dl/short.exe", false, 99, 2, "one byte short"},
        {base + L"/dl/empty.exe", true, 100, 2, "empty body: a full bar, no division by zero"},
        {base + L"/dl/unsigned.exe", false, 0, 1, "no signature: the file is not fetched"},
        {cutOff, false, 0, 0, "longer than a configuration can give: cut off, no request"},
        {L"http://evil.example/?" + s_server->Host() + L"/dl/ok.exe", false, 0, 0, "untrusted: no request"},
        {L"http://" + s_server->Host() + L"@evil.example/dl/ok.exe", false, 0, 0,
         "user information: no request"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        m_progress.clear();
        m_outcomes.clear();
        m_events.clear();
        s_server->ClearLog();
        *m_held = {};
        net::DownloadJob job;
        Start(job, c.source, c.use);
        ASSERT_TRUE(wintest::PumpUntil([&] { return !m_outcomes.empty(); }, 20000));
        // Once both threads have ended, whatever they posted is queued here.
        EXPECT_TRUE(job.Wait(5000));
        wintest::PumpPending();
        EXPECT_EQ(m_outcomes, std::vector<bool>{c.success});
        EXPECT_EQ(m_events.back(), "done");
        EXPECT_EQ(m_progress.empty() ? 0u : m_progress.back(), c.lastProgress);
        EXPECT_EQ(job.Succeeded(), c.success);
        EXPECT_EQ(s_server->Requests().size(), c.requests);
        EXPECT_EQ(m_held->file.IsValid(), c.success);
        if (!c.success) continue;
        // The bytes verified are the bytes held: while the hold lasts nobody can write, delete
        // or rename the file, and its digest is that of what the server sent.
        const std::wstring path = s_server->WorkDir() + L"NewTnVexa.exe";
        for (DWORD access : {DWORD{GENERIC_WRITE}, DWORD{FILE_APPEND_DATA}, DWORD{DELETE}})
            EXPECT_FALSE(base::Handle(CreateFileW(path.c_str(), access,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                  nullptr, OPEN_EXISTING, 0, nullptr)))
                << access;
        EXPECT_FALSE(MoveFileW(path.c_str(), (path + L".moved").c_str()));
        std::string bytes(400000, '\0');
        DWORD read = 0;
        OVERLAPPED start{};
        ReadFile(m_held->file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, &start);
        bytes.resize(read);
        EXPECT_EQ(m_held->md5Hex, base::Md5HexOf(bytes));
        m_held->file.Reset();
    }
}

TEST_F(DownloadJobTest, CancelStopsEveryReportAndEndsTheThreads) {
    net::DownloadJob job;
    Start(job, s_server->BaseUrl() + L"/dl/crawl.exe");
    ASSERT_TRUE(wintest::PumpUntil([&] { return m_progress.size() >= 2; }, 20000));
    job.Cancel();
    const size_t reported = m_events.size();
    EXPECT_TRUE(job.Wait(10000));         // the closed request makes the pending read fail
    wintest::PumpPending();               // what the ended threads posted
    EXPECT_EQ(m_events.size(), reported); // no progress and no outcome after the cancel
    EXPECT_TRUE(m_outcomes.empty());
    EXPECT_FALSE(job.Succeeded());
    // The output file was closed by the download thread: it can be deleted now.
    EXPECT_TRUE(DeleteFileW((s_server->WorkDir() + L"NewTnVexa.exe").c_str()));
    EXPECT_FALSE(m_held->file);
}

TEST_F(DownloadJobTest, DestroyingARunningJobCancelsIt) {
    {
        net::DownloadJob job;
        Start(job, s_server->BaseUrl() + L"/dl/crawl.exe");
        ASSERT_TRUE(wintest::PumpUntil([&] { return !m_progress.empty(); }, 20000));
    }
    const size_t reported = m_events.size();
    wintest::PumpPending(); // the job waited for its threads as it went
    EXPECT_EQ(m_events.size(), reported);
}

TEST_F(DownloadJobTest, AllWaitsAfterACancelShareOneBound) {
    // Work that a cancel can't interrupt, like a connect that closing its handles does not end.
    static std::atomic<bool> working{false};
    static const base::Handle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    DWORD cancelled = 0;
    {
        net::DownloadJob job(400);
        ASSERT_TRUE(job.Start(
            [](net::HttpRequestHandles&, const net::FetchProgress&) {
                working = true;
                return WaitForSingleObject(release.Get(), 30000), 1;
            },
            nullptr, nullptr));
        ASSERT_TRUE(wintest::PumpUntil([] { return working.load(); }, 10000));
        cancelled = GetTickCount();
        job.Cancel();
        EXPECT_FALSE(job.Wait(10000));
        EXPECT_FALSE(job.Wait(10000));
    } // and the job's own wait as it goes
    EXPECT_LT(GetTickCount() - cancelled, 2000u);
    SetEvent(release.Get()); // the work left running ends
}

} // namespace
