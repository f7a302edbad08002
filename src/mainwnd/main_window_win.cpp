// The main game window: initialisation, the page operations, the menu commands and the messages
// of pages, tray, hook and timer.
#include "mainwnd/main_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "base/hotkey_win.h"
#include "base/os_version_win.h"
#include "base/page_protocol.h"
#include "base/product.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/process_win.h"
#include "fw/restricted_start_win.h"
#include "mainwnd/hotkey_hook_win.h"
#include "mainwnd/layout_rules.h"
#include "mainwnd/main_messages.h"
#include "mainwnd/pre_vista_login_win.h"
#include "mainwnd/hotkey_settings_dialog_win.h"
#include "mainwnd/system_menu_win.h"
#include "net/cache_clear_win.h"
#include "resource.h"
#include "ui/skinned_message_box_win.h"
#include "ui/skin_image_win.h"

namespace mainwnd {

using namespace mainwnd;

// The caption layout names the template's controls by number.
static_assert(kHideControlId == IDC_MAIN_HIDE && kSoundControlId == IDC_MAIN_SOUND &&
              kSystemControlId == IDC_MAIN_SYSTEM && kOtherAccountControlId == IDC_MAIN_OTHER_ACCOUNT);

namespace {

constexpr const wchar_t* kTitle = base::kAppTitle;
constexpr wchar_t kCacheClearedText[] = L"缓存清除完毕！";
constexpr wchar_t kUpToDateText[] = L"已经是最新版本，无需进行更新。";

static_assert(WM_GLOBALHOTKEY != PageProcessWatch::kEndedMessage);

HINSTANCE ModuleInstance() {
    return ::GetModuleHandleW(nullptr);
}

bool IsVisibleWindow(HWND hwnd) {
    return hwnd && ::IsWindow(hwnd) && ::IsWindowVisible(hwnd);
}

} // namespace

MainWindow::MainWindow(MainWindowOptions options) : ui::SkinnedDialog(IDD), m_options(std::move(options)) {
}

MainWindow::~MainWindow() {
    // Destroyed here, while the object is still a MainWindow, so that WM_DESTROY takes the
    // tray icon and the timer away.
    if (IsWindow()) DestroyWindow();
}

void MainWindow::DoDataExchange() {
    DDX_Control(IDC_MAIN_HIDE, m_hideButton);
    DDX_Control(IDC_MAIN_SYSTEM, m_systemButton);
    DDX_Control(IDC_MAIN_SOUND, m_soundButton);
    DDX_Control(IDC_MAIN_OTHER_ACCOUNT, m_otherAccountLabel);
}

BOOL MainWindow::OnInitDialog() {
    ui::SkinnedDialog::OnInitDialog();
    // The login process starts first: its start is most of the time until the player sees the
    // login page, and it needs nothing from the rest of this initialisation. The window waits
    // in its place (1 x 1 at the top left) and is shown before, as the login page is placed
    // over its owner when that is visible.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    AllowPageMessages();
    const bool loginStarted = LaunchPageProcess();
    if (m_options.afterLoginStart) m_options.afterLoginStart();
    const HINSTANCE instance = ModuleInstance();
    m_icon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    m_smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    m_keyboardHook.Install(m_hWnd, [this] { return m_model.TabCount() > 0; });
    m_osMajorVersion = base::OsMajorVersion();

    ModifyStyle(0, WS_CLIPCHILDREN);
    SetTitle(kTitle);
    ui::FrameStyle style = ui::kPopupFrame;
    style.captionHeight = base::kCaptionHeight;
    style.border = base::kBorderWidth;
    style.resizable = true;
    SetStyle(style);
    SetSkin({.background = base::Bitmap(LoadSkinImage(instance, IDB_MAIN_BACK)),
             .close = base::Bitmap(LoadSkinImage(instance, IDB_BTN_CLOSE)),
             .minimize = base::Bitmap(LoadSkinImage(instance, IDB_BTN_MINIMIZE)),
             .maximize = base::Bitmap(LoadSkinImage(instance, IDB_BTN_MAXIMIZE)),
             .restore = base::Bitmap(LoadSkinImage(instance, IDB_BTN_RESTORE))},
            {.stretch = true});

    base::Bitmap hide(LoadSkinImage(instance, IDB_BTN_HIDE));
    base::Bitmap system(LoadSkinImage(instance, IDB_BTN_SYSTEM));
    m_soundOnImage.Reset(LoadSkinImage(instance, IDB_SOUND_ON));
    m_soundOffImage.Reset(LoadSkinImage(instance, IDB_SOUND_OFF));
    m_hideButton.SetImage(hide.Get(), FALSE);
    m_soundButton.SetImage(m_soundOnImage.Get(), FALSE);
    m_systemButton.SetImage(system.Get(), FALSE);
    m_systemButton.SetTextColour(RGB(255, 255, 255));
    ui::LabelStyle link;
    link.textColour = RGB(255, 255, 255);
    link.underline = true;
    link.handCursor = true;
    m_otherAccountLabel.SetStyle(link);
    base::Bitmap padlock(LoadSkinImage(instance, IDB_PADLOCK));
    m_otherAccountLabel.SetImage(padlock.Get());
    m_otherAccountLabel.ModifyStyle(0, SS_NOTIFY);
    m_tabs.Create(m_hWnd);
    LoadHotkeys();
    if (m_osMajorVersion < 6) CreatePreVistaLoginDialog(*this);
    if (!loginStarted) {
        // Without its login the window would wait, 1 x 1 and unseen, for a page that never comes.
        AskPlayer(std::wstring(kLoginStartFailedText).c_str(), MB_OK);
        QuitAll();
    }
    return TRUE;
}

int MainWindow::AskPlayer(const wchar_t* text, UINT type) {
    return m_options.messageBox(nullptr, text, kTitle, type);
}

bool MainWindow::StartProgram(const std::wstring& options, bool keepProcess) {
    bool started = false;
    base::Handle process =
        fw::StartChildProcess(m_options.programPath, options, base::SystemFolder(), keepProcess, &started);
    if (started && keepProcess) WatchPageProcess(std::move(process));
    return started;
}

bool MainWindow::LaunchPageProcess() {
    const std::wstring options =
        PageProcessArguments(reinterpret_cast<std::intptr_t>(m_hWnd), m_model.TabCount());
    fw::StartFailure failure{L"test switch", ERROR_ACCESS_DENIED};
    base::Handle process;
    if (!m_options.failRestrictedStart)
        process = fw::StartRestrictedProcess(m_options.programPath, options, &failure);
    if (process) {
        WatchPageProcess(std::move(process));
        return true;
    }
    // The player can still play, with the page at this process's rights as before.
    base::Trace(L"page process not restricted, started with full rights", failure.step, failure.error);
    return StartProgram(options, true);
}

void MainWindow::AllowPageMessages() {
    // Windows 7's per-window filter; before it every process ran at one level or none.
    const auto filter = reinterpret_cast<decltype(&::ChangeWindowMessageFilterEx)>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (!filter) {
        base::Trace(L"page messages not let through", ERROR_PROC_NOT_FOUND);
        return;
    }
    // Exactly what pages send: the announcement, the label (and other WM_COPYDATA requests,
    // each checked by its handler) and the requests. Nothing a page could make the window do
    // through a message meant for its own input or menus (keys, system commands) passes.
    for (const UINT message : {base::WM_PAGECREATED, base::WM_PAGEREQUEST, UINT{WM_COPYDATA}})
        if (!filter(m_hWnd, message, MSGFLT_ALLOW, nullptr))
            base::Trace(L"page message not let through", ::GetLastError());
}

void MainWindow::BecomeParentOf(HWND page) {
    // Done here, not by the page: a page at the player's rights may not change this window. The
    // frame keeps the style it made itself: as a child of a window in another process a click
    // into the page no longer activates the main window under Wine, and the keys stay away.
    if (!::SetParent(page, m_hWnd)) base::Trace(L"page window not made a child", ::GetLastError());
    ::PostMessageW(page, base::WM_PAGEADOPTED, 0, 0);
}

void MainWindow::PlaceInContent(HWND page) {
    const RECT client = GetClientRect();
    const base::Rect area = base::ContentArea(client.right - client.left, client.bottom - client.top);
    ::MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
}

void MainWindow::ShowPage(HWND page) {
    for (PageHandle handle : m_model.Pages()) {
        const HWND wnd = ToHwnd(handle);
        if (wnd == page) {
            PlaceInContent(wnd);
            ::ShowWindow(wnd, SW_SHOW);
            ::SetForegroundWindow(wnd);
            if (HallVisible()) ::ShowWindow(HallWnd(), SW_HIDE);
        } else {
            ::ShowWindow(wnd, SW_HIDE);
        }
    }
}

void MainWindow::SwitchPage() {
    const bool shown = ::IsWindowVisible(m_hWnd) && !::IsIconic(m_hWnd);
    Apply(m_model.SwitchPage(shown, HallVisible()));
}

void MainWindow::CloseTab(int i) {
    Apply(m_model.CloseTab(i));
}

void MainWindow::OnCancel() {
    Apply(m_model.CloseRequest());
}

void MainWindow::QuitAll() {
    Apply(m_model.QuitAll());
}

void MainWindow::ToggleShow() {
    if (::IsWindowVisible(m_hWnd)) {
        ShowWindow(SW_HIDE);
        if (m_addAccountPrompt && m_addAccountPrompt->IsWindow()) m_addAccountPrompt->ShowWindow(SW_HIDE);
        CancelSettingsDialog();
    } else {
        ShowWindow(SW_RESTORE);
        BringToFront();
    }
}

void MainWindow::BringToFront() {
    fw::RaiseWindow(m_hWnd, true);
}

void MainWindow::ClosePageWindow(HWND page) {
    if (!::IsWindow(page)) return;
    // Hidden before it is let go: a detached child would show on the desktop until it closes.
    ::ShowWindow(page, SW_HIDE);
    ::SetParent(page, nullptr);
    ::PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void MainWindow::BeginRunning() {
    ToggleMaximize(); // out of the 1 x 1 waiting size
    m_tray.Add(m_hWnd, m_smallIcon ? m_smallIcon : m_icon, kTitle, base::WM_TRAYNOTIFY);
    ::SetTimer(m_hWnd, kMuteTimerId, kMuteTimerMs, nullptr);
}

void MainWindow::TearDown() {
    m_tray.Remove();
    ::KillTimer(m_hWnd, kMuteTimerId);
    m_keyboardHook.Remove();
    m_tabs.Destroy();
}

void MainWindow::ApplyQuit(PageActions& a) {
    m_pageProcesses.Terminate(a.terminate);
    for (PageHandle page : a.closePages)
        ClosePageWindow(ToHwnd(page));
    TearDown();
    ::PostQuitMessage(0);
}

bool MainWindow::Apply(PageActions a) {
    const bool consumed = a.consumed;
    if (a.quit) {
        ApplyQuit(a);
        return consumed;
    }
    if (a.beginRunning) BeginRunning();
    // The page just adopted is left alone: hidden here after its page had loaded, it would not
    // show itself again.
    if (a.hideAllPages)
        for (PageHandle page : m_model.Pages())
            if (page != a.adopted) ::ShowWindow(ToHwnd(page), SW_HIDE);
    if (a.hideHall && HallVisible()) ::ShowWindow(HallWnd(), SW_HIDE);
    if (a.show) ShowPage(ToHwnd(a.show));
    for (PageHandle page : a.closePages)
        ClosePageWindow(ToHwnd(page));
    m_tabs.Invalidate(a.invalidate);
    if (a.launchPageProcess) LaunchPageProcess();
    if (a.launchNewInstance) StartProgram(L"", false);
    switch (a.prompt) {
    case Prompt::TabLimit:
        AskPlayer(a.promptText.c_str(), MB_OK);
        break;
    case Prompt::QuitWindow:
        Apply(m_model.AnswerQuit(AskPlayer(a.promptText.c_str(), MB_YESNO) == IDYES));
        break;
    case Prompt::CloseAccount:
        Apply(m_model.AnswerCloseTab(a.promptPage, AskPlayer(a.promptText.c_str(), MB_YESNO) == IDYES));
        break;
    case Prompt::None:
        break;
    }
    return consumed;
}

void MainWindow::ShowAddAccountPrompt() {
    if (!m_addAccountPrompt) {
        auto prompt = std::make_unique<ui::AddAccountPrompt>(
            ui::AddAccountPrompt::Resources{IDD_ADDACC, IDC_ADDACC_TEXT, IDB_ADDACC_BACK}, m_hWnd);
        if (!prompt->Create(m_hWnd)) return;
        m_addAccountPrompt = std::move(prompt);
    }
    // Right below the label, right edges aligned.
    const RECT label = m_otherAccountLabel.GetWindowRect();
    const RECT prompt = m_addAccountPrompt->GetWindowRect();
    ::SetWindowPos(m_addAccountPrompt->m_hWnd, nullptr, label.right - (prompt.right - prompt.left),
                   label.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_addAccountPrompt->ShowWindow(SW_SHOW);
}

LRESULT MainWindow::OnPageCreated(WPARAM wParam, LPARAM lParam) {
    const HWND page = reinterpret_cast<HWND>(wParam);
    // Posted by another process: a handle that is no window (any more) makes no tab, and the
    // window's process decides whose page it is.
    DWORD process = 0;
    if (!::IsWindow(page) || !::GetWindowThreadProcessId(page, &process)) return 0;
    const bool isHall = lParam != 0;
    PageActions actions = m_model.Adopt(process, ToPage(page), isHall, isHall && RunsThisProgram(process));
    const auto& pages = m_model.Pages();
    if (HallWnd() == page || std::find(pages.begin(), pages.end(), ToPage(page)) != pages.end())
        BecomeParentOf(page);
    Apply(std::move(actions));
    // The page's login screen has ended; it gave the window back only if it had found it enabled.
    ReleaseIfNotHeld();
    return 0;
}

LRESULT MainWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
    // Another process's bytes: read within cbData only, and refuse what is no label. The login
    // page names its window as the sender; its process is the one the label belongs to. (Without
    // a sender the model pairs the label with the only login, if there is one only.)
    DWORD process = 0;
    if (!data || (sender && !::GetWindowThreadProcessId(sender, &process))) return 0;
    if (data->dwData == base::kEnterGameCopyData) return OnEnterGameRequest(sender, process, *data);
    if (data->dwData != base::kLabelCopyData) return 0;
    std::optional<std::wstring> label = base::ParseLabelCopyData(data->lpData, data->cbData);
    if (!label) return 0;
    return m_model.RegisterLabel(process, std::move(*label));
}

void MainWindow::OnPageRequest(WPARAM request, LPARAM process) {
    // Posted, so the sender can't be known for sure; whatever process names itself, a request
    // does no more than one of the pages may ask.
    if (!m_pageProcesses.Holds(static_cast<ProcessId>(process))) {
        base::Trace(L"request of a process that is no page of this window refused", 0);
        return;
    }
    switch (static_cast<base::PageRequest>(request)) {
    case base::PageRequest::LoginCancelled:
        if (!Apply(m_model.SysClose(base::kSelfMarker))) OnCancel();
        break;
    case base::PageRequest::SwitchPage:
        SwitchPage();
        break;
    case base::PageRequest::Raise:
        fw::RaiseWindow(m_hWnd, false);
        break;
    case base::PageRequest::Minimize:
        ShowWindow(SW_MINIMIZE);
        break;
    }
}

void MainWindow::OnTrayNotify(LPARAM lParam) {
    if (lParam == WM_LBUTTONUP) {
        ToggleShow();
    } else if (lParam == WM_RBUTTONUP) {
        PostMessage(base::WM_TRAYMENU, 0, 0);
    }
}

void MainWindow::OnGlobalHotkey(WPARAM which) {
    if (which == static_cast<WPARAM>(base::GlobalHotkey::Boss)) ToggleShow();
    if (which == static_cast<WPARAM>(base::GlobalHotkey::Sound))
        m_muted = !m_muted; // the next tick tells the pages
}

void MainWindow::OnHotkeysChanged() {
    LoadHotkeys();
    for (PageHandle page : m_model.Pages())
        ::PostMessageW(ToHwnd(page), base::WM_RELOADHOTKEYS, 0, 0);
    if (::IsWindow(HallWnd())) ::PostMessageW(HallWnd(), base::WM_RELOADHOTKEYS, 0, 0);
}

void MainWindow::OnMuteTimer() {
    for (PageHandle page : m_model.Pages())
        ::PostMessageW(ToHwnd(page), base::WM_PAGEMUTE, m_muted ? 1 : 0, 0);
    if (m_muted != m_shownMuted) {
        m_shownMuted = m_muted;
        m_soundButton.SetImage(m_muted ? m_soundOffImage.Get() : m_soundOnImage.Get(), FALSE);
        m_soundButton.Invalidate(TRUE);
    }
}

void MainWindow::OnSize(UINT type, int cx, int cy) {
    const HWND visible = ToHwnd(m_model.PageToPlace(HallVisible()));
    if (visible) PlaceInContent(visible);
    ui::SkinnedDialog::OnSize(type, cx, cy);
    if (cx != m_lastWidth) {
        for (const CaptionControl& c : CaptionControlRects(cx)) {
            const HWND control = GetDlgItem(c.id);
            if (!control) continue;
            ::MoveWindow(control, c.rect.left, c.rect.top, c.rect.right - c.rect.left,
                         c.rect.bottom - c.rect.top, FALSE);
            ::InvalidateRect(control, nullptr, TRUE);
        }
        RedrawCaptionButtons();
    }
    if (m_osMajorVersion < 6 && cx < m_lastWidth) {
        // Older systems leave the shrinking window's top-right corner on the desktop.
        const RECT window = GetWindowRect();
        const RECT corner{window.right - 4, window.top, window.right, window.top + 4};
        // The desktop named by a null window: Wine ignores the desktop window's own handle here.
        ::RedrawWindow(nullptr, &corner, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    m_lastWidth = cx;
}

bool MainWindow::OnWindowPosChanging(WINDOWPOS* pos) {
    if (!pos || (pos->flags & SWP_NOSIZE)) return false;
    int width = pos->cx, height = pos->cy;
    if (!EnforceMinimumSize(m_model.TabCount(), width, height)) return false;
    pos->cx = width;
    pos->cy = height;
    return true;
}

void MainWindow::OnPaint() {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc && ::IsIconic(m_hWnd)) {
        const RECT client = GetClientRect();
        const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_icon);
    }
    ::EndPaint(m_hWnd, &ps);
}

void MainWindow::OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_MAIN_HIDE:
        ToggleShow();
        break;
    case IDC_MAIN_SOUND:
        m_muted = !m_muted; // the next tick shows it and tells the pages
        break;
    case IDC_MAIN_SYSTEM:
        OpenSystemMenu();
        break;
    case IDC_MAIN_OTHER_ACCOUNT:
        ShowAddAccountPrompt();
        break;
    default:
        break;
    }
}

