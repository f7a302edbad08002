// A page process's life beside its main window (page_frame_host.exe, a page process as the
// start-up code makes it): it joins a main window of another process, the automation channel
// exists only when asked for, and the process ends within about a second of the main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handle_win.h"
#include "page_window_fake_main.h"
#include "win_test_support.h"

namespace {

base::Handle StartPageHost(HWND parent, bool automation) {
    std::wstring commandLine = L"\"" + wintest::ExeFolder() + L"page_frame_host.exe\" " +
                               std::to_wstring(reinterpret_cast<INT_PTR>(parent));
    // The page process reads its switch before it announces its window; until then the switch stays.
    if (!pagetest::PrepareSwitches(automation)) return {};
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const BOOL started =
        ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    if (!started) return {};
    ::CloseHandle(pi.hThread);
    return base::Handle(pi.hProcess);
}

// Waits for the process while this thread's windows go on receiving messages; its exit code,
// or -1 when it is still running after timeoutMs.
long WaitForEnd(const base::Handle& process, DWORD timeoutMs) {
    const HANDLE h = process.Get();
    if (!wintest::PumpUntil([h] { return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, timeoutMs)) {
        ::TerminateProcess(h, 99);
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(h, &code);
    return static_cast<long>(code);
}

// Runs page_automate.exe with the arguments; its exit code, -1 when it could not run.
long RunAutomate(const std::wstring& args) {
    std::wstring commandLine = L"\"" + wintest::ExeFolder() + L"page_automate.exe\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return -1;
    ::CloseHandle(pi.hThread);
    return WaitForEnd(base::Handle(pi.hProcess), 10000);
}

class PageProcessTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pagetest::PrepareSwitches());
        ASSERT_TRUE(pagetest::CreateFakeMain(m_main));
    }
    void TearDown() override {
        if (::IsWindow(m_main.hwnd)) ::DestroyWindow(m_main.hwnd);
        pagetest::CurrentFake() = nullptr;
    }
    // Starts the page process and waits for its page window to announce itself.
    HWND StartAndJoin(base::Handle& process, bool automation) {
        process = StartPageHost(m_main.hwnd, automation);
        EXPECT_TRUE(process);
        if (!process) return nullptr;
        EXPECT_TRUE(wintest::PumpUntil([this] { return m_main.Count(0x0402) > 0; }, 15000))
            << "no WM_PAGECREATED";
        const auto* created = m_main.Last(0x0402);
        return created ? reinterpret_cast<HWND>(created->wParam) : nullptr;
    }

    pagetest::FakeMain m_main;
};

TEST_F(PageProcessTest, PageWindowJoinsTheMainWindowAndEndsWithIt) {
    base::Handle process;
    const HWND frame = StartAndJoin(process, true);
    ASSERT_TRUE(::IsWindow(frame));
    EXPECT_TRUE(wintest::PumpUntil([&] { return ::GetAncestor(frame, GA_PARENT) == m_main.hwnd; }, 3000));
    EXPECT_EQ(m_main.Last(0x0402)->lParam, 0);
    EXPECT_EQ(pagetest::SendAutomation(frame, L"http://127.0.0.1:1/other.html"), 1);
    // The e2e tests' driver finds the page window inside its main window.
    EXPECT_EQ(RunAutomate(L"frame http://127.0.0.1:1/other.html 3000"), 0);
    EXPECT_EQ(RunAutomate(L"login http://127.0.0.1:1/other.html 300"), 1) << "no login screen is open";

    const DWORD start = ::GetTickCount();
    ::DestroyWindow(m_main.hwnd);
    EXPECT_EQ(WaitForEnd(process, 3000), 0);
    EXPECT_LT(::GetTickCount() - start, 1500u) << "the page process outlived its main window";
}

TEST_F(PageProcessTest, WithoutTheSwitchThereIsNoAutomationChannel) {
    base::Handle process;
    const HWND frame = StartAndJoin(process, false);
    ASSERT_TRUE(::IsWindow(frame));
    EXPECT_EQ(pagetest::SendAutomation(frame, L"http://127.0.0.1:1/other.html"), 0);
    // A close request from the main window ends the page process.
    ::PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForEnd(process, 3000), 0);
}

TEST_F(PageProcessTest, WithoutAMainWindowThePageProcessEndsAtTheFirstWatch) {
    const HWND gone = m_main.hwnd;
    ::DestroyWindow(gone);
    base::Handle process = StartPageHost(gone, true);
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitForEnd(process, 10000), 0);
    EXPECT_EQ(m_main.Count(0x0402), 0u) << "nothing announced to a window that is gone";
}

} // namespace
