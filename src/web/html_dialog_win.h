// HtmlDialog: a dialog whose client area is one browser control. Browser events reach a class as
// overrides of fw::BrowserHostClient; page element events through its element event table.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "fw/browser_host_win.h"
#include "fw/fw_win.h"
#include "web/html_dom_win.h"
#include "web/html_elements.h"

namespace web {

// Element event table: which page-element events reach the class's OnTableElementEvent. A class
// that supplies its own table replaces its base's entirely.
struct DHtmlEventEntry {
    ElementEvent event;
    ElementMatch match;
    std::wstring_view name;
};

class HtmlDialog : public CDialog, public fw::BrowserHostClient, public ElementEventTarget {
public:
    // Host flags of the framework: no 3-D border, no scroll bars.
    static constexpr DWORD kDefaultHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;

    explicit HtmlDialog(UINT templateId, HWND parent = nullptr) : CDialog(templateId, parent) {}
    explicit HtmlDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr)
        : CDialog(dialogTemplate, parent) {}

    bool Navigate(const std::wstring& url) { return m_browser.Navigate(url); }
    IWebBrowser2* Browser() const { return m_browser.Browser(); }
    fw::CBrowserHost& BrowserHost() { return m_browser; }
    // The document bound at the last completed top-level navigation.
    IDispatch* Document() const { return m_document.Get(); }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Keys reach the page first; what the browser does not take goes to the dialog's rules.
    BOOL PreTranslateMessage(MSG* msg) override;
    // Creates the browser control over the whole client area.
    BOOL OnInitDialog() override;

    // Makes the control site for the browser; false without a place for it or on failure.
    virtual bool CreateControlSite(fw::CBrowserControlSite** site);
    // Binds the document of a top-level navigation and connects the element event table.
    void NavigateComplete2(IDispatch* frame, const std::wstring& url) override;
    // May the page's script reach the external object? By default only when it is safe.
    virtual BOOL CanAccessExternal() { return IsExternalDispatchSafe(); }
    virtual BOOL IsExternalDispatchSafe() { return FALSE; }

    // The document host's questions (IDocHostUIHandler through the site).
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT GetExternal(IDispatch** external) override;

    // Routes one element event through GetElementEventTable.
    HRESULT OnElementEvent(ElementEvent event, const ElementRef& element) override;

    virtual std::span<const DHtmlEventEntry> GetElementEventTable() const { return {}; }

protected:
    // An element event its table names; S_FALSE cancels the page's default action.
    virtual HRESULT OnTableElementEvent(ElementEvent /*event*/, const ElementRef& /*element*/) {
        return S_OK;
    }

private:
    void TearDownBrowser();

    fw::CBrowserHost m_browser;
    base::ComPtr<IDispatch> m_document;
    base::ComPtr<IDispatch> m_external;
    DocumentEventConnection m_documentEvents;
};

} // namespace web
