// The main game window with stand-in page processes: starting them, adopting their windows,
// registering labels, the limit of three, closing tabs, the mute broadcast, the minimum size,
// the tray icon, hiding, forwarded keys and the ways of quitting.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include <shlobj.h>

#include "base/user_folder_win.h"
#include "mainwnd_fixture.h"
#include "publisher_fixture.h"

using namespace mwtest;

namespace {

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

LRESULT SendLabel(HWND main, HWND sender, const void* data, DWORD bytes) {
    COPYDATASTRUCT cds{};
    cds.cbData = bytes;
    cds.lpData = const_cast<void*>(data);
    return ::SendMessageW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                          reinterpret_cast<LPARAM>(&cds));
}

} // namespace

TEST_F(MainWindowTest, WaitsAsOnePixelAndStartsTheFirstPageProcessWithItsOptions) {
    const RECT rc = WindowRect(m_dlg.m_hWnd);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, 1) << "no minimum size before the first tab";
    EXPECT_TRUE(m_dlg.Model().HasPendingProcess());
    EXPECT_FALSE(m_dlg.HasTrayIcon());
    EXPECT_EQ(m_dlg.GetWindowText(), L"Vexa - Tarn");
    EXPECT_EQ(m_afterLoginStart, std::vector<bool>{true}) << "once, after the login process started";

    // A second start with a tab open carries the window and the tab count. (The idle priority
    // class is asked for, but Wine does not report it back, so the log's "prio" is not checked.)
    const std::wstring log = wintest::ExeFolder() + L"mainwnd_launch.log";
    ::DeleteFileW(log.c_str());
    OpenTab(L"1服-abc-first");
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LOG", log.c_str());
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    std::wstring line;
    Pump(
        [&] {
            FILE* in = _wfopen(log.c_str(), L"r, ccs=UTF-8");
            if (!in) return false;
            wchar_t text[1024] = {};
            const bool got = fgetws(text, 1024, in) != nullptr;
            fclose(in);
            line = text;
            if (!line.empty() && line.back() == L'\n') line.pop_back();
            return got;
        },
        10000);
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LOG", nullptr);
    const std::wstring options =
        L" /newgm /" + std::to_wstring(reinterpret_cast<std::intptr_t>(m_dlg.m_hWnd)) + L" /1|prio=";
    ASSERT_GE(line.size(), options.size()) << line.c_str();
    EXPECT_NE(line.find(options), std::wstring::npos) << line.c_str();
    EXPECT_NE(line.find(L"fake_page.exe"), std::wstring::npos);
}

TEST_F(MainWindowTest, AdoptsPageWindowsAsTabsInTheContentArea) {
    const HWND first = OpenTab(L"1服-abc-first");
    EXPECT_EQ(Logins(), 1u) << "the adopted process is no login any more; the first one still is";
    EXPECT_TRUE(m_dlg.HasTrayIcon());
    EXPECT_TRUE(m_dlg.IsMaximized()) << "the first page maximizes the window";
    EXPECT_EQ(::GetParent(first), m_dlg.m_hWnd) << "made its child by the main window";

    const HWND second = OpenTab(L"2服-abc-second");
    EXPECT_EQ(m_dlg.Model().TabCount(), 2);
    EXPECT_EQ(m_dlg.Model().CurTab(), 1);
    EXPECT_FALSE(::IsWindowVisible(first)) << "only the selected page shows";
    EXPECT_TRUE(::IsWindowVisible(second));
    EXPECT_EQ(m_dlg.Model().Label(0), L"1服-abc-first");
    EXPECT_EQ(m_dlg.Model().Label(1), L"2服-abc-second");

    // The page sits in the content area: inset 4 at the sides and bottom, 30 at the top.
    RECT client{}, page{};
    ::GetClientRect(m_dlg.m_hWnd, &client);
    ::GetWindowRect(second, &page);
    ::MapWindowPoints(nullptr, m_dlg.m_hWnd, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.left, 4);
    EXPECT_EQ(page.top, 30);
    EXPECT_EQ(page.right, client.right - 4);
    EXPECT_EQ(page.bottom, client.bottom - 4);

    // A resize moves the visible page along.
    m_dlg.ToggleMaximize();
    Pump(
        [&] {
            ::GetClientRect(m_dlg.m_hWnd, &client);
            ::GetWindowRect(second, &page);
            return page.right - page.left == client.right - 8;
        },
        5000);
    EXPECT_EQ(page.right - page.left, client.right - 8);
    EXPECT_EQ(page.bottom - page.top, client.bottom - 34);

    // A posted handle that is no window makes no tab.
    PostAndPump(base::WM_PAGECREATED, 0x7FFF0, 0);
    EXPECT_EQ(m_dlg.Model().TabCount(), 2);
}

