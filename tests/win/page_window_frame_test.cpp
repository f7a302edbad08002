// The page window under Wine: the frame made by the start-up routine, re-parented into a
// stand-in main window and announced; placed into the content area after a navigation completes
// unless it was hidden behind another tab; the keys it forwards, swallows or acts on;
// "entergame" with its validation; the browser box clean-up after a close request.
#include "web/page_window_win.h"

#include <exdispid.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "base/user_folder_win.h"
#include "fw/message_loop_win.h"
#include "page_window_fake_main.h"
#include "base/page_protocol.h"
#include "web/gm_page_state_win.h"
#include "browser_events.h"
#include "win_test_support.h"

namespace {

constexpr wchar_t kGameUrl[] = L"http://127.0.0.1:1/games/tn/s2/game.html?server=S2&account=user02";

struct Seen {
    std::vector<std::wstring> boxes; // text|caption|type|owner-is-main
    std::vector<std::wstring> opened;
    std::vector<std::wstring> started;
    std::vector<std::wstring> dialogs; // download|name|owner-is-main or fav|name|url|owner-is-main
    int answer = IDCANCEL;
};
Seen g_seen;
HWND g_mainForBoxes = nullptr;

// Before-navigate of the view's top-level document, or of a frame in it.
bool FireBeforeNavigate(PageView* view, const wchar_t* url, IDispatch* frame = nullptr) {
    return wintest::InvokeBeforeNavigate(view->BrowserHost().Site(), frame ? frame : view->GetBrowser(), url);
}

// Set: the page sends another "entergame" while the question is open.
PageView* g_commandDuringBox = nullptr;

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    g_seen.boxes.push_back(std::wstring(text) + L"|" + caption + L"|" + std::to_wstring(type) + L"|" +
                           (owner == g_mainForBoxes ? L"main" : L"other"));
    if (PageView* view = std::exchange(g_commandDuringBox, nullptr)) {
        EXPECT_TRUE(FireBeforeNavigate(view, L"app://entergame|othergame"));
    }
    return g_seen.answer;
}
bool RecordOpen(const std::wstring& url) {
    g_seen.opened.push_back(url);
    return true;
}
bool RecordStart(const std::wstring& path) {
    g_seen.started.push_back(path);
    return true;
}
void RecordDownload(HWND owner, const std::wstring& name) {
    g_seen.dialogs.push_back(L"download|" + name + (owner == g_mainForBoxes ? L"|main" : L"|other"));
}
void RecordFavourite(HWND owner, const std::wstring& name, const std::wstring& url) {
    g_seen.dialogs.push_back(L"fav|" + name + L"|" + url + (owner == g_mainForBoxes ? L"|main" : L"|other"));
}

void FireWithString(PageView* view, DISPID id, const wchar_t* text) {
    VARIANT value, args[2];
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    DISPPARAMS params{args, nullptr, 1, 0};
    if (id == DISPID_NAVIGATECOMPLETE2) {
        args[0].vt = VT_BYREF | VT_VARIANT;
        args[0].pvarVal = &value;
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = view->GetBrowser();
        params.cArgs = 2;
    } else {
        args[0] = value;
    }
    view->BrowserHost().Site()->EventSink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                                    nullptr, nullptr);
    VariantClear(&value);
}

class PageFrameTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pagetest::PrepareSwitches());
        ASSERT_TRUE(pagetest::CreateFakeMain(m_main));
        g_mainForBoxes = m_main.hwnd;
        auto& seams = web::Seams();
        seams.messageBox = RecordBox;
        seams.shellOpen = RecordOpen;
        seams.startProgram = RecordStart;
        seams.runGameDownload = RecordDownload;
        seams.runFavourites = RecordFavourite;
        g_seen = {};
        m_frame = CreateGamePageFrame({m_main.hwnd, 0, true, kGameUrl}, false);
        ASSERT_NE(m_frame, nullptr);
        m_view = PageView::Current();
        ASSERT_NE(m_view, nullptr);
        wintest::PumpFor(50);
    }
    void TearDown() override {
        if (m_frame && ::IsWindow(m_frame->m_hWnd)) ::DestroyWindow(m_frame->m_hWnd);
        ::DestroyWindow(m_main.hwnd);
        pagetest::CurrentFake() = nullptr;
        // A page frame that ends posts no quit of its own here (it is not the main window).
        MSG msg;
        EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }

    // Offers a message to the process's routing as the message loop does.
    bool Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        MSG msg{hwnd, message, wParam, lParam, 0, {0, 0}};
        return PreTranslateChain(msg);
    }
    static void SetKeys(std::initializer_list<int> down) {
        BYTE keys[256] = {};
        for (int k : down)
            keys[k] = 0x80;
        ::SetKeyboardState(keys);
    }

    pagetest::FakeMain m_main;
    CWnd* m_frame = nullptr;
    PageView* m_view = nullptr;
};

