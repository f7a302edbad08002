// The message loop: PreTranslateMessage routing up the parent/owner chain, the application's
// loop ending on WM_QUIT or a GetMessage failure, idle work, and the start-up sequence.
#include "fw/fw_win.h"
#include "fw/sdi_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win_test_support.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// Logs every PreTranslateMessage offer and every probe message dispatched to it.
class ChainWnd : public CWnd {
public:
    ChainWnd(std::string name, std::string& log) : m_name(std::move(name)), m_log(log) {}
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != kProbe) return FALSE;
        m_log += "pre:" + m_name + " ";
        return eat;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kProbe) m_log += "dispatch:" + m_name + " ";
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    BOOL eat = FALSE;

private:
    std::string m_name;
    std::string& m_log;
};

// top (framework) > panel (framework) > edit (no object) ; popup (framework) owned by top.
struct Tree {
    std::string log;
    ChainWnd top{"top", log}, panel{"panel", log}, popup{"popup", log};
    HWND edit = nullptr;
    Tree() {
        top.CreateEx(0, nullptr, L"top", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr);
        panel.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top.m_hWnd, nullptr);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, panel.m_hWnd, nullptr,
                               nullptr, nullptr);
        popup.CreateEx(0, nullptr, L"popup", WS_POPUP, 0, 0, 50, 50, top.m_hWnd, nullptr);
    }
    ~Tree() { top.DestroyWindow(); }
    HWND Target(const std::string& name) const {
        return name == "edit"    ? edit
               : name == "panel" ? panel.m_hWnd
               : name == "popup" ? popup.m_hWnd
                                 : top.m_hWnd;
    }
};

TEST(FwLoop, PreTranslateWalksUpTheChainUntilOneEatsTheMessage) {
    struct Case {
        const char* target;
        const char* eater; // "" = nobody
        const char* log;
    };
    const Case cases[] = {
        // A window without an object is passed over, its ancestors still see the message.
        {"edit", "", "pre:panel pre:top "},
        {"edit", "panel", "pre:panel "},
        {"edit", "top", "pre:panel pre:top "},
        {"panel", "", "pre:panel pre:top dispatch:panel "},
        {"panel", "panel", "pre:panel "},
        // An owned pop-up offers the message to its owner too.
        {"popup", "", "pre:popup pre:top dispatch:popup "},
        {"popup", "top", "pre:popup pre:top "},
    };
    for (const Case& c : cases) {
        Tree tree;
        ASSERT_TRUE(tree.edit && tree.popup.m_hWnd);
        tree.panel.eat = std::string(c.eater) == "panel";
        tree.top.eat = std::string(c.eater) == "top";
        MSG msg{tree.Target(c.target), kProbe, 1, 2, 0, {}};
        ProcessMessage(msg);
        EXPECT_EQ(tree.log, c.log) << "target " << c.target << ", eater '" << c.eater << "'";
        EXPECT_EQ(PreTranslateChain(msg), *c.eater != 0) << c.target;
    }
}

TEST(FwLoop, WindowWithoutParentsEndsTheWalk) {
    std::string log;
    MSG msg{nullptr, kProbe, 0, 0, 0, {}};
    EXPECT_FALSE(PreTranslateChain(msg)); // thread message: nobody to ask
    ChainWnd lone("lone", log);
    ASSERT_TRUE(lone.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    msg.hwnd = lone.m_hWnd;
    EXPECT_FALSE(PreTranslateChain(msg));
    EXPECT_EQ(log, "pre:lone ");
    lone.DestroyWindow();
}

std::string g_sdiLog;
class LogView : public CView {
public:
    bool TranslateViewAccelerator(MSG* msg) override {
        if (msg->message == kProbe) g_sdiLog += "view ";
        return false;
    }
};
class LogFrame : public CFrameWnd {
public:
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == kProbe) g_sdiLog += "frame ";
        return CFrameWnd::PreTranslateMessage(msg);
    }
};