BOOL MainWindow::PreTranslateMessage(MSG* msg) {
    const UINT message = msg->message;
    // The rules are this window's: the pop-ups it owns (the add-account prompt, the settings
    // dialog) take their keys as their own dialogs say.
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return ui::SkinnedDialog::PreTranslateMessage(msg);
    // 1. The window-switch key; the program's own key messages carry the marker and pass.
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && msg->lParam != base::kSelfMarker &&
        KeyboardHook::IsWindowSwitchKey(static_cast<UINT>(msg->wParam), base::CurrentModifierMask())) {
        SwitchPage();
        return TRUE;
    }
    // 2. Esc and Space would end or press something of the dialog.
    if (message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE)) return TRUE;
    // 3. Closing: a cancelled login, or the close button before the first tab. Only the main
    //    window's own close is meant, not one of a pop-up it owns.
    if (message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE && msg->hwnd == m_hWnd) {
        if (Apply(m_model.SysClose(msg->lParam))) return TRUE;
    }
    // 4. Refresh (F5) and favourite (Ctrl+D) belong to the visible page.
    const bool ctrlD = message == WM_CHAR && base::IsFavouritesChar(msg->wParam, msg->lParam);
    if ((ctrlD || (message == WM_KEYDOWN && msg->wParam == VK_F5)) && m_model.TabCount() > 0) {
        const PageHandle target = m_model.KeyTarget(IsVisibleWindow(SelectedPageWnd()), HallVisible());
        if (target) ::PostMessageW(ToHwnd(target), message, msg->wParam, msg->lParam);
        return TRUE;
    }
    // 5. Restoring the 1 x 1 waiting window.
    if (message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE && m_model.TabCount() == 0) {
        ShowWindow(SW_RESTORE);
    }
    // 6. The tab tooltip sees every message, then the dialog's own handling.
    m_tabs.RelayEvent(msg);
    return ui::SkinnedDialog::PreTranslateMessage(msg);
}

