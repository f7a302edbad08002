// The login screen under Wine: the layered backdrop and the login page over it, the keys each
// swallows, and the page's commands screened on real navigations (sent through the automation
// channel), with the label registration against a stand-in main window.
#include "web/login_dialog_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/page_protocol.h"
#include "page_window_fake_main.h"
#include "browser_events.h"
#include "win_test_support.h"

namespace {

constexpr wchar_t kGameUrl[] = L"http://127.0.0.1:1/games/tn/s1/game.html?server=S1&account=user01";
// "S1服-电信》新区一服-user01", percent-encoded as the login page sends it.
constexpr wchar_t kPayload[] =
    L"S1%E6%9C%8D-%E7%94%B5%E4%BF%A1%E3%80%8B%E6%96%B0%E5%8C%BA%E4%B8%80%E6%9C%8D-user01";

struct Box {
    HWND owner;
    std::wstring text, caption;
    UINT type;
};
std::vector<Box> g_boxes;
int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    g_boxes.push_back({owner, text, caption, type});
    return IDOK;
}

using web::LoginBackdrop;

// Runs the login screen modally; from a thread timer inside its loop, each step gets the
// backdrop in turn (one per tick). A screen still open 4 s after the last step is ended with -2.
using Step = std::function<void(LoginBackdrop&)>;
struct LoginRun {
    LoginBackdrop* dlg = nullptr;
    std::vector<Step> steps;
    size_t next = 0;
    int idle = 0;
};
LoginRun* g_run = nullptr;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_run || !g_run->dlg->m_hWnd) return;
    if (g_run->next < g_run->steps.size()) {
        g_run->steps[g_run->next++](*g_run->dlg);
    } else if (++g_run->idle > 40) {
        g_run->dlg->EndDialog(-2);
    }
}

struct WatchedBackdrop : LoginBackdrop { // notes whether the page was made before the picture showed
    using LoginBackdrop::LoginBackdrop;
    bool pageBeforePicture = true;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_SHOWWINDOW && w) pageBeforePicture = LoginPage().IsWindow();
        return LoginBackdrop::WindowProc(msg, w, l);
    }
};

class LoginTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pagetest::PrepareSwitches());
        ASSERT_TRUE(pagetest::CreateFakeMain(m_main));
        m_context = {m_main.hwnd, 0, true};
        m_context.seams.messageBox = RecordBox;
        m_context.seams.shellOpen = [](const std::wstring&) { return false; };
        g_boxes.clear();
    }
    void TearDown() override {
        ::DestroyWindow(m_main.hwnd);
        pagetest::CurrentFake() = nullptr;
    }

    INT_PTR RunLogin(std::vector<Step> steps) {
        WatchedBackdrop dlg(m_context);
        LoginRun run{&dlg, std::move(steps)};
        g_run = &run;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, OnTick);
        const INT_PTR result = dlg.DoModal();
        m_gameUrl = dlg.LoginPage().GameUrl();
        m_pageBeforePicture = dlg.pageBeforePicture;
        ::KillTimer(nullptr, timer);
        g_run = nullptr;
        EXPECT_EQ(run.next, run.steps.size()) << "the screen ended before every step ran";
        return result;
    }
    static Step Navigate(std::wstring url) {
        return [url](LoginBackdrop& dlg) {
            EXPECT_EQ(pagetest::SendAutomation(dlg.LoginPage().m_hWnd, url), 1) << "automation refused";
        };
    }

    pagetest::FakeMain m_main;
    web::PageContext m_context;
    std::wstring m_gameUrl; // what the last RunLogin's page gave
    bool m_pageBeforePicture = true;
};

