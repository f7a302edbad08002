#include "web/html_dialog_win.h"

namespace web {

BOOL HtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    fw::CBrowserControlSite* site = nullptr;
    if (CreateControlSite(&site) && site) m_browser.Create(m_hWnd, GetClientRect(), this, site);
    return TRUE;
}

bool HtmlDialog::CreateControlSite(fw::CBrowserControlSite** site) {
    if (!site) return false;
    *site = new fw::CBrowserControlSite(m_hWnd, this);
    return true;
}

LRESULT HtmlDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (m_browser.IsCreated()) m_browser.SetRect(GetClientRect());
        break;
    case WM_DESTROY:
        TearDownBrowser();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

BOOL HtmlDialog::PreTranslateMessage(MSG* msg) {
    if (m_browser.TranslateAccelerator(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void HtmlDialog::TearDownBrowser() {
    m_documentEvents.Disconnect();
    m_document.Reset();
    m_browser.Destroy();
}

void HtmlDialog::NavigateComplete2(IDispatch* frame, const std::wstring& /*url*/) {
    if (!m_browser.IsTopLevel(frame)) return;
    m_documentEvents.Disconnect();
    m_document = m_browser.Document();
    if (m_document) m_documentEvents.Connect(m_document.Get(), this);
}

HRESULT HtmlDialog::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags = kDefaultHostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT HtmlDialog::GetExternal(IDispatch** external) {
    if (!external) return E_POINTER;
    *external = nullptr;
    if (!CanAccessExternal()) return S_FALSE;
    if (!m_external) m_external = fw::MakeEmptyExternal();
    *external = m_external.Clone().Detach();
    return *external ? S_OK : S_FALSE;
}

HRESULT HtmlDialog::OnElementEvent(ElementEvent event, const ElementRef& element) {
    if (!element) return S_OK;
    if (!FindElementEntry(GetElementEventTable(), event, *element)) return S_OK;
    return OnTableElementEvent(event, element);
}

} // namespace web