LRESULT MainWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    auto toClient = [this](POINT p) {
        ::ScreenToClient(m_hWnd, &p);
        return p;
    };
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_icon);
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam))) return 0;
        break;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case PageProcessWatch::kEndedMessage:
        OnPageProcessEnded();
        return 0;
    case WM_TIMER:
        if (wParam == kMuteTimerId) OnMuteTimer();
        break;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST:
        return OnNcHitTest(at);
    case WM_LBUTTONDOWN:
        Apply(m_model.LeftButtonDown({at.x, at.y}, HallVisible()));
        break;
    case WM_NCLBUTTONDOWN: {
        // A press on a tab never starts a window drag.
        const POINT p = toClient(at);
        if (!Apply(m_model.LeftButtonDown({p.x, p.y}, HallVisible())))
            ui::SkinnedDialog::OnNcLButtonDown(static_cast<UINT>(wParam), at);
        return 0;
    }
    case WM_LBUTTONUP:
        Apply(m_model.LeftButtonUp({at.x, at.y}));
        break;
    case WM_NCLBUTTONUP: {
        const POINT p = toClient(at);
        if (Apply(m_model.LeftButtonUp({p.x, p.y}))) return 0;
        break;
    }
    case WM_LBUTTONDBLCLK:
        if (!m_tabs.Contains(at)) ui::SkinnedDialog::OnLButtonDblClk(static_cast<UINT>(wParam), at);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (!m_tabs.Contains(toClient(at)))
            ui::SkinnedDialog::OnNcLButtonDblClk(static_cast<UINT>(wParam), at);
        return 0;
    case WM_MBUTTONUP:
        if (Apply(m_model.MiddleButtonUp({at.x, at.y}))) return 0;
        break;
    case WM_NCMBUTTONUP: {
        const POINT p = toClient(at);
        if (Apply(m_model.MiddleButtonUp({p.x, p.y}))) return 0;
        break;
    }
    case WM_MOUSELEAVE:
        m_tabs.OnMouseLeave(true);
        break;
    case WM_NCMOUSELEAVE:
        m_tabs.OnMouseLeave(false);
        break;
    case WM_GLOBALHOTKEY:
        OnGlobalHotkey(wParam);
        return 0;
    case WM_SETTLEENTERGAME:
        SettleEnterGame();
        return 0;
    case base::WM_TRAYNOTIFY:
        OnTrayNotify(lParam);
        return 0;
    case base::WM_PAGECREATED:
        return OnPageCreated(wParam, lParam);
    case base::WM_PAGEREQUEST:
        OnPageRequest(wParam, lParam);
        return 0;
    case base::WM_TRAYMENU:
        OpenTrayMenu();
        return 0;
    case base::WM_HOTKEYSCHANGED:
        OnHotkeysChanged();
        return 0;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU) OnMenuIdle(reinterpret_cast<HWND>(lParam));
        break;
    case base::WM_ADDACCOUNT:
        Apply(m_model.AddAccount(wParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnCommand(wParam);
        break;
    case WM_NOTIFY:
        if (m_tabs.OnNotify(reinterpret_cast<NMHDR*>(lParam))) return 0;
        break;
    case WM_DESTROY:
        TearDown();
        break;
    default:
        break;
    }
    return ui::SkinnedDialog::WindowProc(msg, wParam, lParam);
}