TEST(FwLoop, FrameSeesAMessageOnceAndPassesOneInsideItsViewToTheView) {
    auto* frame = new LogFrame;
    ASSERT_TRUE(frame->LoadFrame(1, WS_OVERLAPPEDWINDOW, nullptr, []() -> CView* { return new LogView; }));
    frame->m_bAutoDelete = true;
    const HWND view = ::GetWindow(frame->m_hWnd, GW_CHILD);
    for (const auto& [target, log] : {std::pair{view, "frame view "}, std::pair{frame->m_hWnd, "frame "}}) {
        g_sdiLog.clear();
        MSG msg{target, kProbe, 0, 0, 0, {}};
        EXPECT_FALSE(PreTranslateChain(msg));
        EXPECT_EQ(g_sdiLog, log);
    }
    ::DestroyWindow(frame->m_hWnd);
}

// An application whose loop is fed by a script of results instead of GetMessage.
class ScriptedApp : public CWinApp {
public:
    std::vector<int> script; // results of FetchMessage, in order; >0 delivers a probe
    std::string log;
    bool initResult = TRUE;
    HWND target = nullptr;
    BOOL InitInstance() override {
        log += "init ";
        return initResult;
    }
    int ExitInstance() override {
        log += "exit ";
        return CWinApp::ExitInstance() + 100;
    }

protected:
    int FetchMessage(MSG& msg) override {
        if (m_next >= script.size()) return 0;
        const int result = script[m_next++];
        msg = MSG{target, result > 0 ? kProbe : result == 0 ? static_cast<UINT>(WM_QUIT) : 0u, 4, 0, 0, {}};
        return result;
    }

private:
    size_t m_next = 0;
};

TEST(FwLoop, RunEndsOnQuitOrFailureAndStartUpRoutesToExit) {
    struct Case {
        std::vector<int> script;
        BOOL init;
        int exitCode;
        const char* log;
        int dispatched;
    };
    const Case cases[] = {
        {{1, 1, 0}, TRUE, 104, "init exit ", 2}, // WM_QUIT: its wParam (4) is the loop's code
        {{1, -1, 1}, TRUE, 99, "init exit ", 1}, // -1 is a failure, never a message
        {{1}, FALSE, 100, "init exit ", 0},      // a failed start-up never enters the loop
    };
    for (const Case& c : cases) {
        std::string wndLog;
        ChainWnd wnd("w", wndLog);
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ScriptedApp app;
        app.script = c.script;
        app.initResult = c.init;
        app.target = wnd.m_hWnd;
        EXPECT_EQ(RunApplication(app), c.exitCode);
        EXPECT_EQ(GetApp(), &app);
        EXPECT_EQ(app.log, c.log);
        size_t dispatched = 0;
        for (size_t at = wndLog.find("dispatch:w"); at != std::string::npos;
             at = wndLog.find("dispatch:w", at + 1))
            ++dispatched;
        EXPECT_EQ(dispatched, static_cast<size_t>(c.dispatched));
        wnd.DestroyWindow();
    }
    EXPECT_EQ(GetApp(), nullptr);
}

class IdleApp : public CWinApp {
public:
    BOOL OnIdle(LONG count) override {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) queueHadMessages = true;
        if (count == 0) ++idleRuns;
        if (count == 2) {
            PostQuitMessage(9); // wants more idle twice, then ends the loop
            return FALSE;
        }
        return TRUE;
    }
    int idleRuns = 0;
    bool queueHadMessages = false;
};

TEST(FwLoop, IdleWorkRunsOnlyWhenTheQueueIsEmpty) {
    std::string wndLog;
    ChainWnd wnd("w", wndLog);
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    wintest::PumpPending();
    IdleApp app;
    for (int i = 0; i < 3; ++i)
        wnd.PostMessage(kProbe);
    EXPECT_EQ(app.Run(), 9);
    EXPECT_FALSE(app.queueHadMessages);
    EXPECT_EQ(app.idleRuns, 1); // the three posted messages came first, without idle between
    EXPECT_EQ(wndLog, "pre:w dispatch:w pre:w dispatch:w pre:w dispatch:w ");
    wnd.DestroyWindow();
}

} // namespace
