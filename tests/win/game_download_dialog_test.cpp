// The game client download dialog against the stand-in publisher: the configuration's address
// and file, the outcomes with their titles and buttons, the label, the client started and
// removed, and a cancel that leaves nothing running and nothing behind.
#include "mainwnd/game_download_dialog_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

bool Exists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<size_t> g_startedSizes; // the client's size whenever one was started
bool RecordStart(HANDLE held) {
    LARGE_INTEGER size{};
    ::GetFileSizeEx(held, &size);
    g_startedSizes.push_back(static_cast<size_t>(size.QuadPart));
    return true;
}

class TestDlg : public mainwnd::GameDownloadDialog {
public:
    explicit TestDlg(const wchar_t* name) : mainwnd::GameDownloadDialog(name, nullptr, RecordStart) {}
    std::vector<std::pair<int, std::wstring>> shown; // bar position and label after each progress
    std::wstring ends;                               // title and buttons 1, 2 (+/-) when the worker ended
    std::function<void(TestDlg&)> onInit, onProgress;
    using mainwnd::GameDownloadDialog::Working;
    std::wstring Folder() const { return LocalFile().substr(0, LocalFile().rfind(L'\\')); }

protected:
    BOOL OnInitDialog() override {
        const BOOL r = mainwnd::GameDownloadDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return r;
    }
    void OnProgress(uint32_t percent) override {
        mainwnd::GameDownloadDialog::OnProgress(percent);
        shown.emplace_back(Progress().GetPos(), PercentLabel().Text());
        if (onProgress) onProgress(*this);
    }
    void OnWorkDone(Outcome outcome) override {
        mainwnd::GameDownloadDialog::OnWorkDone(outcome);
        ends += GetWindowText() + (::IsWindowEnabled(GetDlgItem(IDOK)) ? L"+" : L"-") +
                (::IsWindowEnabled(GetDlgItem(IDCANCEL)) ? L"+" : L"-");
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); // the player closes the finished dialog
    }
};

class DownGameTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(s_server.Start(R"({"routes": {}})")); }
    static void TearDownTestSuite() { s_server.Stop(); }

    // Game Mygame's configuration (with this status) names addr; the client route is given.
    static void Serve(const std::string& addr, const std::string& client, int status = 200) {
        g_startedSizes.clear();
        ASSERT_TRUE(s_server.SetScenario(R"({"routes": {"/update/ConfigMygame.htm": {"status": )" +
                                         std::to_string(status) + R"(, "body": "[VerKey]\r\nUpdAddr=)" +
                                         addr + R"(\r\n"}, "/dl/Mygame.exe": )" + client + "}}"));
        s_server.ClearLog();
    }
    static std::string Paths() {
        std::string paths;
        for (const auto& r : s_server.Requests())
            paths += r.path + " ";
        return paths;
    }
    static std::string Dl() {
        const std::wstring base = s_server.BaseUrl();
        return std::string(base.begin(), base.end()) + "/dl/Mygame.exe";
    }
    static inline wintest::PublisherFixture s_server;
};