// ---- Tab strip: drawing and mouse --------------------------------------------------------------

BOOL MainWindow::OnEraseBkgnd(HDC dc) {
    // Children ask for the skin under them with a shifted origin: everything is drawn relative
    // to the DC's origin, through one memory bitmap of the part the DC can show (a child's
    // area for a child, the invalid part of the window for the window itself).
    const RECT client = GetClientRect();
    RECT part = client, box{};
    const int clip = ::GetClipBox(dc, &box);
    if (clip == NULLREGION) return TRUE;
    if (clip != ERROR && !::IntersectRect(&part, &client, &box)) return TRUE;
    const int w = part.right - part.left, h = part.bottom - part.top;
    base::MemoryDC mem(::CreateCompatibleDC(dc));
    base::Bitmap surface(::CreateCompatibleBitmap(dc, w, h));
    if (!mem || !surface) return ui::SkinnedDialog::OnEraseBkgnd(dc);
    base::SelectedObject keepSurface(mem.Get(), surface.Get());
    ::SetWindowOrgEx(mem.Get(), part.left, part.top, nullptr);
    ui::SkinnedDialog::OnEraseBkgnd(mem.Get());
    m_tabs.Draw(mem.Get(), reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    ::BitBlt(dc, part.left, part.top, w, h, mem.Get(), part.left, part.top, SRCCOPY);
    return TRUE;
}

LRESULT MainWindow::OnNcHitTest(POINT screen) {
    const LRESULT hit = ui::SkinnedDialog::OnNcHitTest(screen);
    POINT p = screen;
    ::ScreenToClient(m_hWnd, &p);
    m_tabs.OnHitTest(p, ::GetKeyState(VK_LBUTTON) < 0, hit == HTCAPTION);
    return hit;
}

// ---- Menus and their commands ------------------------------------------------------------------

void MainWindow::OpenSystemMenu() {
    const RECT button = m_systemButton.GetWindowRect();
    RunCommand(TrackMenu(m_hWnd, false, {button.left, button.bottom + 2}, &m_menuText));
}

void MainWindow::OpenTrayMenu() {
    // In the foreground, so that a click elsewhere dismisses the menu.
    ::SetForegroundWindow(m_hWnd);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RunCommand(TrackMenu(m_hWnd, true, cursor, &m_menuText));
}

void MainWindow::OnMenuIdle(HWND menuWindow) {
    if (m_options.automation && menuWindow && !m_menuText.empty())
        ::SetWindowTextW(menuWindow, m_menuText.c_str());
}

void MainWindow::RunCommand(std::optional<MenuCommand> command) {
    if (!command) return; // dismissed, or the version line
    switch (*command) {
    case MenuCommand::Refresh:
        // Marked as the program's own: the switch-key test passes it by, and the page refreshes
        // even when F5 is one of its hotkeys.
        PostMessage(WM_KEYDOWN, VK_F5, base::kSelfMarker);
        break;
    case MenuCommand::ToggleShow:
        ToggleShow();
        break;
    case MenuCommand::ClearCache:
        // The clearing goes on in the background; the notice does not wait for it.
        if (HANDLE thread = ::CreateThread(nullptr, 0, net::ClearCachesThread, nullptr, 0, nullptr))
            ::CloseHandle(thread);
        else
            base::Trace(L"cache clearing not started", ::GetLastError());
        AskPlayer(kCacheClearedText, MB_OK);
        break;
    case MenuCommand::Update:
        if (!m_options.checkForUpdate || m_options.checkForUpdate(true) == 0) {
            AskPlayer(kUpToDateText, MB_OK);
        } else {
            // The new process performs the update; this one ends whether it started or not.
            StartProgram(L" /update", false);
            QuitAll();
        }
        break;
    case MenuCommand::Settings:
        OpenSettings();
        break;
    case MenuCommand::Exit:
        QuitAll();
        break;
    }
}

void MainWindow::OpenSettings() {
    // One settings dialog at a time: the tray menu stays reachable while one is open.
    if (HotkeySettingsDialog* open = HotkeySettingsDialog::Open()) {
        ::SetForegroundWindow(open->m_hWnd);
        return;
    }
    HotkeySettingsDialog dlg(m_hWnd);
    dlg.DoModal();
    // Opened while a login held the window, it found the window disabled and leaves it so.
    ReleaseIfNotHeld();
}

// ---- Page processes ----------------------------------------------------------------------------

void MainWindow::WatchPageProcess(base::Handle process) {
    m_model.PageProcessStarted(m_pageProcesses.Add(std::move(process), m_hWnd));
}

void MainWindow::OnPageProcessEnded() {
    const std::vector<ProcessId> ended = m_pageProcesses.CollectEnded();
    if (ended.empty()) return;
    for (ProcessId id : ended)
        m_model.PageProcessEnded(id);
    ReleaseIfNotHeld();
}

// A dialog gives its owner back only if it found it enabled: a login killed before its end, or
// one that opened while another already held the window, never does. The window takes itself
// back whenever one of its holders may have gone.
void MainWindow::ReleaseIfNotHeld() {
    if (!::IsWindowEnabled(m_hWnd) &&
        !HeldByDialog(m_hWnd, m_addAccountPrompt ? m_addAccountPrompt->m_hWnd : nullptr))
        ::EnableWindow(m_hWnd, TRUE);
}

} // namespace mainwnd
