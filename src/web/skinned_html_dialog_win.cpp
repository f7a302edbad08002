#include "web/skinned_html_dialog_win.h"

#include <windowsx.h>

#include <new>
#include <utility>
#include <vector>

#include "base/trace_win.h"
#include "web/navigation_screen_win.h"

namespace web {

namespace {

// The host's element event table: one row per row of the element behaviour's table, all
// handled by the behaviour.
std::vector<DHtmlEventEntry> MakeHostElementTable() {
    std::vector<DHtmlEventEntry> table;
    for (const auto& row : ElementBehaviour::HostTable()) {
        table.push_back({row.event, row.match, row.name});
    }
    return table;
}

} // namespace

// ---- PageBrowserSite --------------------------------------------------------------------

PageBrowserSite::PageBrowserSite(HWND window, HtmlDialog* host)
    : CBrowserControlSite(window, host), m_host(host) {
    m_showUI.owner = this;
}

HRESULT PageBrowserSite::QueryInterfaceHook(REFIID iid, void** out) {
    if (!out || iid != fw::kIidDocHostShowUI) return E_NOINTERFACE;
    *out = static_cast<IDocHostShowUI*>(&m_showUI);
    AddRef();
    return S_OK;
}

SkinnedHtmlDialog* PageBrowserSite::HostEx() const {
    if (!Client()) return nullptr; // the host has torn its browser down
    return dynamic_cast<SkinnedHtmlDialog*>(m_host);
}

STDMETHODIMP PageBrowserSite::ShowUIPart::QueryInterface(REFIID iid, void** out) {
    return owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) PageBrowserSite::ShowUIPart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) PageBrowserSite::ShowUIPart::Release() {
    return owner->Release();
}
STDMETHODIMP PageBrowserSite::ShowUIPart::ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type,
                                                      LPOLESTR helpFile, DWORD helpContext, LRESULT* result) {
    if (SkinnedHtmlDialog* host = owner->HostEx())
        return host->ShowMessage(hwnd, text, caption, type, helpFile, helpContext, result);
    return S_OK;
}
STDMETHODIMP PageBrowserSite::ShowUIPart::ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data,
                                                   POINT mouse, IDispatch* hit) {
    if (SkinnedHtmlDialog* host = owner->HostEx())
        return host->ShowHelp(hwnd, helpFile, command, data, mouse, hit);
    return S_OK;
}

// ---- SkinnedHtmlDialog -------------------------------------------------------------------------------

SkinnedHtmlDialog::SkinnedHtmlDialog(UINT templateId, HWND parent, PageSeams seams)
    : HtmlDialog(templateId, parent), m_seams(std::move(seams)) {
}

SkinnedHtmlDialog::SkinnedHtmlDialog(const DLGTEMPLATE* dialogTemplate, HWND parent, PageSeams seams)
    : HtmlDialog(dialogTemplate, parent), m_seams(std::move(seams)) {
}

std::span<const DHtmlEventEntry> SkinnedHtmlDialog::GetElementEventTable() const {
    static const std::vector<DHtmlEventEntry> table = MakeHostElementTable();
    return table;
}

bool SkinnedHtmlDialog::CreateControlSite(fw::CBrowserControlSite** site) {
    if (!site) return false;
    *site = new (std::nothrow) PageBrowserSite(m_hWnd, this);
    return *site != nullptr;
}

BOOL SkinnedHtmlDialog::OnInitDialog() {
    HtmlDialog::OnInitDialog();
    BrowserHost().SetSilent(true);
    return TRUE;
}

void SkinnedHtmlDialog::NavigateComplete2(IDispatch* frame, const std::wstring& url) {
    HtmlDialog::NavigateComplete2(frame, url);
    SetBodyScroll(Document(), L"auto");
}

HRESULT SkinnedHtmlDialog::GetHostInfo(DOCHOSTUIINFO* info) {
    const HRESULT hr = HtmlDialog::GetHostInfo(info);
    if (SUCCEEDED(hr)) info->dwFlags |= DOCHOSTUIFLAG_DIALOG;
    return hr;
}

void SkinnedHtmlDialog::NavigateError(IDispatch*, const std::wstring&, const std::wstring&, long,
                                      bool& cancel) {
    cancel = true;
}

HRESULT SkinnedHtmlDialog::ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) {
    return S_FALSE;
}

HRESULT SkinnedHtmlDialog::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) {
    return S_FALSE;
}

void SkinnedHtmlDialog::BeforeNavigate2(IDispatch* frame, const std::wstring& url, bool& cancel) {
    HostNavigation(BrowserHost(), frame, url, cancel, m_commandPage, *this, m_seams);
}

HRESULT SkinnedHtmlDialog::OnTableElementEvent(ElementEvent event, const ElementRef& element) {
    m_behaviour.OnElementEvent(event, element);
    return S_FALSE; // the page's default action for the event is cancelled
}

LRESULT SkinnedHtmlDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (m_behaviour.OnButtonRelease(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd) m_behaviour.OnCaptureChanged();
        break;
    case WM_DESTROY:
        m_behaviour.Reset();
        break;
    default:
        break;
    }
    return HtmlDialog::WindowProc(msg, wParam, lParam);
}

// ---- the dialog window as the behaviour sees it -----------------------------------------------

bool SkinnedHtmlDialog::BehaviourWindow::HasCapture() const {
    return m_dialog.m_hWnd && ::GetCapture() == m_dialog.m_hWnd;
}

void SkinnedHtmlDialog::BehaviourWindow::SetCapture() {
    ::SetCapture(m_dialog.m_hWnd);
}

void SkinnedHtmlDialog::BehaviourWindow::ReleaseCapture() {
    ::ReleaseCapture();
}

void SkinnedHtmlDialog::BehaviourWindow::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    ::SendMessageW(m_dialog.m_hWnd, message, wParam, lParam);
}

void SkinnedHtmlDialog::BehaviourWindow::CursorPos(int& x, int& y) const {
    POINT pt{};
    ::GetCursorPos(&pt);
    x = pt.x;
    y = pt.y;
}

} // namespace web
