#include "fw/sdi_win.h"

#include "base/trace_win.h"
#include "fw/app_win.h"

namespace {

bool RegisterClasses(UINT resourceId) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Shared icons from the resources: not destroyed by anyone.
    const auto icon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    const auto small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                       ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    // The view is covered by its browser: no background of its own to flash.
    return CWnd::RegisterWindowClass(CFrameWnd::kClassName, CS_DBLCLKS,
                                     reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon, small) &&
           CWnd::RegisterWindowClass(CView::kClassName, CS_DBLCLKS, nullptr);
}

} // namespace

// ---- CView ------------------------------------------------------------------------------------

CFrameWnd* CView::GetParentFrame() const {
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandle(::GetParent(m_hWnd)));
}

bool CView::Create(const RECT& rect, HWND parentFrame) {
    // A view in a frame has the sunken edge unless it takes it away.
    return CreateEx(WS_EX_CLIENTEDGE, kClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                    rect.top, rect.right - rect.left, rect.bottom - rect.top, parentFrame,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kPaneId)));
}

int CView::OnCreate(CREATESTRUCTW*) {
    return static_cast<int>(DefWindowProc());
}

LRESULT CView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    return CWnd::WindowProc(msg, wParam, lParam);
}

// ---- CHtmlView --------------------------------------------------------------------------------

int CHtmlView::OnCreate(CREATESTRUCTW* cs) {
    if (CView::OnCreate(cs) == -1) return -1;
    return m_browser.Create(m_hWnd, GetClientRect(), this) ? 0 : -1;
}

bool CHtmlView::Refresh() {
    IWebBrowser2* browser = m_browser.Browser();
    return browser && SUCCEEDED(browser->Refresh());
}

HRESULT CHtmlView::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    return OnGetHostInfo(info);
}

LRESULT CHtmlView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (m_browser.IsCreated()) m_browser.SetRect(GetClientRect());
        break;
    case WM_ERASEBKGND:
        return 1; // the browser paints everything
    case WM_DESTROY:
        m_browser.Destroy();
        break;
    default:
        break;
    }
    return CView::WindowProc(msg, wParam, lParam);
}

bool CHtmlView::TranslateViewAccelerator(MSG* msg) {
    return m_browser.TranslateAccelerator(msg);
}

// ---- CFrameWnd --------------------------------------------------------------------------------

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) cs.lpszClass = kClassName;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_pView && m_pView->IsWindow() &&
        (msg->hwnd == m_pView->m_hWnd || ::IsChild(m_pView->m_hWnd, msg->hwnd)) &&
        m_pView->TranslateViewAccelerator(msg))
        return TRUE;
    return CWnd::PreTranslateMessage(msg);
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, HWND parent, CView* (*newView)()) {
    if (!RegisterClasses(resourceId)) return false;
    wchar_t title[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), resourceId, title, 256);

    CREATESTRUCTW cs{};
    cs.style = style;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent;
    cs.lpszName = title;
    if (!PreCreateWindow(cs)) return false;
    m_newView = newView;
    const bool created = CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu);
    m_newView = nullptr;
    if (!created) base::Trace(L"frame window not made", ::GetLastError());
    return created;
}

int CFrameWnd::OnCreate(CREATESTRUCTW*) {
    if (DefWindowProc() == -1) return -1;
    if (!m_newView) return 0;
    CView* view = m_newView();
    if (!view) return -1;
    if (!view->Create(GetClientRect(), m_hWnd)) {
        delete view;
        return -1;
    }
    view->m_bAutoDelete = true;
    m_pView = view;
    return 0;
}

void CFrameWnd::InitialUpdateFrame() {
    if (m_pView) m_pView->OnInitialUpdate();
}

void CFrameWnd::RecalcLayout() {
    if (!m_pView || !m_pView->IsWindow()) return;
    const RECT rc = GetClientRect();
    ::MoveWindow(m_pView->m_hWnd, 0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_SIZE:
        RecalcLayout();
        break;
    case WM_SETFOCUS:
        if (m_pView && m_pView->IsWindow()) {
            ::SetFocus(m_pView->m_hWnd);
            return 0;
        }
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_NCDESTROY:
        m_pView = nullptr; // the view went with its window
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