TEST_F(MainWindowTest, LabelRegistrationAcceptsNewLabelsAndRefusesDuplicatesAndMalformedBlocks) {
    // This process plays four logins, one for each label that is taken.
    for (int i = 0; i < 4; ++i)
        PlayLogin();
    const std::wstring longest(256, L'x'), tooLong(257, L'x');
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    const wchar_t withTail[] = L"3服-abc-tail\0garbage";
    const wchar_t label[] = L"1服-abc-player01", otherCase[] = L"1服-abc-Player01", odd[] = L"2服-abc-odd";
    struct Case {
        const char* name;
        const void* data;
        DWORD bytes;
        LRESULT expected;
    } cases[] = {
        {"new label", label, sizeof(label), 1},
        {"exact duplicate", label, sizeof(label), 0},
        {"differs in letter case", otherCase, sizeof(otherCase), 1},
        {"zero inside the block ends the label", withTail, sizeof(withTail), 1},
        {"null data", nullptr, 8, 0},
        {"empty block", L"x", 0, 0},
        {"odd size", odd, sizeof(odd) - 1, 0},
        {"no terminator within the block", unterminated, sizeof(unterminated), 0},
        {"256 characters", longest.c_str(), 2 * 257, 1},
        {"257 characters", tooLong.c_str(), 2 * 258, 0},
        {"a fifth label with every login of the sender labelled", odd, sizeof(odd), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendLabel(m_dlg.m_hWnd, m_dlg.m_hWnd, c.data, c.bytes), c.expected) << c.name;
    EXPECT_EQ(m_dlg.Model().TabCount(), 0) << "labels alone make no tabs";
    EXPECT_EQ(::SendMessageW(m_dlg.m_hWnd, WM_COPYDATA, 0, 0), 0) << "no block at all";
    PlayLogin();
    const wchar_t fresh[] = L"5服-abc-fresh";
    EXPECT_EQ(SendLabel(m_dlg.m_hWnd, nullptr, fresh, sizeof(fresh)), 0) << "no sender named";
    EXPECT_EQ(SendLabel(m_dlg.m_hWnd, m_dlg.m_hWnd, fresh, sizeof(fresh)), 1);
}

TEST_F(MainWindowTest, DuplicateLoginGivesUpWithoutQuittingWhileTabsExist) {
    OpenTab(L"1服-abc-same");
    SetPageEnv(L"", L"1服-abc-same");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    // Refused with 0, the page process posts SC_CLOSE with the marker and ends: its login is
    // forgotten, nothing is asked and the program goes on.
    ASSERT_EQ(Logins(), 2u);
    EXPECT_TRUE(Pump([&] { return Logins() == 1; }, 10000));
    Pump([] { return true; }, 0); // what handling the close posted
    EXPECT_EQ(m_dlg.Model().TabCount(), 1);
    EXPECT_TRUE(m_dlg.asked.empty());
    EXPECT_FALSE(m_quit);
}

TEST_F(MainWindowTest, OnlyARequestWithThreeAdoptedTabsIsRefused) {
    OpenTab(L"1服-a-one");
    OpenTab(L"1服-a-two");
    // Two tabs and a login still open: another login goes ahead.
    PostAndPump(base::WM_ADDACCOUNT, 1, 0);
    EXPECT_EQ(Logins(), 2u);
    EXPECT_TRUE(m_dlg.asked.empty());
    OpenTab(L"1服-a-three");
    const size_t logins = Logins();
    PostAndPump(base::WM_ADDACCOUNT, 1, 0);
    ASSERT_EQ(m_dlg.asked.size(), 1u);
    EXPECT_EQ(m_dlg.asked[0].text, L"当前窗体只支持3个游戏页");
    EXPECT_EQ(m_dlg.asked[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Logins(), logins) << "no fourth page process";
    // Another window (wParam 0) is always possible; other values do nothing.
    PostAndPump(base::WM_ADDACCOUNT, 0, 0);
    PostAndPump(base::WM_ADDACCOUNT, 7, 0);
    EXPECT_EQ(m_dlg.asked.size(), 1u);
    EXPECT_EQ(m_dlg.Model().TabCount(), 3);
}

TEST_F(MainWindowTest, ClosingATabSelectsTheTabThatMovedIntoItsPlace) {
    const HWND a = OpenTab(L"1服-a-alpha", L"C04040");
    const HWND b = OpenTab(L"1服-a-beta", L"40C040");
    const HWND c = OpenTab(L"1服-a-gamma", L"4040C0");

    m_dlg.CloseTab(1); // refused
    ASSERT_EQ(m_dlg.asked.size(), 1u);
    EXPECT_EQ(m_dlg.asked[0].text, L"确定要退出账号：1服-a-beta ?");
    EXPECT_EQ(m_dlg.asked[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(m_dlg.Model().TabCount(), 3);

    m_dlg.answers = {IDYES};
    m_dlg.CloseTab(1);
    EXPECT_EQ(m_dlg.Model().TabCount(), 2);
    EXPECT_EQ(m_dlg.Model().CurTab(), 1);
    EXPECT_EQ(m_dlg.SelectedPageWnd(), c);
    EXPECT_EQ(m_dlg.Model().Label(1), L"1服-a-gamma");
    EXPECT_TRUE(::IsWindowVisible(c));
    EXPECT_TRUE(Pump([&] { return !::IsWindow(b); }, 5000)) << "the closed page's process ends";

    m_dlg.answers = {IDYES};
    m_dlg.CloseTab(1); // the last of two: the new last is selected
    EXPECT_EQ(m_dlg.SelectedPageWnd(), a);
    EXPECT_EQ(m_dlg.Model().CurTab(), 0);
    EXPECT_TRUE(Pump([&] { return !::IsWindow(c); }, 5000));

    // The last tab asks the window question instead; No keeps everything.
    m_dlg.asked.clear();
    m_dlg.CloseTab(0);
    ASSERT_EQ(m_dlg.asked.size(), 1u);
    EXPECT_EQ(m_dlg.asked[0].text, L"窗口即将关闭，确定要退出游戏？");
    EXPECT_FALSE(m_quit);
    EXPECT_EQ(m_dlg.Model().TabCount(), 1);
}

TEST_F(MainWindowTest, MuteBroadcastReachesTabPagesEvery400Ms) {
    const HWND page = OpenTab(L"1服-a-loud");
    SetPageEnv(L"hall");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    ASSERT_TRUE(Pump([&] { return m_dlg.HallWnd() != nullptr; }, 10000));
    const HWND hall = m_dlg.HallWnd();
    EXPECT_EQ(m_dlg.Model().TabCount(), 1) << "the hall page is no tab";

    EXPECT_TRUE(Pump([&] { return PageReport(page).find(L"mute=0 ") == 0; }, 3000))
        << PageReport(page).c_str();
    // The sound button flips the flag; the next tick carries it.
    ::SendMessageW(m_dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(1002)));
    EXPECT_TRUE(m_dlg.Muted());
    EXPECT_TRUE(Pump([&] { return PageReport(page).find(L"mute=1 ") == 0; }, 1500));
    // About one message per 400 ms, measured by when they were posted (a page that is slow to
    // read them would see them bunched).
    struct Seen {
        int count = 0;
        long postedAt = 0;
    };
    auto seen = [&] {
        Seen s;
        const std::wstring report = PageReport(page);
        swscanf(report.c_str(), L"mute=%*d mutes=%d", &s.count);
        const size_t at = report.find(L"mutetime=");
        if (at != std::wstring::npos) s.postedAt = std::wcstol(report.c_str() + at + 9, nullptr, 10);
        return s;
    };
    const Seen first = seen();
    Seen last = first;
    EXPECT_TRUE(Pump(
        [&] {
            last = seen();
            return last.count >= first.count + 4;
        },
        6000))
        << "the messages go on";
    const long perMessage = (last.postedAt - first.postedAt) / std::max(1, last.count - first.count);
    EXPECT_GE(perMessage, 300) << "about one message per 400 ms";
    EXPECT_EQ(PageReport(hall).find(L"mute=-1 "), 0u) << "the hall page gets none";
}

TEST_F(MainWindowTest, MinimumSizeGrowsWithTheTabs) {
    struct Case {
        int tabs;
        int minWidth;
    } cases[] = {{1, 672}, {2, 861}, {3, 1050}};
    for (const Case& c : cases) {
        while (m_dlg.Model().TabCount() < c.tabs)
            OpenTab((L"1服-size-" + std::to_wstring(m_dlg.Model().TabCount())).c_str());
        ::SetWindowPos(m_dlg.m_hWnd, nullptr, 10, 10, 300, 100, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT rc = WindowRect(m_dlg.m_hWnd);
        EXPECT_EQ(rc.right - rc.left, c.minWidth) << c.tabs;
        EXPECT_EQ(rc.bottom - rc.top, 260) << c.tabs;
        ::SetWindowPos(m_dlg.m_hWnd, nullptr, 10, 10, 1200, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        rc = WindowRect(m_dlg.m_hWnd);
        EXPECT_EQ(rc.right - rc.left, 1200) << "larger sizes are left alone";
    }
    // The caption controls follow the right edge.
    RECT hide{};
    ::GetWindowRect(m_dlg.GetDlgItem(1001), &hide);
    const RECT rc = WindowRect(m_dlg.m_hWnd);
    EXPECT_EQ(hide.left - rc.left, 1200 - 114);
}

TEST_F(MainWindowTest, HidingToTheTrayAndBack) {
    OpenTab(L"1服-a-hide");
    ASSERT_TRUE(m_dlg.HasTrayIcon());
    struct Step {
        const char* how;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool visibleAfter;
    } steps[] = {
        {"hide button", WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0, false},
        {"tray left click", base::WM_TRAYNOTIFY, 1, WM_LBUTTONUP, true},
        {"tray left click again", base::WM_TRAYNOTIFY, 1, WM_LBUTTONUP, false},
        {"tray mouse move does nothing", base::WM_TRAYNOTIFY, 1, WM_MOUSEMOVE, false},
        {"hide button of the hidden window restores", WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0, true},
    };
    for (const Step& s : steps) {
        const LPARAM lParam =
            s.msg == WM_COMMAND ? reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(1001)) : s.lParam;
        PostAndPump(s.msg, s.wParam, lParam);
        EXPECT_EQ(::IsWindowVisible(m_dlg.m_hWnd) != FALSE, s.visibleAfter) << s.how;
        EXPECT_TRUE(m_dlg.HasTrayIcon()) << s.how;
    }
}

TEST_F(MainWindowTest, RefreshAndFavouriteKeysGoToTheVisiblePage) {
    const HWND first = OpenTab(L"1服-a-keys1");
    const HWND second = OpenTab(L"1服-a-keys2");
    PostAndPump(WM_KEYDOWN, VK_F5, 1);
    PostAndPump(WM_KEYDOWN, VK_F5, 7301); // the menus' refresh carries the marker
    PostAndPump(WM_CHAR, 4, 0x00200001);
    PostAndPump(WM_CHAR, 4, 0x20200001); // not the plain D key: stays
    EXPECT_TRUE(Pump([&] { return PageReport(second).find(L"f5=2 ctrld=1") != std::wstring::npos; }, 2000))
        << PageReport(second).c_str();
    EXPECT_NE(PageReport(first).find(L"f5=0 ctrld=0"), std::wstring::npos);

    // Esc and Space never reach the dialog: the window stays and nothing is asked.
    PostAndPump(WM_KEYDOWN, VK_ESCAPE, 1);
    PostAndPump(WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(m_dlg.asked.empty());
    EXPECT_TRUE(m_dlg.IsWindow());
}

TEST_F(MainWindowTest, CloseBeforeTheFirstTabEndsTheLoginAndTheProgramWithoutAQuestion) {
    ASSERT_TRUE(m_dlg.Model().HasPendingProcess());
    PostAndPump(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_quit);
    EXPECT_TRUE(m_dlg.asked.empty());
    EXPECT_FALSE(m_dlg.Model().HasPendingProcess());
}

TEST_F(MainWindowTest, CancelledLoginBeforeTheFirstTabQuits) {
    SetPageEnv(L"cancel");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    EXPECT_TRUE(Pump([&] { return m_quit; }, 10000));
    EXPECT_TRUE(m_dlg.asked.empty());
}

TEST_F(MainWindowTest, CloseWithTabsAsksAndQuitAllClosesEveryPage) {
    const HWND a = OpenTab(L"1服-a-q1");
    const HWND b = OpenTab(L"1服-a-q2");
    EndLogins();
    // The frame's close button, and a marker close with no login pending, both ask.
    for (LPARAM lParam : {LPARAM{0}, LPARAM{7301}}) {
        m_dlg.asked.clear();
        PostAndPump(WM_SYSCOMMAND, SC_CLOSE, lParam);
        ASSERT_EQ(m_dlg.asked.size(), 1u) << lParam;
        EXPECT_EQ(m_dlg.asked[0].text, L"窗口即将关闭，确定要退出游戏？");
        EXPECT_EQ(m_dlg.asked[0].type, static_cast<UINT>(MB_YESNO));
        EXPECT_FALSE(m_quit);
    }
    SetPageEnv(L"login");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    m_dlg.answers = {IDYES};
    PostAndPump(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_quit);
    EXPECT_FALSE(m_dlg.HasTrayIcon());
    EXPECT_FALSE(m_dlg.Model().HasPendingProcess());
    EXPECT_EQ(m_dlg.Model().TabCount(), 0);
    // The pages are let go and told to close, while the main window still exists.
    EXPECT_TRUE(Pump([&] { return !::IsWindow(a) && !::IsWindow(b); }, 5000));
    EXPECT_TRUE(m_dlg.IsWindow());
    // Nothing new starts while the program ends.
    m_quit = false;
    const int before = static_cast<int>(m_dlg.asked.size());
    PostAndPump(base::WM_ADDACCOUNT, 1, 0);
    EXPECT_EQ(static_cast<int>(m_dlg.asked.size()), before);
}

TEST_F(MainWindowTest, TabsCarryTheLabelsOfTheirOwnProcesses) {
    // Login A is held between its label and its page, with the window disabled as its modal
    // login does; login B finishes meanwhile: B's tab comes first, and each keeps its label.
    base::Handle holdA(::CreateEventW(nullptr, TRUE, FALSE, L"TnVexaTestHoldA"));
    SetPageEnv(L"", L"1服-a-first");
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", L"TnVexaTestHoldA");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    auto labelled = [&](const wchar_t* label) {
        for (const auto& login : m_dlg.Model().Logins())
            if (login.label == label) return login.process;
        return mainwnd::ProcessId{0};
    };
    ASSERT_TRUE(
        Pump([&] { return labelled(L"1服-a-first") != 0 && !::IsWindowEnabled(m_dlg.m_hWnd); }, 15000));
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", nullptr);
    OpenTab(L"2服-b-second");
    ::SetEvent(holdA.Get());
    ASSERT_TRUE(Pump([&] { return m_dlg.Model().TabCount() == 2; }, 15000));
    EXPECT_EQ(m_dlg.Model().Label(0), L"2服-b-second");
    EXPECT_EQ(m_dlg.Model().Label(1), L"1服-a-first");

    // Login C is killed between its label and its page: its label goes, the window is enabled
    // again, and the same account logs in anew with a tab of its own.
    base::Handle holdC(::CreateEventW(nullptr, TRUE, FALSE, L"TnVexaTestHoldC")); // never set
    SetPageEnv(L"", L"3服-c-third");
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", L"TnVexaTestHoldC");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", nullptr);
    ASSERT_TRUE(
        Pump([&] { return labelled(L"3服-c-third") != 0 && !::IsWindowEnabled(m_dlg.m_hWnd); }, 15000));
    base::Handle c(::OpenProcess(PROCESS_TERMINATE, FALSE, labelled(L"3服-c-third")));
    ASSERT_TRUE(::TerminateProcess(c.Get(), 1));
    EXPECT_TRUE(
        Pump([&] { return labelled(L"3服-c-third") == 0 && ::IsWindowEnabled(m_dlg.m_hWnd); }, 10000));
    OpenTab(L"3服-c-third");
    EXPECT_EQ(m_dlg.Model().TabCount(), 3);
    EXPECT_EQ(m_dlg.Model().Label(2), L"3服-c-third");

    // A window of a process this window did not start is no tab, whatever it sends.
    CWnd foreign;
    ASSERT_TRUE(foreign.CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 10, 10, m_dlg.m_hWnd, nullptr));
    const wchar_t label[] = L"9服-x-foreign";
    EXPECT_EQ(SendLabel(m_dlg.m_hWnd, foreign.m_hWnd, label, sizeof(label)), 0);
    PostAndPump(base::WM_PAGECREATED, reinterpret_cast<WPARAM>(foreign.m_hWnd), 0);
    EXPECT_EQ(m_dlg.Model().TabCount(), 3);
    foreign.DestroyWindow();
}

// Two logins hold the window: the second's screen opens over the window the first disabled, so it
// never gives it back; killing the first leaves it to the second, whose page frees it. A dialog
// of this process holds it too, also while disabled under a message of its own.
TEST_F(MainWindowTest, TheWindowIsEnabledOnceNoDialogHoldsIt) {
    base::Handle holdA(::CreateEventW(nullptr, TRUE, FALSE, L"TnVexaTestHoldA")); // never set
    base::Handle holdB(::CreateEventW(nullptr, TRUE, FALSE, L"TnVexaTestHoldB"));
    for (const std::wstring login : {L"A", L"B"}) {
        SetPageEnv(L"", login.c_str());
        ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", (L"TnVexaTestHold" + login).c_str());
        ASSERT_TRUE(m_dlg.LaunchPageProcess());
        ASSERT_TRUE(
            Pump([&] { return ::FindWindowW(L"#32770", (L"hold " + login).c_str()) != nullptr; }, 15000));
    }
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_HOLD", nullptr);
    base::Handle a(::OpenProcess(PROCESS_TERMINATE, FALSE, m_dlg.Model().Logins()[1].process));
    ASSERT_TRUE(::TerminateProcess(a.Get(), 1));
    ASSERT_TRUE(Pump([&] { return Logins() == 2; }, 10000));
    EXPECT_FALSE(::IsWindowEnabled(m_dlg.m_hWnd)) << "the second login's screen holds it";
    ::SetEvent(holdB.Get());
    EXPECT_TRUE(
        Pump([&] { return m_dlg.Model().TabCount() == 1 && ::IsWindowEnabled(m_dlg.m_hWnd); }, 15000));

    const HWND own = ::CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE | WS_DISABLED, 0, 0, 9, 9,
                                       m_dlg.m_hWnd, nullptr, nullptr, nullptr);
    ::EnableWindow(m_dlg.m_hWnd, FALSE);
    SetPageEnv(L"cancel");
    ASSERT_TRUE(m_dlg.LaunchPageProcess());
    ASSERT_TRUE(Pump([&] { return Logins() == 1; }, 10000));
    EXPECT_FALSE(::IsWindowEnabled(m_dlg.m_hWnd)) << "a disabled dialog of this process holds it";
    ::DestroyWindow(own);
}

// A hall page that a page started, not this window: adopted when its process runs this program.
TEST_F(MainWindowTest, AdoptsTheHallPageOfAnotherStartOfThisProgramOnly) {
    PostAndPump(base::WM_PAGECREATED, reinterpret_cast<WPARAM>(::GetDesktopWindow()), 1);
    EXPECT_EQ(m_dlg.HallWnd(), nullptr) << "another program's window";
    CWnd hall; // this process is no login of the window
    ASSERT_TRUE(hall.CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 10, 10, m_dlg.m_hWnd, nullptr));
    PostAndPump(base::WM_PAGECREATED, reinterpret_cast<WPARAM>(hall.m_hWnd), 1);
    EXPECT_EQ(m_dlg.HallWnd(), hall.m_hWnd);
}

