// The update progress dialog run modally against the stand-in publisher: its result, its bar,
// the signature fetched while it is open, and the keys that must not and must end it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "app/update_progress_dialog_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

using wintest::PublisherFixture;

// Records the bar's position at the moment the download reports its end.
class RecordingPrgsDlg : public app::UpdateProgressDialog {
public:
    int m_posAtEnd = -1;
    std::function<void(RecordingPrgsDlg&)> m_onInit;
    using app::UpdateProgressDialog::Progress;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = app::UpdateProgressDialog::OnInitDialog();
        if (m_onInit) m_onInit(*this);
        return r;
    }
    void OnDownloadDone(bool success) override {
        m_posAtEnd = Progress().GetPos();
        app::UpdateProgressDialog::OnDownloadDone(success);
    }
};

class PrgsDlgTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = new PublisherFixture;
        ASSERT_TRUE(s_server->Start(R"({"routes": {
            "/dl/ok.exe": {"size": 200000},
            "/dl/short.exe": {"size": 200000, "short_by": 1},
            "/dl/crawl.exe": {"size": 2000000, "rate": 50000},
            "/dl/slowsig.exe": {"size": 1000},
            "/dl/slowsig.exe.sig": {"size": 200, "rate": 20}
        }})"));
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { s_server->ClearLog(); }

    // The download of source into the update's file, signed for source's own file name.
    static bool Download(RecordingPrgsDlg& dlg, const std::wstring& source) {
        net::SignedDownload request;
        request.source = source;
        request.destination = s_server->WorkDir() + L"NewTnVexa.exe";
        request.signedName = source.substr(source.rfind(L'/') + 1);
        net::HeldDownload held;
        const bool ok = dlg.Download(request, held);
        EXPECT_EQ(held.file.IsValid(), ok);
        return ok;
    }
    static PublisherFixture* s_server;
};
PublisherFixture* PrgsDlgTest::s_server = nullptr;

// Runs fn on this thread after ms, from inside the dialog's modal loop.
void After(UINT ms, std::function<void()> fn) {
    static std::function<void()> pending;
    pending = std::move(fn);
    SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        // fn may schedule the next step: take it out first.
        if (auto fn = std::exchange(pending, nullptr)) fn();
    });
}

// Runs fn on this thread, from inside the dialog's modal loop, once ready() answers true (asked
// every 20 ms), at the latest after timeoutMs.
void When(std::function<bool()> ready, std::function<void()> fn, DWORD timeoutMs = 15000) {
    static std::function<bool()> s_ready;
    static std::function<void()> s_fn;
    static DWORD s_start, s_timeout;
    s_ready = std::move(ready);
    s_fn = std::move(fn);
    s_start = GetTickCount();
    s_timeout = timeoutMs;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (!s_ready() && GetTickCount() - s_start < s_timeout) return;
        KillTimer(nullptr, id);
        if (auto fn = std::exchange(s_fn, nullptr)) fn();
    });
}

TEST_F(PrgsDlgTest, EndsWithOkOnlyForACompleteTrustedDownload) {
    struct Case {
        std::wstring source;
        bool ok;
        int posAtEnd;
        size_t requests;
        const char* why;
    };
    const Case cases[] = {
        {s_server->BaseUrl() + L"/dl/ok.exe", true, 100, 2,
         "complete and signed: the bar is full before the end"},
        {s_server->BaseUrl() + L"/dl/short.exe", false, 99, 2, "one byte short"},
        {L"http://evil.example/?" + s_server->Host(), false, 0, 0, "untrusted: ends at once, no request"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        s_server->ClearLog();
        RecordingPrgsDlg dlg;
        EXPECT_EQ(Download(dlg, c.source), c.ok);
        EXPECT_EQ(dlg.m_posAtEnd, c.posAtEnd);
        EXPECT_EQ(s_server->Requests().size(), c.requests);
    }
}

TEST_F(PrgsDlgTest, EnterIsIgnoredAndEscapeCancelsWithoutLaterReports) {
    RecordingPrgsDlg dlg;
    bool enterKeptItOpen = false;
    int posAtCancel = -1;
    dlg.m_onInit = [&](RecordingPrgsDlg& d) {
        // Once the bar has moved: the download runs.
        When([&d] { return d.Progress().GetPos() > 0; },
             [&] {
                 PostMessageW(d.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
                 PostMessageW(d.m_hWnd, WM_COMMAND, IDOK, 0);
                 After(300, [&] {
                     enterKeptItOpen = IsWindow(d.m_hWnd) && IsWindowVisible(d.m_hWnd);
                     posAtCancel = d.Progress().GetPos();
                     PostMessageW(d.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
                 });
             });
    };
    const DWORD start = GetTickCount();
    EXPECT_FALSE(Download(dlg, s_server->BaseUrl() + L"/dl/crawl.exe"));
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(enterKeptItOpen);
    EXPECT_GT(posAtCancel, 0);
    EXPECT_LT(posAtCancel, 100);
    wintest::PumpPending();        // the dialog waited for its download: what it posted is queued
    EXPECT_EQ(dlg.m_posAtEnd, -1); // the download's end is never reported after the cancel
}

TEST_F(PrgsDlgTest, TheSignatureIsFetchedWhileTheDialogIsOpenAndTheCloseButtonCancelsIt) {
    RecordingPrgsDlg dlg;
    bool openDuringSignature = false;
    dlg.m_onInit = [&](RecordingPrgsDlg& d) {
        When([] { return !s_server->Requests().empty(); },
             [&] {
                 openDuringSignature = IsWindowVisible(d.m_hWnd) != FALSE;
                 PostMessageW(d.m_hWnd, WM_COMMAND, ui::SkinnedDialog::kIdClose, 0);
             });
    };
    const DWORD start = GetTickCount();
    EXPECT_FALSE(Download(dlg, s_server->BaseUrl() + L"/dl/slowsig.exe"));
    EXPECT_LT(GetTickCount() - start, 8000u) << "the signature alone would take 10 s";
    EXPECT_TRUE(openDuringSignature);
    EXPECT_EQ(dlg.m_posAtEnd, -1);
    ASSERT_EQ(s_server->Requests().size(), 1u);
    EXPECT_EQ(s_server->Requests()[0].path, "/dl/slowsig.exe.sig");
}

} // namespace
