// The page window under Wine: the frame made by the start-up routine, re-parented into a
// stand-in main window and announced; placed into the content area after a navigation completes
// unless it was hidden behind another tab; the keys it forwards, swallows or acts on;
// "entergame" asked of the main window; the browser box clean-up after a close request.
#include "web/page_window_win.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fw/message_loop_win.h"
#include "page_window_fake_main.h"
#include "base/page_protocol.h"
#include "browser_events.h"
#include "win_test_support.h"

namespace {

constexpr wchar_t kGameUrl[] = L"http://127.0.0.1:1/games/tn/s2/game.html?server=S2&account=user02";

struct Seen {
    std::vector<std::wstring> boxes; // text|caption|type|owner-is-main
    std::vector<std::wstring> opened;
    std::vector<std::wstring> dialogs; // fav|name|url|owner-is-main
    int answer = IDCANCEL;
};
Seen g_seen;
HWND g_mainForBoxes = nullptr;

// Before-navigate of the view's top-level document, or of a frame in it.
bool FireBeforeNavigate(web::PageView* view, const wchar_t* url, IDispatch* frame = nullptr) {
    return wintest::InvokeBeforeNavigate(view->BrowserHost().Site(), frame ? frame : view->GetBrowser(), url);
}

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    g_seen.boxes.push_back(std::wstring(text) + L"|" + caption + L"|" + std::to_wstring(type) + L"|" +
                           (owner == g_mainForBoxes ? L"main" : L"other"));
    return g_seen.answer;
}
bool RecordOpen(const std::wstring& url) {
    g_seen.opened.push_back(url);
    return true;
}
void RecordFavourite(HWND owner, const std::wstring& name, const std::wstring& url) {
    g_seen.dialogs.push_back(L"fav|" + name + L"|" + url + (owner == g_mainForBoxes ? L"|main" : L"|other"));
}

void FireWithString(web::PageView* view, DISPID id, const wchar_t* text) {
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
        g_seen = {};
        m_frame = web::CreateGamePageFrame(
            {m_main.hwnd, 0, true, kGameUrl, {RecordBox, RecordOpen, RecordFavourite}}, false);
        ASSERT_NE(m_frame, nullptr);
        m_view = web::PageView::Current();
        ASSERT_NE(m_view, nullptr);
        wintest::PumpPending();
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
    web::PageView* m_view = nullptr;
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
        wintest::PumpPending(); // what the routing posted to the main window
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
        wintest::PumpPending();
        for (const auto& r : m_main.received)
            EXPECT_FALSE(r.msg == WM_SYSCOMMAND && (r.wParam & 0xFFF0) == SC_KEYMENU);
    }
}

// The page asks the main window for the client by its name alone; on the main window's answer
// that the player declined the download, it opens its hall address in the player's browser.
TEST_F(PageFrameTest, EnterGameAsksTheMainWindowAndOpensTheHallWhenTheDownloadIsDeclined) {
    const struct {
        const char* name;
        const wchar_t* url;
        const wchar_t* sent;   // the client name the main window is asked for, or null
        bool taken;            // the main window's answer to the request
        WPARAM declined;       // the main window's later answer
        const wchar_t* opened; // the hall address handed to the shell, or null
    } cases[] = {
        {"declined: the hall", L"app://entergame|drag/onx|http://127.0.0.1:1/hall", L"Dragonx", true, 1,
         L"http://127.0.0.1:1/hall"},
        {"started or downloaded", L"app://entergame|mygame|http://127.0.0.1:1/hall", L"Mygame", true, 0,
         nullptr},
        {"not taken", L"app://entergame|mygame|http://127.0.0.1:1/hall", L"Mygame", false, 1, nullptr},
        {"hall that is not a web address", L"app://entergame|mygame|h", L"Mygame", true, 1, nullptr},
        // Abandoned: the navigation is screened as any other, and an "app:" one never goes ahead.
        {"empty name", L"app://entergame|//|http://127.0.0.1:1/hall", nullptr, true, 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen = {};
        m_main.received.clear();
        m_main.accept = c.taken;
        EXPECT_TRUE(FireBeforeNavigate(m_view, c.url)) << "cancelled";
        const auto* sent = m_main.Last(WM_COPYDATA);
        EXPECT_EQ(sent ? sent->text : L"-", c.sent ? c.sent : L"-");
        EXPECT_TRUE(!sent ||
                    (sent->dwData == base::kEnterGameCopyData && sent->wParam == WPARAM(m_frame->m_hWnd)));
        ::PostMessageW(m_frame->m_hWnd, base::WM_ENTERGAMEDONE, c.declined, 0);
        ::PostMessageW(m_frame->m_hWnd, base::WM_ENTERGAMEDONE, c.declined, 0); // answered once only
        wintest::PumpPending();
        EXPECT_EQ(g_seen.opened,
                  c.opened ? std::vector<std::wstring>{c.opened} : std::vector<std::wstring>{});
        EXPECT_TRUE(g_seen.boxes.empty()) << "the main window asks, not the page";
    }
    m_main.accept = true;

    // A frame's command (an advertisement's, say) is cancelled unheard.
    m_main.received.clear();
    base::ComPtr<IDispatch> frame = fw::MakeEmptyExternal();
    EXPECT_TRUE(FireBeforeNavigate(m_view, L"app://entergame|dragonx", frame.Get()));
    EXPECT_EQ(m_main.Count(WM_COPYDATA), 0u);
}

TEST_F(PageFrameTest, NewWindowsAreRefusedAndWebPagesGoToThePlayersBrowser) {
    fw::CBrowserControlSite* site = m_view->BrowserHost().Site();
    EXPECT_TRUE(wintest::InvokeNewWindow(site, L"http://127.0.0.2/ad"));
    EXPECT_TRUE(wintest::InvokeNewWindow(site, L"file:///C:/windows/win.ini"));
    EXPECT_TRUE(wintest::InvokeNewWindow(site, nullptr));
    EXPECT_EQ(g_seen.opened, std::vector<std::wstring>{L"http://127.0.0.2/ad"});
}

TEST_F(PageFrameTest, EnterGameArrivesThroughTheAutomationChannel) {
    EXPECT_EQ(
        pagetest::SendAutomation(m_frame->m_hWnd, L"app://entergame|nosuchgame|http://127.0.0.1:1/hall"), 1);
    ASSERT_TRUE(wintest::PumpUntil([this] { return m_main.Count(WM_COPYDATA) == 1; }, 3000));
    EXPECT_EQ(m_main.Last(WM_COPYDATA)->text, L"Nosuchgame");
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
    EXPECT_EQ(web::PageView::Current(), nullptr);
}

} // namespace
