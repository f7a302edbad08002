#include "web/login_dialog_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/handle_win.h"
#include "base/os_version_win.h"
#include "base/page_protocol.h"
#include "base/product.h"
#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/resource_stream_win.h"
#include "resource.h"
#include "ui/skin_image_win.h"
#include "web/page_addresses_win.h"
#include "web/navigation_screen_win.h"

namespace web {

namespace {

constexpr const wchar_t* kTitle = base::kAppTitle;
constexpr wchar_t kLabelTooLongText[] = L"账号信息过长，无法进入游戏，请换一个账号登录";

const DHtmlEventEntry kLoginElementTable[] = {
    {ElementEvent::MouseDown, ElementMatch::Tag, L"body"},
    {ElementEvent::MouseUp, ElementMatch::Tag, L"body"},
    {ElementEvent::MouseMove, ElementMatch::Tag, L"body"},
    {ElementEvent::MouseDown, ElementMatch::Tag, L"td"},
    {ElementEvent::MouseUp, ElementMatch::Tag, L"td"},
    {ElementEvent::MouseMove, ElementMatch::Tag, L"td"},
    {ElementEvent::MouseDown, ElementMatch::Tag, L"div"},
    {ElementEvent::MouseUp, ElementMatch::Tag, L"div"},
    {ElementEvent::MouseMove, ElementMatch::Tag, L"div"},
};

// The picture as a top-down 32-bit DIB with premultiplied alpha, as a layered window takes it.
base::Bitmap DecodePremultiplied(Gdiplus::Bitmap& image, int& width, int& height) {
    width = static_cast<int>(image.GetWidth());
    height = static_cast<int>(image.GetHeight());
    if (width <= 0 || height <= 0) return {};
    const BITMAPINFO bi = Dib32Info(width, -height);
    void* bits = nullptr;
    base::Bitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return {};
    Gdiplus::Rect rect(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    // Reads straight into the DIB's pixels.
    if (image.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                       PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return {};
    image.UnlockBits(&data);
    ::GdiFlush();
    return dib;
}

} // namespace

bool RunLoginScreen(PageContext& context) {
    LoginBackdrop backdrop(context);
    if (backdrop.DoModal() == IDOK) {
        context.gamePageUrl = backdrop.LoginPage().GameUrl();
        return true;
    }
    // Cancelled, or the screen could not be made: either way this login is over.
    AskMainWindow(context.parent, base::PageRequest::LoginCancelled);
    return false;
}

bool IsUacEnabled() {
    if (base::OsMajorVersion() <= 5) return false;
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\", 0, KEY_READ,
                        key.Put()) != ERROR_SUCCESS)
        return false;
    DWORD value = 0, size = sizeof(value), type = 0;
    if (::RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return false;
    return value == 1;
}

// ---- LoginDialog --------------------------------------------------------------------------------

LoginDialog::LoginDialog(std::wstring pageUrl, const PageContext& context)
    : SkinnedHtmlDialog(IDD_LOGIN, nullptr, context.seams), m_pageUrl(std::move(pageUrl)),
      m_context(context) {
    m_commandPage = CommandPage::Login;
    m_automation.Enable(context.automation);
}

std::span<const DHtmlEventEntry> LoginDialog::GetElementEventTable() const {
    return kLoginElementTable;
}

void LoginDialog::NewWindowRefused(const std::wstring& url) {
    OpenRefusedWindow(url, m_seams);
}

BOOL LoginDialog::OnInitDialog() {
    SkinnedHtmlDialog::OnInitDialog();
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetExStyle() ^ WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, kSeeThrough, 0, LWA_COLORKEY);
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    if (MayNavigateTo(m_pageUrl)) Navigate(m_pageUrl);
    return FALSE;
}

void LoginDialog::NavigateComplete2(IDispatch* frame, const std::wstring& url) {
    SkinnedHtmlDialog::NavigateComplete2(frame, url);
    ShowWindow(SW_SHOW);
    if (const HWND browser = ::GetWindow(m_hWnd, GW_CHILD)) {
        const RECT rc = GetClientRect();
        ::MoveWindow(browser, 0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    }
}

BOOL LoginDialog::PreTranslateMessage(MSG* msg) {
    // The page can be neither closed with Escape nor reloaded with F5.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_F5)) return TRUE;
    return SkinnedHtmlDialog::PreTranslateMessage(msg);
}

LRESULT LoginDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = 0; msg == WM_COPYDATA && m_automation.OnCopyData(m_hWnd, lParam, &result))
        return result;
    if (msg == AutomationNavigator::kNavigateMessage) {
        if (const std::wstring url = m_automation.TakeUrl(); !url.empty()) Navigate(url);
        return 0;
    }
    return SkinnedHtmlDialog::WindowProc(msg, wParam, lParam);
}

HRESULT LoginDialog::OnTableElementEvent(ElementEvent event, const ElementRef&) {
    POINT screen{};
    ::GetCursorPos(&screen);
    POINT client = screen;
    ::ScreenToClient(m_hWnd, &client);
    if (const auto message = LoginDragMessage(event, client.x, client.y)) {
        // The point of a non-client message is in screen coordinates.
        ::SendMessageW(::GetParent(m_hWnd), *message, HTCAPTION, PackPoint(screen.x, screen.y));
    }
    return S_FALSE;
}

