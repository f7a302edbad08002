#include "web/page_window_win.h"

#include <memory>
#include <utility>

#include "base/hotkey_win.h"
#include "base/product.h"
#include "base/sound_mute_win.h"
#include "base/trace_win.h"
#include "fw/web_address.h"
#include "net/cache_clear_win.h"
#include "net/game_client_rules.h"
#include "resource.h"
#include "web/automation_channel.h"
#include "web/automation_tone_win.h"
#include "web/page_addresses_win.h"
#include "web/navigation_screen_win.h"
#include "web/page_keys.h"

namespace web {

static_assert(kKeyF5 == VK_F5);

namespace {

constexpr const wchar_t* kTitle = base::kAppTitle;
// The main window answers "entergame" at once; it is hung if it does not within this time.
constexpr UINT kEnterGameAnswerMs = 5000;

PageView* g_pageView = nullptr;

// The page the frame around `view` shows.
std::wstring GamePageOf(const CView& view) {
    if (const auto* frame = dynamic_cast<const PageFrame*>(view.GetParentFrame()))
        return frame->Context().gamePageUrl;
    return HallPageUrl();
}

// How the view reaches the player and the system: as its frame does.
const PageSeams& SeamsOf(const CView& view) {
    if (const auto* frame = dynamic_cast<const PageFrame*>(view.GetParentFrame()))
        return frame->Context().seams;
    static const PageSeams kReal; // a view outside a page frame: the real thing
    return kReal;
}

// The browser's own message boxes a page may leave open, by their titles.
struct BrowserBoxSearch {
    const wchar_t* title;
    HWND found;
};
BOOL CALLBACK FindBrowserBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<BrowserBoxSearch*>(param);
    wchar_t cls[16] = {}, title[64] = {};
    ::GetClassNameW(hwnd, cls, 16);
    ::GetWindowTextW(hwnd, title, 64);
    if (std::wstring_view(cls) == L"#32770" && std::wstring_view(title) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

// ---- PageView -------------------------------------------------------------------------------

PageView* PageView::Current() {
    return g_pageView;
}

int PageView::OnCreate(CREATESTRUCTW* cs) {
    ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return CHtmlView::OnCreate(cs);
}

void PageView::PostNcDestroy() {
    if (g_pageView == this) g_pageView = nullptr;
    CHtmlView::PostNcDestroy();
}

void PageView::OnInitialUpdate() {
    CHtmlView::OnInitialUpdate();
    g_pageView = this;
    SetSilent(true);
    if (const std::wstring page = GamePageOf(*this); MayNavigateTo(page)) Navigate2(page);
}

HRESULT PageView::OnGetHostInfo(DOCHOSTUIINFO* info) {
    // Game pages have no border and no scroll bars; the hall page keeps the browser's own.
    if (GamePageOf(*this) != HallPageUrl())
        info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    return S_OK;
}

void PageView::NavigateComplete2(IDispatch*, const std::wstring& url) {
    m_pageUrl = url;
    if (auto* frame = dynamic_cast<PageFrame*>(GetParentFrame())) frame->PlaceAfterNavigation();
}

void PageView::TitleChange(const std::wstring& title) {
    m_pageTitle = title;
}

void PageView::BeforeNavigate2(IDispatch* frame, const std::wstring& url, bool& cancel) {
    HostNavigation(BrowserHost(), frame, url, cancel, CommandPage::Game, *this, SeamsOf(*this));
}

void PageView::OnEnterGame(const EnterGameArgs& args) {
    const auto name = net::GameClientName(args.gameName);
    if (!name) {
        base::Trace(L"entergame abandoned, no client name in it", 0);
        return;
    }
    if (auto* pageFrame = dynamic_cast<PageFrame*>(GetParentFrame()))
        pageFrame->RequestEnterGame(*name, args.hallUrl);
}

void PageView::NewWindowRefused(const std::wstring& url) {
    OpenRefusedWindow(url, SeamsOf(*this));
}

void PageView::RefreshPage() {
    if (MayNavigateTo(BrowserHost().LocationUrl())) Refresh();
}

// ---- PageFrame -------------------------------------------------------------------------------

PageFrame::PageFrame(const PageContext& context) : m_context(context) {
    m_automation.Enable(m_context.automation);
}

BOOL PageFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    cs.cx = 10;
    cs.cy = 10;
    cs.hMenu = nullptr;
    cs.style &= ~static_cast<DWORD>(WS_CAPTION | WS_THICKFRAME);
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_APPWINDOW);
    cs.dwExStyle |= WS_EX_TOOLWINDOW;
    return TRUE;
}

int PageFrame::OnCreate(CREATESTRUCTW* cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    // The system gives every overlapped window a caption whatever it was created with: the frame
    // is stripped again so that it sits in the content area as a bare page.
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The main window makes the frame its child when it adopts the page (WM_PAGEADOPTED).
    if (::IsWindow(m_context.parent))
        ::PostMessageW(m_context.parent, base::WM_PAGECREATED, reinterpret_cast<WPARAM>(m_hWnd),
                       m_context.gamePageUrl == HallPageUrl() ? 1 : 0);
    OnReloadHotkeys();
    ::SetTimer(m_hWnd, kParentWatchTimer, kParentWatchMs, nullptr);
    return 0;
}

void PageFrame::RequestEnterGame(const std::wstring& clientName, const std::wstring& hallUrl) {
    COPYDATASTRUCT data{};
    data.dwData = base::kEnterGameCopyData;
    data.cbData = static_cast<DWORD>((clientName.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(clientName.c_str());
    DWORD_PTR taken = 0;
    if (!::SendMessageTimeoutW(m_context.parent, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd),
                               reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kEnterGameAnswerMs,
                               &taken) ||
        taken == 0) {
        // Another request is being settled, or the main window is gone or hung.
        base::Trace(L"entergame not taken by the main window", ::GetLastError());
        return;
    }
    m_enterGameHall = hallUrl;
}

LRESULT PageFrame::OnEnterGameDone(WPARAM declined) {
    // The player's browser runs with the player's rights: that is the page's to open, not the
    // main window's. The hall address comes from a web page: only web addresses go there.
    std::optional<std::wstring> hall = std::exchange(m_enterGameHall, std::nullopt);
    if (declined == 1 && hall && fw::IsWebAddress(*hall)) m_context.seams.shellOpen(*hall);
    return 0;
}

void PageFrame::PlaceAfterNavigation() {
    // Not yet inside the main window: placed there once the main window has adopted it.
    if (::GetAncestor(m_hWnd, GA_PARENT) != m_context.parent) {
        m_placeWhenAdopted = true;
        return;
    }
    // The frame's own visibility, not its parent's: the selected tab of a main window hidden in
    // the tray is still the one that shows.
    const bool selected = (GetStyle() & WS_VISIBLE) != 0;
    if (m_shownOnce && !selected) return;
    RECT client{};
    ::GetClientRect(m_context.parent, &client);
    const base::Rect area = base::ContentArea(client.right - client.left, client.bottom - client.top);
    ::MoveWindow(m_hWnd, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    ShowWindow(SW_SHOW);
    m_shownOnce = true;
}

LRESULT PageFrame::OnReloadHotkeys() {
    m_bossKey = base::LoadHotkey(base::HotkeyRole::Boss);
    m_switchKey = base::LoadHotkey(base::HotkeyRole::Switch);
    m_soundKey = base::LoadHotkey(base::HotkeyRole::Sound);
    return 0;
}

LRESULT PageFrame::OnAutomationQuery(WPARAM question, LPARAM argument) const {
    switch (static_cast<AutomationQuestion>(question)) {
    case AutomationQuestion::MuteState:
        return m_muteApplied ? (m_lastMuted ? 1 : 0) : 2;
    case AutomationQuestion::KeyDowns:
        return m_keyDowns[argument & 0xFF];
    case AutomationQuestion::HotkeyCode: {
        const base::HotkeySpec keys[] = {m_bossKey, m_switchKey, m_soundKey};
        return argument >= 0 && argument < 3 ? keys[argument].code : -1;
    }
    }
    return -1;
}

LRESULT PageFrame::OnPageMute(WPARAM muted) {
    const bool mute = muted != 0;
    if (!m_muteApplied || mute != m_lastMuted) {
        base::SetProcessMute(mute); // a failure leaves the sound as it was
        m_muteApplied = true;
        m_lastMuted = mute;
    }
    return 0;
}

void PageFrame::OnTimer(UINT_PTR id) {
    switch (id) {
    case kParentWatchTimer:
        // The main window is gone: so is the reason for this page.
        if (!::IsWindow(m_context.parent)) ::PostQuitMessage(0);
        break;
    case kCloseCleanupTimer: {
        ::KillTimer(m_hWnd, kCloseCleanupTimer);
        // Only this thread's windows: the browser's boxes are ours, and another process's
        // windows cannot be destroyed from here anyway.
        for (const wchar_t* title :
             {L"来自网页的消息", L"Windows Internet Explorer", L"Microsoft Internet Explorer"}) {
            BrowserBoxSearch search{title, nullptr};
            ::EnumThreadWindows(::GetCurrentThreadId(), FindBrowserBox, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                ::DestroyWindow(search.found);
                break;
            }
        }
        break;
    }
    case kRaiseParentTimer: {
        ::KillTimer(m_hWnd, kRaiseParentTimer);
        if (::IsWindow(m_context.parent)) AskMainWindow(m_context.parent, base::PageRequest::Raise);
        break;
    }
    default:
        break;
    }
}

int PageFrame::OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) {
    ::SetTimer(m_hWnd, kRaiseParentTimer, kRaiseParentMs, nullptr);
    return CFrameWnd::OnMouseActivate(topLevel, hitTest, message);
}

BOOL PageFrame::PreTranslateMessage(MSG* msg) {
    const UINT message = msg->message;
    const bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (keyDown && m_context.automation) {
        unsigned char& seen = m_keyDowns[msg->wParam & 0xFF];
        if (seen < 255) ++seen;
    }
    if (keyDown && msg->lParam != base::kSelfMarker) {
        if (base::HotkeyMatches(m_switchKey, msg->wParam, base::CurrentModifierMask())) {
            AskMainWindow(m_context.parent, base::PageRequest::SwitchPage);
            return TRUE;
        }
    }
    // Released alone, F10 and Alt put the top-level window into menu mode. That window is the
    // main window, in another process: this thread would wait on it until its (unseen) menu mode
    // ended, handling none of its own posted messages meanwhile, the mute broadcast included.
    // The page has no menu to open, so the release goes no further.
    if (message == WM_SYSKEYUP && (msg->wParam == VK_F10 || msg->wParam == VK_MENU)) return TRUE;
    if (message == WM_CHAR && base::IsFavouritesChar(msg->wParam, msg->lParam)) {
        const PageView* view = PageView::Current();
        m_context.seams.runFavourites(m_context.parent, view ? view->PageTitle() : std::wstring(),
                                      view ? view->PageUrl() : std::wstring());
        return TRUE;
    }
    if (message == WM_KEYDOWN && msg->wParam == kKeyF5) {
        PageView* view = PageView::Current();
        if (ScreenRefreshKey(m_bossKey, m_soundKey, msg->lParam, view != nullptr) == RefreshKey::Refresh) {
            net::PurgeLoaderCache();
            view->RefreshPage();
        }
        return TRUE;
    }
    if (message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE)
        ::SetTimer(m_hWnd, kCloseCleanupTimer, kCloseCleanupMs, nullptr);
    return CFrameWnd::PreTranslateMessage(msg);
}

LRESULT PageFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case base::WM_PAGEMUTE:
        return OnPageMute(wParam);
    case base::WM_RELOADHOTKEYS:
        return OnReloadHotkeys();
    case base::WM_ENTERGAMEDONE:
        return OnEnterGameDone(wParam);
    case base::WM_PAGEADOPTED:
        if (m_placeWhenAdopted) PlaceAfterNavigation();
        m_placeWhenAdopted = false;
        return 0;
    case kAutomationQuery:
        if (m_context.automation) return OnAutomationQuery(wParam, lParam);
        break;
    case WM_COPYDATA:
        if (LRESULT result = 0; m_automation.OnCopyData(m_hWnd, lParam, &result)) return result;
        if (LRESULT result = 0; OnAutomationTone(m_context.automation, lParam, &result)) return result;
        break;
    case AutomationNavigator::kNavigateMessage: {
        const std::wstring url = m_automation.TakeUrl();
        if (PageView* view = PageView::Current(); view && !url.empty()) view->Navigate2(url);
        return 0;
    }
    }
    return CFrameWnd::WindowProc(msg, wParam, lParam);
}

// ---- start-up ---------------------------------------------------------------------------------

CWnd* CreateGamePageFrame(const PageContext& context, bool gameHall) {
    PageContext shown = context;
    if (gameHall || shown.gamePageUrl.empty()) shown.gamePageUrl = HallPageUrl();
    auto owned = std::make_unique<PageFrame>(shown);
    if (!owned->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr,
                          []() -> CView* { return new PageView; }))
        return nullptr;
    owned->m_bAutoDelete = true; // from here on the window's end deletes the frame
    CFrameWnd* frame = owned.release();
    frame->InitialUpdateFrame();
    frame->SetWindowText(kTitle);
    frame->ShowWindow(SW_HIDE);
    ::UpdateWindow(frame->m_hWnd);
    return frame;
}

} // namespace web
