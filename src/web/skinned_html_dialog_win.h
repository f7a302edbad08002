// SkinnedHtmlDialog: the program's HTML dialog (silent browser, no context menu, no error pages,
// sprite buttons, page dragging, "app:" URLs screened) and its browser site, which also
// answers the browser's script message boxes and help through IDocHostShowUI.
#pragma once
#include <windows.h>
#include <mshtmhst.h>

#include "web/app_protocol.h"
#include "web/html_dialog_win.h"
#include "web/html_elements.h"
#include "web/page_seams_win.h"

namespace web {

class SkinnedHtmlDialog;

class PageBrowserSite : public fw::CBrowserControlSite {
public:
    // host: the dialog the site serves (not owned).
    PageBrowserSite(HWND window, HtmlDialog* host);

    IDocHostShowUI* ShowUI() { return &m_showUI; }

protected:
    ~PageBrowserSite() override = default;
    // IDocHostShowUI is offered beside the base site's interfaces.
    HRESULT QueryInterfaceHook(REFIID iid, void** out) override;

private:
    struct ShowUIPart : IDocHostShowUI {
        PageBrowserSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                 DWORD helpContext, LRESULT* result) override;
        STDMETHODIMP ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mouse,
                              IDispatch* hit) override;
    };
    // The host as a SkinnedHtmlDialog, or null for any other dialog or once the host has let go.
    SkinnedHtmlDialog* HostEx() const;

    ShowUIPart m_showUI;
    HtmlDialog* m_host;
};

// The page's "app:" commands go to the dialog's own AppCommandHandler overrides, for the page
// kind m_commandPage names (none by default: every command is cancelled unheard). `seams`: how
// its pages reach the player's browser.
class SkinnedHtmlDialog : public HtmlDialog, protected AppCommandHandler {
public:
    explicit SkinnedHtmlDialog(UINT templateId, HWND parent = nullptr, PageSeams seams = {});
    explicit SkinnedHtmlDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr,
                               PageSeams seams = {});

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool CreateControlSite(fw::CBrowserControlSite** site) override;
    // The framework's initialisation, then the browser in silent mode.
    BOOL OnInitDialog() override;
    BOOL CanAccessExternal() override { return TRUE; }
    // The framework's processing, then the body's scroll attribute "auto".
    void NavigateComplete2(IDispatch* frame, const std::wstring& url) override;
    // Every navigation through the page process's navigation host (web::HostNavigation).
    void BeforeNavigate2(IDispatch* frame, const std::wstring& url, bool& cancel) override;
    BOOL IsExternalDispatchSafe() override { return TRUE; }
    // A host dialog never shows the page's context menu.
    HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    // The framework's flags with DOCHOSTUIFLAG_DIALOG added.
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;

    // Navigation errors are cancelled: the browser shows no error page of its own.
    void NavigateError(IDispatch* frame, const std::wstring& url, const std::wstring& targetFrame,
                       long status, bool& cancel) override;
    // Script message boxes and help: S_FALSE lets the browser show its own.
    virtual HRESULT ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                DWORD helpContext, LRESULT* result);
    virtual HRESULT ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT mouse,
                             IDispatch* hit);

    std::span<const DHtmlEventEntry> GetElementEventTable() const override;

protected:
    // The host table's events go to the element behaviour.
    HRESULT OnTableElementEvent(ElementEvent event, const ElementRef& element) override;

    CommandPage m_commandPage = CommandPage::None;
    const PageSeams m_seams;

private:
    // The dialog window as the element behaviour sees it.
    class BehaviourWindow : public HtmlDialogWindow {
    public:
        explicit BehaviourWindow(SkinnedHtmlDialog& dialog) : m_dialog(dialog) {}
        bool HasCapture() const override;
        void SetCapture() override;
        void ReleaseCapture() override;
        void SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
        void CursorPos(int& x, int& y) const override;

    private:
        SkinnedHtmlDialog& m_dialog;
    };

    BehaviourWindow m_behaviourWindow{*this};
    ElementBehaviour m_behaviour{m_behaviourWindow};
};

} // namespace web
