// The update download's two threads and its cancel, driven from this (UI) thread as the
// update dialog drives them: progress and outcome arrive here, and nothing after a cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

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
            "/dl/crawl.exe": {"size": 2000000, "rate": 40000}
        }})"));
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { s_server->ClearLog(); }

    // Starts the job and records what reaches this thread.
    void Start(net::DownloadJob& job, const std::wstring& source) {
        ASSERT_TRUE(job.Start(
            source, s_server->WorkDir() + L"NewTnVexa.exe", 512,
            [this](uint32_t percent) {
                m_progress.push_back(percent);
                m_events.push_back("progress");
            },
            [this](bool success) {
                m_outcomes.push_back(success);
                m_events.push_back("done");
            }));
    }

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
    };
    const std::wstring base = s_server->BaseUrl();
    const Case cases[] = {
        {base + L"/dl/ok.exe", true, 100, 1, "complete: the bar shows 100 before the end"},
        {base + L"/dl/short.exe", false, 99, 1, "one byte short"},
        {base + L"/dl/empty.exe", true, 100, 1, "empty body: a full bar, no division by zero"},
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
        net::DownloadJob job;
        Start(job, c.source);
        ASSERT_TRUE(wintest::PumpUntil([&] { return !m_outcomes.empty(); }, 20000));
        wintest::PumpFor(100);
        EXPECT_EQ(m_outcomes, std::vector<bool>{c.success});
        EXPECT_EQ(m_events.back(), "done");
        EXPECT_EQ(m_progress.empty() ? 0u : m_progress.back(), c.lastProgress);
        EXPECT_TRUE(job.Wait(5000));
        EXPECT_EQ(job.Succeeded(), c.success);
        EXPECT_EQ(s_server->Requests().size(), c.requests);
    }
}

TEST_F(DownloadJobTest, CancelStopsEveryReportAndEndsTheThreads) {
    net::DownloadJob job;
    Start(job, s_server->BaseUrl() + L"/dl/crawl.exe");
    ASSERT_TRUE(wintest::PumpUntil([&] { return m_progress.size() >= 2; }, 20000));
    job.Cancel();
    const size_t reported = m_events.size();
    EXPECT_TRUE(job.Wait(10000)); // the closed request makes the pending read fail
    wintest::PumpFor(1500);
    EXPECT_EQ(m_events.size(), reported); // no progress and no outcome after the cancel
    EXPECT_TRUE(m_outcomes.empty());
    EXPECT_FALSE(job.Succeeded());
    // The output file was closed by the download thread: it can be deleted now.
    EXPECT_TRUE(DeleteFileW((s_server->WorkDir() + L"NewTnVexa.exe").c_str()));
}

TEST_F(DownloadJobTest, DestroyingARunningJobCancelsIt) {
    {
        net::DownloadJob job;
        Start(job, s_server->BaseUrl() + L"/dl/crawl.exe");
        ASSERT_TRUE(wintest::PumpUntil([&] { return !m_progress.empty(); }, 20000));
    }
    const size_t reported = m_events.size();
    wintest::PumpFor(800);
    EXPECT_EQ(m_events.size(), reported);
}

TEST_F(DownloadJobTest, AllWaitsAfterACancelShareOneBound) {
    // Work that a cancel can't interrupt, like a connect that closing its handles does not end.
    static std::atomic<bool> working{false};
    DWORD cancelled = 0;
    {
        net::DownloadJob job(400);
        ASSERT_TRUE(job.Start(
            [](net::HttpRequestHandles&, const net::FetchProgress&) {
                working = true;
                return Sleep(3000), 1;
            },
            nullptr, nullptr));
        ASSERT_TRUE(wintest::PumpUntil([] { return working.load(); }, 10000));
        cancelled = GetTickCount();
        job.Cancel();
        EXPECT_FALSE(job.Wait(10000));
        EXPECT_FALSE(job.Wait(10000));
    } // and the job's own wait as it goes
    EXPECT_LT(GetTickCount() - cancelled, 2000u);
}

} // namespace