TEST_F(DownGameTest, OutcomesSetTitleAndButtonsStartOnlyASignedClientAndLeaveNoFiles) {
    // A file of the program's own that the game's name + ".ini" would once have named.
    const std::wstring iniBeside = wintest::ExeFolder() + L"Mygame.ini";
    ASSERT_TRUE(wintest::WriteFileBytes(iniBeside, "[Own]\r\nkept=1\r\n"));
    const std::string both = "/update/ConfigMygame.htm /dl/Mygame.exe.sig /dl/Mygame.exe ",
                      sig = "/update/ConfigMygame.htm /dl/Mygame.exe.sig ", cfg = "/update/ConfigMygame.htm ";
    const std::wstring host(s_server.Host());
    const struct {
        const char* why;
        std::string addr, client;
        int status;
        const wchar_t* ends;
        std::string paths;
    } cases[] = {
        {"complete and signed", Dl(), R"({"size": 200000})", 200, L"下载完成+-", both},
        {"not signed", Dl(), R"({"size": 200000, "sign": false})", 200, L"下载失败+-", sig},
        {"address cut off", Dl() + "?" + std::string(500, 'x'), "{}", 200, L"下载失败+-", cfg},
        {"untrusted", "http://evil.example/x?" + std::string(host.begin(), host.end()), "{}", 200,
         L"下载失败+-", cfg},
        {"no address", "", "{}", 200, L"下载失败+-", cfg},
        {"one byte short", Dl(), R"({"size": 200000, "short_by": 1})", 200, L"下载失败+-", both},
        {"no configuration", Dl(), "{}", 404, L"下载失败-+", cfg},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Serve(c.addr, c.client, c.status);
        TestDlg dlg(L"Mygame");
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.ends, c.ends);
        EXPECT_EQ(Paths(), c.paths);
        EXPECT_EQ(dlg.ConfigUrl(), s_server.BaseUrl() + L"/update/ConfigMygame.htm");
        std::string own;
        EXPECT_TRUE(wintest::ReadFileBytes(iniBeside, own) && own == "[Own]\r\nkept=1\r\n");
        EXPECT_FALSE(Exists(dlg.LocalFile()));
        EXPECT_FALSE(Exists(dlg.Folder()));
        EXPECT_EQ(g_startedSizes,
                  std::vector<size_t>(std::wstring(c.ends).starts_with(L"下载完成") ? 1 : 0, 200000));
        for (const auto& [pos, label] : dlg.shown)
            EXPECT_EQ(label, L"已加载  " + std::to_wstring(pos) + L"%");
    }
    ::DeleteFileW(iniBeside.c_str());
}

TEST_F(DownGameTest, EscAndEnterDoNothingAndACancelLeavesNoWorkerNoFileNoLaterChange) {
    Serve(Dl(), R"({"size": 2000000, "rate": 50000})");
    TestDlg dlg(L"Mygame");
    bool openAfterKeys = false;
    DWORD closedAt = 0;
    dlg.onProgress = [&](TestDlg& d) {
        if (d.shown.size() == 1) {
            d.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            d.PostMessage(WM_COMMAND, IDOK, 0); // Enter while button 1 is disabled
        } else if (d.shown.size() == 3) {
            // Two more percents have come in since: the keys were handled, the download goes on.
            openAfterKeys = ::IsWindowVisible(d.m_hWnd) != FALSE;
            closedAt = ::GetTickCount();
            d.PostMessage(WM_COMMAND, ui::SkinnedDialog::kIdClose, 0);
        }
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_NE(closedAt, 0u);
    EXPECT_LT(::GetTickCount() - closedAt, 5000u);
    EXPECT_TRUE(openAfterKeys);
    EXPECT_FALSE(dlg.Working()) << "the worker stopped before the dialog ended";
    const size_t shownAtEnd = dlg.shown.size();
    wintest::PumpPending(); // what the stopped worker posted
    EXPECT_EQ(dlg.shown.size(), shownAtEnd);
    EXPECT_EQ(dlg.ends, L"") << "no title change after the cancel";
    EXPECT_TRUE(g_startedSizes.empty());
    EXPECT_FALSE(Exists(dlg.LocalFile()));
    EXPECT_FALSE(Exists(dlg.Folder()));

    // Without a usable name: no request, no folder, and the dialog waits to be closed.
    for (const wchar_t* name : {L"", L"..\\..\\evil"}) {
        Serve(Dl(), "{}");
        TestDlg idle(name);
        idle.onInit = [](TestDlg& d) { d.PostMessage(WM_COMMAND, IDCANCEL, 0); };
        EXPECT_EQ(idle.DoModal(), IDCANCEL);
        EXPECT_TRUE(idle.LocalFile().empty());
        EXPECT_EQ(Paths(), "");
    }
}

} // namespace