// A page of this process: the main window's answers to its "entergame".
struct EnterGamePage : CWnd {
    std::vector<WPARAM> done;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == base::WM_ENTERGAMEDONE) done.push_back(wParam);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// A page of this process asks for a client: the installed one is started only when it is held and
// trusted like the install folder, else the download is offered; a declined one is told the page.
TEST_F(MainWindowTest, EnterGameStartsOnlyAHeldTrustedClientAndOffersTheDownloadOtherwise) {
    const std::wstring folder = base::CommonAppDataFolder() + L"\\Vexa\\GameLogin",
                       client = folder + L"\\Dragonx.exe";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    ASSERT_TRUE(wintest::WriteFileBytes(client, "MZ"));
    PlayLogin();
    EnterGamePage page;
    ASSERT_TRUE(page.CreateEx(0, nullptr, L"", WS_CHILD, 0, 0, 10, 10, m_dlg.m_hWnd, nullptr));
    PostAndPump(base::WM_PAGECREATED, reinterpret_cast<WPARAM>(page.m_hWnd), 0);
    const struct {
        const char* why;
        const wchar_t* trustOwnUser; // the test machine's stand-in for the administrators
        DWORD othersWriting;         // sharing of a writer's open handle, or 0 for none
        bool started;
    } cases[] = {{"held and trusted", L"1", 0, true},
                 {"owned by the player", nullptr, 0, false},
                 {"someone writing to it", L"1", FILE_SHARE_READ, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        wintest::SetTestSwitch(L"TrustOwnUser", c.trustOwnUser);
        base::Handle writer(c.othersWriting ? ::CreateFileW(client.c_str(), GENERIC_WRITE, c.othersWriting,
                                                            nullptr, OPEN_EXISTING, 0, nullptr)
                                            : nullptr);
        m_dlg.started.clear();
        m_dlg.downloadQuestions = 0;
        COPYDATASTRUCT data{base::kEnterGameCopyData, sizeof(L"dragonx"), const_cast<wchar_t*>(L"dragonx")};
        ASSERT_EQ(::SendMessageW(m_dlg.m_hWnd, WM_COPYDATA, reinterpret_cast<WPARAM>(page.m_hWnd),
                                 reinterpret_cast<LPARAM>(&data)),
                  1);
        page.done.clear();
        ASSERT_TRUE(Pump([&] { return !page.done.empty(); }, 5000));
        EXPECT_EQ(m_dlg.started,
                  c.started ? std::vector<std::wstring>{L"\\\\?\\" + client} : std::vector<std::wstring>{});
        EXPECT_EQ(m_dlg.downloadQuestions, c.started ? 0 : 1);
        EXPECT_EQ(page.done, std::vector<WPARAM>{c.started ? 0u : 1u}) << "declined";
    }
    wintest::ClearTestSwitches();
    ::DeleteFileW(client.c_str());
}

TEST(MainWindowAlone, AFirstLoginThatCannotStartIsToldAndEndsTheProgram) {
    int afterStart = 0;
    TestMainWindow dlg({.programPath = wintest::ExeFolder() + L"no_such_page.exe",
                        .afterLoginStart = [&] { ++afterStart; }});
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(afterStart, 1) << "the start's other work is still done";
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_EQ(dlg.asked.size(), 1u);
    EXPECT_EQ(dlg.asked[0].text, L"启动登录页面失败");
}

TEST_F(MainWindowTest, PageRequestsAreTakenFromItsOwnPageProcessesOnly) {
    OpenTab(L"1服-a-req1");
    OpenTab(L"1服-a-req2");
    const auto request = [&](base::PageRequest r) {
        PostAndPump(base::WM_PAGEREQUEST, static_cast<WPARAM>(r),
                    static_cast<LPARAM>(::GetCurrentProcessId()));
    };
    // This test process is no page of the window yet.
    request(base::PageRequest::SwitchPage);
    request(base::PageRequest::Minimize);
    request(base::PageRequest::LoginCancelled);
    EXPECT_EQ(m_dlg.Model().CurTab(), 1);
    EXPECT_FALSE(::IsIconic(m_dlg.m_hWnd));
    EXPECT_FALSE(m_quit);
    EXPECT_TRUE(m_dlg.asked.empty());

    PlayLogin();
    request(base::PageRequest::SwitchPage);
    EXPECT_EQ(m_dlg.Model().CurTab(), 0);
    request(base::PageRequest::Minimize);
    EXPECT_TRUE(::IsIconic(m_dlg.m_hWnd));
}