void LoginDialog::OnExitGame() {
    EndLogin(IDCANCEL);
}

void LoginDialog::OnMinimize() {
    switch (ScreenLoginCommand(LoginCommand::Minimize, m_context.parentPageCount, IsUacEnabled())) {
    case LoginStep::MinimizeBackdrop:
        ::ShowWindow(::GetParent(m_hWnd), SW_MINIMIZE);
        break;
    case LoginStep::MinimizeParent:
        AskMainWindow(m_context.parent, base::PageRequest::Minimize);
        break;
    default:
        EndLogin(IDCANCEL);
        break;
    }
}

void LoginDialog::OnLoadGame(const LoadGameCommand& command) {
    // The game page is a publisher page or the login goes no further (the page stays as it is).
    if (!MayNavigateTo(command.gameUrl)) {
        base::Trace(L"loadgame refused, game page not the publisher's",
                    base::AddressForTrace(command.gameUrl), 0);
        return;
    }
    const LoginFields fields = NormaliseLoginFields(command.fields);
    const std::wstring label = BuildTabLabel(fields);
    if (!LabelFitsMainWindow(label)) {
        // The main window would refuse it for its length: not a duplicate, so not that message.
        m_seams.messageBox(nullptr, kLabelTooLongText, kTitle, MB_OK);
        EndLogin(IDCANCEL);
        return;
    }
    COPYDATASTRUCT data{};
    data.dwData = base::kLabelCopyData;
    data.cbData = static_cast<DWORD>((label.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(label.c_str());
    // The sender's window tells the main window which of its page processes the label is for.
    const LRESULT accepted = ::SendMessageW(m_context.parent, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd),
                                            reinterpret_cast<LPARAM>(&data));
    if (!accepted) {
        m_seams.messageBox(nullptr, DuplicateLoginMessage(fields).c_str(), kTitle, MB_OK);
        EndLogin(IDCANCEL);
        return;
    }
    m_gameUrl = command.gameUrl;
    EndLogin(IDOK);
}

void LoginDialog::EndLogin(INT_PTR result) {
    if (auto* backdrop = dynamic_cast<CDialog*>(CWnd::FromHandle(::GetParent(m_hWnd))))
        backdrop->EndDialog(result);
}

// ---- LoginBackdrop ------------------------------------------------------------------------------

LoginBackdrop::LoginBackdrop(const PageContext& context)
    : CDialog(IDD_LOGIN, context.parent), m_loginPage(LoginPageUrl(), context) {
}

bool LoginBackdrop::ShowPicture() {
    base::ComPtr<IStream> stream = fw::ResourceStream(::GetModuleHandleW(nullptr), IDB_LOGIN_BACK, L"PNG");
    if (!stream) return false;
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return false;
    base::Bitmap picture = DecodePremultiplied(*image, m_imageWidth, m_imageHeight);
    if (!picture) return false;

    if (!(GetExStyle() & WS_EX_LAYERED)) ModifyStyleEx(0, WS_EX_LAYERED);
    base::MemoryDC memory(::CreateCompatibleDC(nullptr));
    if (!memory) return false;
    base::SelectedObject selected(memory.Get(), picture.Get());
    const RECT rc = GetWindowRect();
    POINT position{rc.left, rc.top};
    SIZE size{m_imageWidth, m_imageHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    base::WindowDC screen(nullptr);
    return ::UpdateLayeredWindow(m_hWnd, screen.Get(), &position, &size, memory.Get(), &source, 0, &blend,
                                 ULW_ALPHA) != FALSE;
}

BOOL LoginBackdrop::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(kTitle);
    ShowPicture();
    ModifyStyle(0, WS_MINIMIZEBOX);
    fw::CenterOverOwner(m_hWnd);
    // The page is made once the picture is up: its browser control takes longer to start than
    // the rest of the login screen, and the player would see nothing meanwhile.
    PostMessage(kCreatePageMessage);
    return FALSE;
}

void LoginBackdrop::CreateLoginPage() {
    if (m_loginPage.IsWindow() || !m_loginPage.Create(m_hWnd)) return;
    OnWindowPosChanged();
}

BOOL LoginBackdrop::PreTranslateMessage(MSG* msg) {
    // Enter must not end the login; Escape does (the dialog's cancel).
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void LoginBackdrop::OnLButtonDown(POINT client) {
    // Dragging the picture moves the window.
    POINT screen = client;
    ::ClientToScreen(m_hWnd, &screen);
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(screen.x, screen.y));
}

void LoginBackdrop::OnWindowPosChanged() {
    if (!m_loginPage.IsWindow()) return;
    const RECT rc = GetWindowRect();
    ::MoveWindow(m_loginPage.m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

LRESULT LoginBackdrop::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case kCreatePageMessage:
        CreateLoginPage();
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const LRESULT result = CDialog::WindowProc(msg, wParam, lParam);
        OnWindowPosChanged();
        return result;
    }
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

} // namespace web
