#include "fw/wnd_win.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "base/trace_win.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x7F57;

// The process's one HWND->object table. Windows live on one UI thread per process, but
// FromHandle may be asked from a worker (e.g. to post to a window), hence the lock.
struct WindowTable {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> map;
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

// The object whose CreateEx call is running on this thread: it binds to the first message
// the new window receives (WM_GETMINMAXINFO comes even before WM_NCCREATE).
thread_local CWnd* t_creating = nullptr;

std::atomic<WindowGoneHandler> g_windowGone{nullptr};

} // namespace

CWnd::~CWnd() {
    if (!m_hWnd) return;
    const HWND hwnd = m_hWnd;
    const Binding binding = m_binding;
    Unbind();
    m_hWnd = nullptr;
    // Messages of the dying window go to the default procedure, never to this half-destroyed
    // object.
    if ((binding == Binding::Created || binding == Binding::Dialog) && ::IsWindow(hwnd))
        ::DestroyWindow(hwnd);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& table = Table();
    std::lock_guard guard(table.lock);
    const auto it = table.map.find(hwnd);
    return it == table.map.end() ? nullptr : it->second;
}

bool CWnd::Bind(HWND hwnd, Binding binding) {
    if (!hwnd || m_hWnd) return false;
    {
        auto& table = Table();
        std::lock_guard guard(table.lock);
        if (!table.map.emplace(hwnd, this).second) return false;
    }
    m_hWnd = hwnd;
    m_binding = binding;
    if (binding == Binding::Subclassed || binding == Binding::Dialog) {
        if (!::SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
            m_binding = Binding::None;
            Unbind();
            m_hWnd = nullptr;
            return false;
        }
    }
    return true;
}

void CWnd::Unbind() {
    if (!m_hWnd) return;
    if (m_binding == Binding::Subclassed || m_binding == Binding::Dialog)
        ::RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
    m_binding = Binding::None;
    auto& table = Table();
    std::lock_guard guard(table.lock);
    const auto it = table.map.find(m_hWnd);
    if (it != table.map.end() && it->second == this) table.map.erase(it);
}

bool CWnd::Attach(HWND hwnd) {
    return Bind(hwnd, Binding::Attached);
}

HWND CWnd::Detach() {
    if (m_binding != Binding::Attached) return nullptr;
    const HWND hwnd = m_hWnd;
    Unbind();
    m_hWnd = nullptr;
    return hwnd;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    // Subclassing only works on the thread that owns the window.
    if (!hwnd || ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) return false;
    if (!Bind(hwnd, Binding::Subclassed)) return false;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(int id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background, HICON icon,
                               HICON iconSmall, HCURSOR cursor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = iconSmall;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, HMENU menuOrId) {
    if (m_hWnd) return false;
    if (!className) {
        static const bool registered = RegisterWindowClass(kDefaultClass);
        if (!registered) {
            base::Trace(L"window class not registered", kDefaultClass, ::GetLastError());
            return false;
        }
        className = kDefaultClass;
    }
    CWnd* const outer = t_creating;
    t_creating = this;
    const HWND hwnd = ::CreateWindowExW(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                                        ::GetModuleHandleW(nullptr), this);
    // Still set when the class is not served by the framework: nothing was bound.
    t_creating = outer;
    if (!hwnd) base::Trace(L"window not created", className, ::GetLastError());
    return hwnd != nullptr && m_hWnd == hwnd;
}

bool CWnd::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rc,
                         HWND parent, int id, DWORD exStyle) {
    if (m_hWnd) return false;
    const HWND hwnd = ::CreateWindowExW(
        exStyle, className, text, style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) {
        base::Trace(L"control not created", className, ::GetLastError());
        return false;
    }
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

void SetWindowGoneHandler(WindowGoneHandler handler) {
    g_windowGone = handler;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandle(hwnd);
    if (!self && t_creating) {
        self = std::exchange(t_creating, nullptr);
        if (!self->Bind(hwnd, Binding::Created)) self = nullptr;
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Dispatch(msg, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    return reinterpret_cast<CWnd*>(ref)->Dispatch(msg, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool viaDialogProc) {
    const Current saved = m_current;
    m_current = {msg, wParam, lParam, viaDialogProc};
    ++m_depth;
    const LRESULT result = WindowProc(msg, wParam, lParam);
    m_current = saved;
    if (msg == WM_NCDESTROY) {
        // The handle may be reused from now on: leave the table at once, release later.
        Unbind();
        m_destroyed = true;
        if (const WindowGoneHandler gone = g_windowGone.load()) gone(this);
    }
    if (--m_depth == 0 && m_destroyed) {
        m_destroyed = false;
        m_hWnd = nullptr;
        PostNcDestroy(); // may delete this
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wParam, lParam, &result)) return result;
    return DefWindowProc(msg, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CWnd::DefWindowProc() {
    return DefWindowProc(m_current.msg, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    switch (m_binding) {
    case Binding::Created:
        return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
    case Binding::Subclassed:
    case Binding::Dialog:
        // WM_INITDIALOG: the dialog manager's default is to focus the first control.
        if (m_current.viaDialogProc && msg == m_current.msg) return msg == WM_INITDIALOG;
        return ::DefSubclassProc(m_hWnd, msg, wParam, lParam);
    default:
        // Unbound (WM_NCDESTROY has been handled) or merely attached: nothing to call.
        return 0;
    }
}

bool CWnd::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        if (lParam) child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlType != ODT_MENU) child = item->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (item && item->CtlType != ODT_MENU) child = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
        break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    if (!child || child == m_hWnd) return false;
    CWnd* target = FromHandle(child);
    return target && target->OnChildNotify(msg, wParam, lParam, result);
}

std::wstring CWnd::GetWindowText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) const {
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~remove) | add));
}

void CWnd::ModifyStyleEx(DWORD remove, DWORD add) const {
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>((GetExStyle() & ~remove) | add));
}

RECT CWnd::GetClientRect() const {
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
}

namespace fw {

void RaiseWindow(HWND wnd, bool activate) {
    const DWORD own = ::GetWindowThreadProcessId(wnd, nullptr);
    const DWORD foreground = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const bool attached =
        own && foreground && own != foreground && ::AttachThreadInput(own, foreground, TRUE);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE);
    ::SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    ::SetWindowPos(wnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (activate) ::SetForegroundWindow(wnd);
    if (attached) ::AttachThreadInput(own, foreground, FALSE);
}

void CenterOverOwner(HWND wnd) {
    RECT work{}, area{}, rc{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HWND owner = ::GetWindow(wnd, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner) || !::GetWindowRect(owner, &area))
        area = work;
    ::GetWindowRect(wnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (area.left + area.right - w) / 2, y = (area.top + area.bottom - h) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - w));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    ::SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace fw
