// The game client download dialog against the stand-in publisher: where the configuration comes
// from and goes, the outcomes with their titles and buttons, the label, the start of the client
// and the removal of its file, and a cancel that leaves nothing running and nothing behind.
#include "web/down_game_dlg_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "publisher_fixture.h"
#include "web/gm_page_state_win.h"
#include "win_test_support.h"

namespace {

using wintest::PublisherFixture;

bool Exists(const std::wstring& path) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// What the dialog started, and how big the file was at that moment.
std::vector<std::pair<std::wstring, std::string>> g_started;
bool RecordStart(const std::wstring& path) {
    std::string bytes;
    wintest::ReadFileBytes(path, bytes);
    g_started.emplace_back(path, bytes);
    return true;
}

class TestDlg : public CDownGameDlg {
public:
    explicit TestDlg(const wchar_t* name) : CDownGameDlg(name, nullptr) {}

    std::vector<std::pair<int, std::wstring>> shown; // bar position and label after each progress
    std::vector<std::wstring> titles;                // the title when the worker ended
    bool okEnabled = false, cancelEnabled = false;
    std::function<void(TestDlg&)> onInit, onProgress;

    bool Working() const { return m_job.Running(); }

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CDownGameDlg::OnInitDialog();
        if (onInit) onInit(*this);
        return r;
    }
    void OnProgress(uint32_t percent) override {
        CDownGameDlg::OnProgress(percent);
        shown.emplace_back(m_progress.GetPos(), m_stcPercent.m_strText);
        if (onProgress) onProgress(*this);
    }
    void OnWorkDone(int outcome) override {
        CDownGameDlg::OnWorkDone(outcome);
        titles.push_back(GetWindowText());
        okEnabled = ::IsWindowEnabled(m_btnOK.m_hWnd);
        cancelEnabled = ::IsWindowEnabled(m_btnCancel.m_hWnd);
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); // the player closes the finished dialog
    }
};

class DownGameTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_server = new PublisherFixture;
        ASSERT_TRUE(s_server->Start(R"({"routes": {}})"));
        web::Seams().startProgram = RecordStart;
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { g_started.clear(); }

    // The configuration of game Mygame naming addr, and the client's route.
    static void Serve(const std::string& addr, const std::string& client, int status = 200) {
        ASSERT_TRUE(s_server->SetScenario(R"({"routes": {"/update/ConfigMygame.htm": {"status": )" +
                                          std::to_string(status) + R"(, "body": "[VerKey]\r\nUpdAddr=)" +
                                          addr + R"(\r\n"}, "/dl/Mygame.exe": )" + client + "}}"));
        s_server->ClearLog();
    }
    static std::vector<std::string> Paths() {
        std::vector<std::string> paths;
        for (const auto& r : s_server->Requests())
            paths.push_back(r.path);
        return paths;
    }
    static std::string Dl() { return Narrow(s_server->BaseUrl()) + "/dl/Mygame.exe"; }
    static PublisherFixture* s_server;
};
PublisherFixture* DownGameTest::s_server = nullptr;