TEST_F(LoginTest, BackdropIsTheLayeredPictureWithTheLoginPageOverIt) {
    const INT_PTR result = RunLogin({
        [](LoginBackdrop& dlg) {
            const HWND bk = dlg.m_hWnd;
            EXPECT_TRUE(::GetWindowLongPtrW(bk, GWL_EXSTYLE) & WS_EX_LAYERED);
            EXPECT_TRUE(::GetWindowLongPtrW(bk, GWL_STYLE) & WS_MINIMIZEBOX);
            EXPECT_EQ(dlg.GetWindowText(), L"Vexa - Tarn");
            EXPECT_EQ(dlg.ImageSize().cx, 888);
            EXPECT_EQ(dlg.ImageSize().cy, 518);
            RECT rc = dlg.GetWindowRect();
            EXPECT_EQ(rc.right - rc.left, 888);
            EXPECT_EQ(rc.bottom - rc.top, 518);

            const HWND page = dlg.LoginPage().m_hWnd;
            ASSERT_TRUE(::IsWindow(page));
            EXPECT_EQ(::GetWindow(page, GW_OWNER), bk);
            const LONG_PTR ex = ::GetWindowLongPtrW(page, GWL_EXSTYLE);
            EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
            EXPECT_FALSE(ex & WS_EX_APPWINDOW);
            COLORREF key = 0;
            DWORD flags = 0;
            EXPECT_TRUE(::GetLayeredWindowAttributes(page, &key, nullptr, &flags));
            EXPECT_EQ(key, RGB(254, 254, 254));
            EXPECT_TRUE(flags & LWA_COLORKEY);
            // The page is hidden until its first navigation completes (never, offline).
            EXPECT_FALSE(::IsWindowVisible(page));
            RECT pageRc{};
            ::GetWindowRect(page, &pageRc);
            EXPECT_TRUE(::EqualRect(&pageRc, &rc));
        },
        [](LoginBackdrop& dlg) {
            // The page follows the backdrop when it moves.
            ::SetWindowPos(dlg.m_hWnd, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RECT pageRc{};
            ::GetWindowRect(dlg.LoginPage().m_hWnd, &pageRc);
            EXPECT_EQ(pageRc.left, 37);
            EXPECT_EQ(pageRc.top, 41);
            EXPECT_EQ(pageRc.right - pageRc.left, 888);
        },
        // Enter on the backdrop, Escape and F5 on the page: all without effect.
        [](LoginBackdrop& dlg) { ::PostMessageW(dlg.m_hWnd, WM_KEYDOWN, VK_RETURN, 0x001C0001); },
        [](LoginBackdrop& dlg) { ::PostMessageW(dlg.LoginPage().m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001); },
        [](LoginBackdrop& dlg) { ::PostMessageW(dlg.LoginPage().m_hWnd, WM_KEYDOWN, VK_F5, 0x003F0001); },
        [](LoginBackdrop& dlg) {
            EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
            ::SetFocus(dlg.m_hWnd);
            ::PostMessageW(dlg.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        },
    });
    EXPECT_EQ(result, IDCANCEL) << "Escape on the backdrop cancels the login";
    EXPECT_FALSE(m_pageBeforePicture) << "the picture shows first, the browser control after";
    EXPECT_EQ(m_main.Count(WM_COPYDATA), 0u);
}

TEST_F(LoginTest, PageCommandsEndTheLoginAsTheMainWindowAnswers) {
    const std::wstring loadgame = std::wstring(L"app://loadgame?") + kPayload + L"|" + kGameUrl;
    const std::wstring longAccount(300, L'a');
    const struct {
        const char* name;
        std::wstring url;
        bool accept;
        int pageCount;
        INT_PTR result;
        const wchar_t* label;   // null: nothing sent to the main window
        const wchar_t* box;     // null: no message box
        const wchar_t* gameUrl; // the game page the login gave, null: none
    } cases[] = {
        {"accepted", loadgame, true, 0, IDOK, L"1服-新区一服-user01", nullptr, kGameUrl},
        {"refused as duplicate", loadgame, false, 1, IDCANCEL, L"1服-新区一服-user01",
         L"账号 user01 已在 1服 登录，同一账号不能在一服重复登录", nullptr},
        {"any two characters after app:", L"app:xxloadgame?S3服-abc-player01|http://127.0.0.1:1/g", true, 0,
         IDOK, L"3服-abc-player01", nullptr, L"http://127.0.0.1:1/g"},
        {"label too long for the main window",
         L"app://loadgame?S2服-x-" + longAccount + L"|http://127.0.0.1:1/g", true, 0, IDCANCEL, nullptr,
         L"账号信息过长，无法进入游戏，请换一个账号登录", nullptr},
        {"exitgame", L"app://exitgame", true, 0, IDCANCEL, nullptr, nullptr, nullptr},
        {"minimize beside open pages", L"app://minimize", true, 2, IDCANCEL, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_main.received.clear();
        m_main.accept = c.accept;
        m_context.parentPageCount = c.pageCount;
        g_boxes.clear();

        EXPECT_EQ(RunLogin({Navigate(c.url)}), c.result);
        if (c.label) {
            ASSERT_EQ(m_main.Count(WM_COPYDATA), 1u);
            const auto* sent = m_main.Last(WM_COPYDATA);
            EXPECT_EQ(sent->text, c.label);
            EXPECT_EQ(sent->senderProcess, ::GetCurrentProcessId()) << "names its own window";
            EXPECT_EQ(sent->dwData, 0u);
            EXPECT_EQ(sent->cbData, (wcslen(c.label) + 1) * 2);
        } else {
            EXPECT_EQ(m_main.Count(WM_COPYDATA), 0u);
        }
        if (c.box) {
            ASSERT_EQ(g_boxes.size(), 1u);
            EXPECT_EQ(g_boxes[0].text, c.box);
            EXPECT_EQ(g_boxes[0].caption, L"Vexa - Tarn");
            EXPECT_EQ(g_boxes[0].type, 0u);
            EXPECT_EQ(g_boxes[0].owner, nullptr);
        } else {
            EXPECT_TRUE(g_boxes.empty());
        }
        EXPECT_EQ(m_gameUrl, c.gameUrl ? c.gameUrl : L"");
    }
}

TEST_F(LoginTest, OtherUrlsAndCommandsFromElsewhereLeaveTheLoginRunning) {
    const INT_PTR result = RunLogin({
        Navigate(L"app://zzzzzzzz"),
        Navigate(L"APP://loadgame?S1服-a-b|g"),
        Navigate(L"http://127.0.0.1:1/other.html"),
        // A game page that is not the publisher's over http(s) is refused, and so the login.
        Navigate(L"app://loadgame"),
        Navigate(L"app://loadgame?S1服-a-b|file:///C:/windows/win.ini"),
        Navigate(L"app://loadgame?S1服-a-b|\\\\127.0.0.1\\share\\game.htm"),
        // A command of a frame that can't tell its address counts for nothing.
        [](LoginBackdrop& dlg) {
            base::ComPtr<IDispatch> frame = fw::MakeEmptyExternal();
            EXPECT_TRUE(wintest::InvokeBeforeNavigate(dlg.LoginPage().BrowserHost().Site(), frame.Get(),
                                                      L"app://exitgame"));
        },
        // Nor does the top-level page's while it is not the publisher's.
        Navigate(L"about:blank"),
        Navigate(L"app://exitgame"),
        [this](LoginBackdrop& dlg) {
            EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
            EXPECT_EQ(m_main.Count(WM_COPYDATA), 0u);
            EXPECT_TRUE(g_boxes.empty());
        },
        Navigate(L"http://127.0.0.1:1/games/tn/dlq/index.html"),
        Navigate(L"app://exitgame"),
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(LoginTest, MinimizeWithoutOpenPagesMinimisesAWindowAndGoesOn) {
    const bool uac = web::IsUacEnabled();
    const INT_PTR result = RunLogin({
        Navigate(L"app://minimize"),
        [&](LoginBackdrop& dlg) {
            if (uac) {
                EXPECT_TRUE(::IsIconic(dlg.m_hWnd));
                ::ShowWindow(dlg.m_hWnd, SW_RESTORE);
            } else {
                // The main window minimises itself when asked.
                const auto* asked = m_main.Last(base::WM_PAGEREQUEST);
                ASSERT_NE(asked, nullptr);
                EXPECT_EQ(asked->wParam, static_cast<WPARAM>(base::PageRequest::Minimize));
            }
        },
        Navigate(L"app://exitgame"),
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(LoginTest, CancelledLoginTellsTheMainWindowOnce) {
    // RunLoginScreen runs the same screen; its loop is driven by the same timer.
    const std::wstring loadgame = std::wstring(L"app://loadgame?") + kPayload + L"|" + kGameUrl;
    for (const bool accept : {false, true}) {
        m_main.received.clear();
        m_main.accept = accept;
        // The backdrop of RunLoginScreen is found through the thread's windows.
        static std::wstring s_url;
        s_url = loadgame;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
            struct Search {
                HWND page = nullptr;
            } search;
            ::EnumThreadWindows(
                ::GetCurrentThreadId(),
                [](HWND hwnd, LPARAM p) -> BOOL {
                    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
                    if (owner && (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                        (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
                        reinterpret_cast<Search*>(p)->page = hwnd;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.page && pagetest::SendAutomation(search.page, s_url) == 1) ::KillTimer(nullptr, id);
        });
        const bool ok = web::RunLoginScreen(m_context);
        ::KillTimer(nullptr, timer);
        wintest::PumpPending(); // what the screen posted to the main window
        EXPECT_EQ(ok, accept);
        const size_t closes = m_main.Count(base::WM_PAGEREQUEST);
        if (accept) {
            EXPECT_EQ(closes, 0u);
        } else {
            ASSERT_EQ(closes, 1u);
            const auto* close = m_main.Last(base::WM_PAGEREQUEST);
            EXPECT_EQ(close->wParam, static_cast<WPARAM>(base::PageRequest::LoginCancelled));
            EXPECT_EQ(close->lParam, static_cast<LPARAM>(::GetCurrentProcessId()));
        }
    }
}

} // namespace
