// The main game window under test: created modeless, with the stand-in page program
// (helpers/fake_page.exe) as its page process and scripted answers to its questions, pumped
// through the framework's routing so that its message pre-translation runs.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fw/fw_win.h"
#include "mainwnd/main_window_win.h"
#include "mainwnd/main_messages.h"
#include "win_test_support.h"

namespace mwtest {

struct Question {
    std::wstring text;
    UINT type;
};

class TestMainWindow : public mainwnd::MainWindow {
public:
    std::vector<Question> asked;
    std::deque<int> answers; // popped per question; IDNO when empty

    int downloadQuestions = 0;         // "entergame": each declined
    std::vector<std::wstring> started; // the clients started, by their held files' paths

    explicit TestMainWindow(mainwnd::MainWindowOptions options = {})
        : mainwnd::MainWindow(Scripted(this, std::move(options))) {}
    using mainwnd::MainWindow::PreTranslateMessage;
    using mainwnd::MainWindow::WatchPageProcess;

private:
    static mainwnd::MainWindowOptions Scripted(TestMainWindow* self, mainwnd::MainWindowOptions options) {
        options.messageBox = [self](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            if (std::wstring(caption) == L"VexaEmber游戏大厅") return ++self->downloadQuestions, IDCANCEL;
            self->asked.push_back({text, type});
            if (self->answers.empty()) return IDNO;
            const int answer = self->answers.front();
            self->answers.pop_front();
            return answer;
        };
        options.startClient = [self](HANDLE held) {
            wchar_t path[MAX_PATH] = {};
            ::GetFinalPathNameByHandleW(held, path, MAX_PATH, FILE_NAME_NORMALIZED);
            self->started.push_back(path);
            return true;
        };
        return options;
    }
};

inline void SetPageEnv(const wchar_t* mode, const wchar_t* label = L"", const wchar_t* color = L"") {
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_MODE", *mode ? mode : nullptr);
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LABEL", *label ? label : nullptr);
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_COLOR", *color ? color : nullptr);
}

// What a stand-in page reports in its window text (asked across the process boundary).
inline std::wstring PageReport(HWND page) {
    wchar_t text[128] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(page, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &copied);
    return text;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        // The first page process stays at its login unless a test says otherwise.
        SetPageEnv(L"login");
        ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LOG", nullptr);
        ASSERT_TRUE(m_dlg.Create());
        Pump([] { return false; }, 50);
    }

    void TearDown() override {
        std::vector<HWND> pages;
        for (auto p : m_dlg.Model().Pages())
            pages.push_back(reinterpret_cast<HWND>(p));
        if (m_dlg.IsWindow()) m_dlg.DestroyWindow();
        // The stand-in pages end once the main window is gone.
        Pump(
            [&] {
                for (HWND p : pages)
                    if (::IsWindow(p)) return false;
                return true;
            },
            5000);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // Pumps through the framework (pre-translation included) until done or the time is up;
    // notes a WM_QUIT instead of leaving.
    bool Pump(const std::function<bool()>& done, DWORD ms) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    m_quit = true;
                    continue;
                }
                ProcessMessage(msg);
            }
            if (done()) return true;
            if (::GetTickCount() - start >= ms) return done();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Starts a stand-in page with this label and colour and waits until it is a shown tab.
    HWND OpenTab(const wchar_t* label, const wchar_t* color = L"") {
        SetPageEnv(L"", label, color);
        const int before = m_dlg.Model().TabCount();
        EXPECT_TRUE(m_dlg.LaunchPageProcess()) << "CreateProcess error " << ::GetLastError();
        EXPECT_TRUE(Pump([&] { return m_dlg.Model().TabCount() == before + 1; }, 15000))
            << "no tab for " << label;
        const HWND page = m_dlg.SelectedPageWnd();
        EXPECT_TRUE(Pump([&] { return ::IsWindowVisible(page) != FALSE; }, 5000));
        SetPageEnv(L"login");
        return page;
    }

    // Makes this test process one more login of the main window, so that the labels and pages
    // it sends from its own windows are taken. (The handle can't end the process.)
    void PlayLogin() {
        m_dlg.WatchPageProcess(base::Handle(
            ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ::GetCurrentProcessId())));
    }

    size_t Logins() const { return m_dlg.Model().Logins().size(); }

    // Ends the page processes still at their login (the first one stays there unless a test
    // says otherwise) and waits until the window has seen them go.
    void EndLogins() {
        for (const auto& login : m_dlg.Model().Logins()) {
            base::Handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, login.process));
            ::TerminateProcess(process.Get(), 0);
        }
        EXPECT_TRUE(Pump([&] { return Logins() == 0; }, 10000));
    }

    // Posts a message to the main window as a page or the system would, and handles it.
    void PostAndPump(UINT msg, WPARAM wParam, LPARAM lParam, DWORD ms = 100) {
        ::PostMessageW(m_dlg.m_hWnd, msg, wParam, lParam);
        Pump([] { return false; }, ms);
    }

    // The window's update check, replaceable by a test; unset, no update is needed.
    std::function<int(bool forced)> m_updateCheck;
    TestMainWindow m_dlg{
        {.programPath = wintest::ExeFolder() + L"fake_page.exe",
         .checkForUpdate = [this](bool forced) { return m_updateCheck ? m_updateCheck(forced) : 0; },
         .afterLoginStart = [this] { m_afterLoginStart.push_back(m_dlg.Model().HasPendingProcess()); }}};
    // Each run of the window's after-login-start work: whether the login process was started then.
    std::vector<bool> m_afterLoginStart;
    bool m_quit = false;
};

} // namespace mwtest