TEST_F(PageFrameTest, FrameIsBorderlessTopmostChildOfTheMainWindowAndAnnouncesItself) {
    const HWND frame = m_frame->m_hWnd;
    EXPECT_EQ(::GetAncestor(frame, GA_PARENT), m_main.hwnd);
    const DWORD style = m_frame->GetStyle(), ex = m_frame->GetExStyle();
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_FALSE(style & WS_VISIBLE) << "hidden until its page has loaded";
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_FALSE(ex & (WS_EX_APPWINDOW | WS_EX_CLIENTEDGE));
    EXPECT_FALSE(m_view->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(m_frame->GetWindowText(), L"Vexa - Tarn");
    EXPECT_EQ(::GetParent(m_view->m_hWnd), frame);

    ASSERT_EQ(m_main.Count(base::WM_PAGECREATED), 1u);
    const auto* created = m_main.Last(base::WM_PAGECREATED);
    EXPECT_EQ(created->wParam, reinterpret_cast<WPARAM>(frame));
    EXPECT_EQ(created->lParam, 0) << "a game page, not the hall";

    // Game pages ask for no border and no scroll bars; the browser's flags stay otherwise.
    DOCHOSTUIINFO info{sizeof(info), 0x40};
    EXPECT_EQ(m_view->BrowserHost().Site()->UIHandler()->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x40u | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO);
}

TEST_F(PageFrameTest, CompletedNavigationsPlaceAndShowTheFrameUnlessItWasHiddenBehindAnotherTab) {
    FireWithString(m_view, DISPID_NAVIGATECOMPLETE2, kGameUrl);
    EXPECT_EQ(m_view->PageUrl(), kGameUrl);
    EXPECT_TRUE(::IsWindowVisible(m_frame->m_hWnd));
    RECT client{}, placed{};
    ::GetClientRect(m_main.hwnd, &client);
    ::GetWindowRect(m_frame->m_hWnd, &placed);
    ::MapWindowPoints(nullptr, m_main.hwnd, reinterpret_cast<POINT*>(&placed), 2);
    const auto area = base::ContentArea(client.right, client.bottom);
    EXPECT_EQ(placed.left, area.left);
    EXPECT_EQ(placed.top, area.top);
    EXPECT_EQ(placed.right, area.right);
    EXPECT_EQ(placed.bottom, area.bottom);
    // The view fills the frame.
    RECT view{};
    ::GetWindowRect(m_view->m_hWnd, &view);
    EXPECT_EQ(view.right - view.left, area.right - area.left);

    // After the main window is resized the next navigation follows it.
    ::SetWindowPos(m_main.hwnd, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    FireWithString(m_view, DISPID_NAVIGATECOMPLETE2, L"http://127.0.0.1:1/frame.html");
    EXPECT_EQ(m_view->PageUrl(), L"http://127.0.0.1:1/frame.html");
    ::GetClientRect(m_main.hwnd, &client);
    ::GetClientRect(m_frame->m_hWnd, &placed);
    EXPECT_EQ(placed.right, client.right - 8);
    EXPECT_EQ(placed.bottom, client.bottom - 34);

    // Once shown, a page the main window has hidden (a tab in the background) stays hidden when
    // a navigation inside it completes; shown again, it follows its navigations again.
    m_frame->ShowWindow(SW_HIDE);
    FireWithString(m_view, DISPID_NAVIGATECOMPLETE2, L"http://127.0.0.1:1/advert.html");
    EXPECT_FALSE(m_frame->GetStyle() & WS_VISIBLE);
    m_frame->ShowWindow(SW_SHOW);
    ::SetWindowPos(m_main.hwnd, nullptr, 0, 0, 800, 560, SWP_NOMOVE | SWP_NOZORDER);
    FireWithString(m_view, DISPID_NAVIGATECOMPLETE2, L"http://127.0.0.1:1/frame.html");
    ::GetClientRect(m_main.hwnd, &client);
    ::GetClientRect(m_frame->m_hWnd, &placed);
    EXPECT_EQ(placed.right, client.right - 8);

    FireWithString(m_view, DISPID_TITLECHANGE, L"Tarn S2");
    EXPECT_EQ(m_view->PageTitle(), L"Tarn S2");
}

TEST_F(PageFrameTest, KeysAreForwardedSwallowedOrPassedOnInOrder) {
    const HWND view = m_view->m_hWnd;
    FireWithString(m_view, DISPID_TITLECHANGE, L"Tarn S2");
    FireWithString(m_view, DISPID_NAVIGATECOMPLETE2, kGameUrl);
    const LPARAM tab = 0x000F0001, f5 = 0x003F0001;
    const struct {
        const char* name;
        std::initializer_list<int> keys;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool consumed;
        bool forwarded;
    } cases[] = {
        {"window-switch key (Ctrl+Tab)", {VK_CONTROL}, WM_KEYDOWN, VK_TAB, tab, true, true},
        {"Tab alone", {}, WM_KEYDOWN, VK_TAB, tab, false, false},
        {"Ctrl+Shift+Tab", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, VK_TAB, tab, false, false},
        {"marked by the main window", {VK_CONTROL}, WM_KEYDOWN, VK_TAB, base::kSelfMarker, false, false},
        {"as a system key", {VK_CONTROL}, WM_SYSKEYDOWN, VK_TAB, tab, true, true},
        {"F5 refreshes the page", {}, WM_KEYDOWN, VK_F5, f5, true, false},
        {"the main window's F5", {}, WM_KEYDOWN, VK_F5, base::kSelfMarker, true, false},
        {"Ctrl+D first press", {VK_CONTROL}, WM_CHAR, 4, 0x00200001, true, false},
        {"Ctrl+D repeated", {VK_CONTROL}, WM_CHAR, 4, 0x40200001, false, false},
        {"another key", {}, WM_KEYDOWN, 'A', 0x001E0001, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_main.received.clear();
        SetKeys(c.keys);
        EXPECT_EQ(Route(view, c.msg, c.wParam, c.lParam), c.consumed);
        wintest::PumpFor(20);
        const auto* forwarded = m_main.Last(base::WM_PAGEREQUEST);
        ASSERT_EQ(forwarded != nullptr, c.forwarded);
        if (forwarded) {
            EXPECT_EQ(forwarded->wParam, static_cast<WPARAM>(base::PageRequest::SwitchPage));
        }
    }
    SetKeys({});
    // The first Ctrl+D ran the favourites dialog for the page, over the main window.
    EXPECT_EQ(g_seen.dialogs, std::vector<std::wstring>{std::wstring(L"fav|Tarn S2|") + kGameUrl + L"|main"});
}

TEST_F(PageFrameTest, ReleasingF10OrAltLeavesTheMainWindowOutOfMenuMode) {
    // The main window must not be sent into menu mode: its page would wait for it there.
    const HWND view = m_view->m_hWnd;
    for (const WPARAM key : {WPARAM{VK_F10}, WPARAM{VK_MENU}}) {
        SCOPED_TRACE(key);
        m_main.received.clear();
        for (const UINT msg : {UINT{WM_SYSKEYDOWN}, UINT{WM_SYSKEYUP}}) {
            MSG m{view, msg, key, msg == WM_SYSKEYUP ? LPARAM(0xC0440001) : LPARAM(0x00440001), 0, {0, 0}};
            if (!PreTranslateChain(m)) ::DispatchMessageW(&m);
        }
        wintest::PumpFor(20);
        for (const auto& r : m_main.received)
            EXPECT_FALSE(r.msg == WM_SYSCOMMAND && (r.wParam & 0xFFF0) == SC_KEYMENU);
    }
}

TEST_F(PageFrameTest, EnterGameStartsAnInstalledClientOrAsks) {
    const std::wstring folder = base::CommonAppDataFolder() + L"\\Vexa\\GameLogin";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const std::wstring installed = folder + L"\\Dragonx.exe";
    ::CloseHandle(::CreateFileW(installed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ::DeleteFileW((folder + L"\\Mygame.exe").c_str());

    const std::wstring question =
        L"下载Ember登录器，玩游戏更加方便快捷，现在就去下载吧？|VexaEmber游戏大厅|1|main";
    const struct {
        const char* name;
        const wchar_t* url;
        int answer;
        bool cancelled;
        const wchar_t* started; // file name under the folder, or null
        bool asked;
        const wchar_t* opened; // hall URL handed to the shell, or null
    } cases[] = {
        {"installed client", L"app://entergame|dragonx", IDCANCEL, true, L"Dragonx.exe", false, nullptr},
        {"name with slashes", L"app://entergame|drag/onx|http://127.0.0.1:1/hall", IDCANCEL, true,
         L"Dragonx.exe", false, nullptr},
        {"missing, declined: the hall", L"app://entergame|my/game|http://127.0.0.1:1/hall", IDCANCEL, true,
         nullptr, true, L"http://127.0.0.1:1/hall"},
        {"missing, default hall", L"http://127.0.0.1:1/x?app://entergame|mygame", IDCANCEL, true, nullptr,
         true, L"http://127.0.0.1:1/"},
        {"missing, accepted: the download", L"app://entergame|mygame|http://127.0.0.1:1/hall", IDOK, true,
         nullptr, true, nullptr},
        {"hall that is not a web address", L"app://entergame|mygame|h", IDCANCEL, true, nullptr, true,
         nullptr},
        {"hall that is a program", L"app://entergame|mygame|C:\\windows\\notepad.exe", IDCANCEL, true,
         nullptr, true, nullptr},
        // Abandoned: the navigation is screened as any other, and an "app:" one never goes ahead.
        {"empty name", L"app://entergame|//|http://127.0.0.1:1/hall", IDCANCEL, true, nullptr, false,
         nullptr},
        {"name leaving the folder", L"app://entergame|..\\..\\evil", IDCANCEL, true, nullptr, false, nullptr},
        {"name with a space", L"app://entergame|my game", IDCANCEL, true, nullptr, false, nullptr},
        {"not the command", L"app://entergam|dragonx", IDCANCEL, true, nullptr, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen = {};
        g_seen.answer = c.answer;
        EXPECT_EQ(FireBeforeNavigate(m_view, c.url), c.cancelled);
        if (c.started) {
            ASSERT_EQ(g_seen.started.size(), 1u);
            EXPECT_EQ(g_seen.started[0], folder + L"\\" + c.started);
        } else {
            EXPECT_TRUE(g_seen.started.empty());
        }
        if (c.asked) {
            ASSERT_EQ(g_seen.boxes.size(), 1u);
            EXPECT_EQ(g_seen.boxes[0], question);
        } else {
            EXPECT_TRUE(g_seen.boxes.empty());
        }
        if (c.opened) {
            ASSERT_EQ(g_seen.opened.size(), 1u);
            EXPECT_EQ(g_seen.opened[0], c.opened);
        } else {
            EXPECT_TRUE(g_seen.opened.empty());
        }
        // Only "确定" runs the download dialog, over the main window, for the client's name.
        if (c.asked && c.answer == IDOK)
            EXPECT_EQ(g_seen.dialogs, std::vector<std::wstring>{L"download|Mygame|main"});
        else
            EXPECT_TRUE(g_seen.dialogs.empty());
    }

    // One question at a time: a command arriving while it is open is cancelled and does nothing.
    g_seen = {};
    g_commandDuringBox = m_view;
    EXPECT_TRUE(FireBeforeNavigate(m_view, L"app://entergame|mygame"));
    EXPECT_EQ(g_seen.boxes.size(), 1u);
    EXPECT_EQ(g_seen.opened, std::vector<std::wstring>{L"http://127.0.0.1:1/"});

    // A frame's command (an advertisement's, say) is cancelled unheard.
    g_seen = {};
    fw::ComPtr<IDispatch> frame = fw::MakeEmptyExternal();
    EXPECT_TRUE(FireBeforeNavigate(m_view, L"app://entergame|dragonx", frame.Get()));
    EXPECT_TRUE(g_seen.started.empty());
    ::DeleteFileW(installed.c_str());
}

TEST_F(PageFrameTest, NewWindowsAreRefusedAndWebPagesGoToThePlayersBrowser) {
    fw::CBrowserControlSite* site = m_view->BrowserHost().Site();
    EXPECT_TRUE(wintest::InvokeNewWindow(site, L"http://127.0.0.2/ad"));
    EXPECT_TRUE(wintest::InvokeNewWindow(site, L"file:///C:/windows/win.ini"));
    EXPECT_TRUE(wintest::InvokeNewWindow(site, nullptr));
    EXPECT_EQ(g_seen.opened, std::vector<std::wstring>{L"http://127.0.0.2/ad"});
}

TEST_F(PageFrameTest, EnterGameArrivesThroughTheAutomationChannel) {
    g_seen.answer = IDCANCEL;
    EXPECT_EQ(
        pagetest::SendAutomation(m_frame->m_hWnd, L"app://entergame|nosuchgame|http://127.0.0.1:1/hall"), 1);
    ASSERT_TRUE(wintest::PumpUntil([] { return !g_seen.opened.empty(); }, 3000));
    EXPECT_EQ(g_seen.opened[0], L"http://127.0.0.1:1/hall");
    EXPECT_EQ(pagetest::SendAutomation(m_frame->m_hWnd, L""), 0) << "an empty request is refused";
}

TEST_F(PageFrameTest, CloseRequestRemovesABrowserBoxLeftOpen) {
    // A browser message box of this thread, as a page's alert leaves it.
    const HWND box = ::CreateWindowExW(0, L"#32770", L"来自网页的消息", WS_POPUP, 0, 0, 100, 50, nullptr,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(box);
    MSG close{m_frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0, 0, {0, 0}};
    EXPECT_FALSE(m_frame->PreTranslateMessage(&close)) << "the close itself goes on";
    EXPECT_TRUE(wintest::PumpUntil([box] { return !::IsWindow(box); }, 1000));

    // The close itself ends the page window and its view.
    ::PostMessageW(m_frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND frame = m_frame->m_hWnd;
    EXPECT_TRUE(wintest::PumpUntil([frame] { return !::IsWindow(frame); }, 2000));
    m_frame = nullptr;
    EXPECT_EQ(PageView::Current(), nullptr);
}

} // namespace