TEST_F(DownGameTest, OutcomesSetTitleButtonsAndLeaveNoFiles) {
    const std::string cfg = "/update/ConfigMygame.htm", dl = "/dl/Mygame.exe";
    const std::wstring iniBeside = wintest::ExeFolder() + L"Mygame.ini";
    const struct {
        const char* why;
        std::string addr, client;
        int status;
        bool blockIni; // a folder where the configuration file goes
        const wchar_t* title;
        bool okEnabled;
        std::vector<std::string> paths;
    } cases[] = {
        {"complete: started", Dl(), R"({"size": 200000})", 200, false, L"下载完成", true, {cfg, dl}},
        {"untrusted address: nothing downloaded",
         "http://evil.example/x.exe?" + Narrow(s_server->Host()),
         R"({"size": 10})",
         200,
         false,
         L"下载失败",
         true,
         {cfg}},
        {"no address", "", R"({"size": 10})", 200, false, L"下载失败", true, {cfg}},
        {"one byte short",
         Dl(),
         R"({"size": 200000, "short_by": 1})",
         200,
         false,
         L"下载失败",
         true,
         {cfg, dl}},
        {"no configuration", Dl(), R"({"size": 10})", 404, false, L"下载失败", false, {cfg}},
        {"configuration file can't be stored beside the program",
         Dl(),
         R"({"size": 10})",
         200,
         true,
         L"下载失败",
         false,
         {cfg}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Serve(c.addr, c.client, c.status);
        g_started.clear();
        if (c.blockIni) {
            ASSERT_TRUE(::CreateDirectoryW(iniBeside.c_str(), nullptr));
        }
        TestDlg dlg(L"Mygame");
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        if (c.blockIni) ::RemoveDirectoryW(iniBeside.c_str());
        EXPECT_EQ(dlg.m_strConfigUrl, s_server->BaseUrl() + L"/update/ConfigMygame.htm");
        EXPECT_EQ(dlg.titles, std::vector<std::wstring>{c.title});
        EXPECT_EQ(dlg.okEnabled, c.okEnabled);
        EXPECT_EQ(dlg.cancelEnabled, !c.okEnabled);
        EXPECT_EQ(Paths(), c.paths);
        EXPECT_FALSE(Exists(iniBeside));
        EXPECT_FALSE(Exists(dlg.m_strLocalFile)) << "the client file is removed";
        const std::wstring folder = dlg.m_strLocalFile.substr(0, dlg.m_strLocalFile.rfind(L'\\'));
        EXPECT_FALSE(Exists(folder));
        if (std::wstring(c.title) == L"下载完成") {
            ASSERT_EQ(g_started.size(), 1u);
            EXPECT_EQ(g_started[0].first, dlg.m_strLocalFile);
            EXPECT_EQ(g_started[0].second.size(), 200000u) << "started once complete";
            EXPECT_EQ(dlg.m_strLocalFile.substr(dlg.m_strLocalFile.size() - 11), L"\\Mygame.exe");
            ASSERT_FALSE(dlg.shown.empty());
            for (const auto& [pos, label] : dlg.shown)
                EXPECT_EQ(label, L"已加载  " + std::to_wstring(pos) + L"%");
            EXPECT_EQ(dlg.shown.back().first, 100);
        } else {
            EXPECT_TRUE(g_started.empty());
        }
    }
}

TEST_F(DownGameTest, EscAndEnterDoNothingAndACancelLeavesNothingBehind) {
    Serve(Dl(), R"({"size": 2000000, "rate": 50000})");
    TestDlg dlg(L"Mygame");
    bool openAfterKeys = false;
    DWORD closedAt = 0;
    dlg.onProgress = [&](TestDlg& d) {
        if (d.shown.size() == 1) {
            d.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            d.PostMessage(WM_COMMAND, IDOK, 0); // Enter while button 1 is disabled
        } else if (d.shown.size() == 3) {
            // Two more percents have come in: the keys were handled and the download goes on.
            openAfterKeys = ::IsWindowVisible(d.m_hWnd) != FALSE;
            wintest::SaveWindowShot(d.m_hWnd, L"down_game_dlg");
            closedAt = ::GetTickCount();
            d.PostMessage(WM_COMMAND, CDlgEx::kIdClose, 0);
        }
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    const DWORD cancelMs = ::GetTickCount() - closedAt;
    EXPECT_TRUE(openAfterKeys);
    ASSERT_NE(closedAt, 0u);
    EXPECT_LT(cancelMs, 5000u);
    EXPECT_FALSE(dlg.Working()) << "the worker has stopped before the dialog ended";
    const size_t progressAtEnd = dlg.shown.size();
    wintest::PumpFor(500); // anything still on its way would arrive now
    EXPECT_EQ(dlg.shown.size(), progressAtEnd);
    EXPECT_TRUE(dlg.titles.empty()) << "no title change after the cancel";
    EXPECT_TRUE(g_started.empty());
    EXPECT_FALSE(Exists(dlg.m_strLocalFile));
    EXPECT_FALSE(Exists(dlg.m_strLocalFile.substr(0, dlg.m_strLocalFile.rfind(L'\\'))));
}

TEST_F(DownGameTest, NoUsableNameMeansNoRequestAndNoFolder) {
    for (const wchar_t* name : {L"", L"..\\..\\evil", L"my game"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        Serve(Dl(), R"({"size": 10})");
        TestDlg dlg(name);
        dlg.onInit = [](TestDlg& d) { d.PostMessage(WM_COMMAND, IDCANCEL, 0); };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(dlg.m_strLocalFile.empty());
        EXPECT_TRUE(dlg.titles.empty());
        EXPECT_TRUE(Paths().empty());
    }
}

} // namespace
