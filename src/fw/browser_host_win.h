// The platform's WebBrowser control hosted in a window without ATL: the control site (one small
// object per site interface), the browser event sink and the teardown, shared by the HTML dialog
// and the HTML view of a page window.
#pragma once
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <string>

#include "base/handle_win.h"

namespace fw {

// IID_IDocHostShowUI, which the import libraries do not carry.
inline constexpr IID kIidDocHostShowUI = {
    0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};

// What the site asks of the window that hosts the browser: the browser's events and the
// document host's questions. Every default leaves the decision to the browser.
class BrowserHostClient {
public:
    virtual ~BrowserHostClient() = default;

    // DWebBrowserEvents2. `cancel` comes in as the browser set it and goes back as left.
    virtual void BeforeNavigate2(IDispatch* /*frame*/, const std::wstring& /*url*/, bool& /*cancel*/) {}
    virtual void NavigateComplete2(IDispatch* /*frame*/, const std::wstring& /*url*/) {}
    virtual void DocumentComplete(IDispatch* /*frame*/, const std::wstring& /*url*/) {}
    virtual void NavigateError(IDispatch* /*frame*/, const std::wstring& /*url*/,
                               const std::wstring& /*targetFrame*/, long /*status*/, bool& /*cancel*/) {}
    virtual void TitleChange(const std::wstring& /*title*/) {}
    // A page asked for a window of its own (script, a link with a target): the site has refused
    // it already, since a window of the elevated control would be a full browser running
    // elevated. url: the address it would show, empty where the browser does not say. By default
    // a web address opens in the player's default browser (fw::OpenAsPlayer).
    virtual void NewWindowRefused(const std::wstring& url);

    // IDocHostUIHandler, reached through the site with the browser's own arguments.
    virtual HRESULT ShowContextMenu(DWORD /*id*/, POINT* /*pt*/, IUnknown* /*target*/,
                                    IDispatch* /*object*/) {
        return S_FALSE;
    }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* /*info*/) { return E_NOTIMPL; }
    virtual HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                           IOleInPlaceUIWindow*) {
        return S_FALSE;
    }
    virtual HRESULT HideUI() { return S_OK; }
    virtual HRESULT UpdateUI() { return S_OK; }
    virtual HRESULT EnableModeless(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
    virtual HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD) {
        if (key) *key = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT GetDropTarget(IDropTarget*, IDropTarget** target) {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT GetExternal(IDispatch** external) {
        if (external) *external = nullptr;
        return S_FALSE;
    }
    virtual HRESULT TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    virtual HRESULT FilterDataObject(IDataObject*, IDataObject** out) {
        if (out) *out = nullptr;
        return S_FALSE;
    }
};

// The control site: a COM object made of small parts, one per interface (client site,
// in-place site, in-place frame, IDocHostUIHandler, IServiceProvider, the DWebBrowserEvents2
// sink). The parts share one reference count; the object deletes itself when the last
// reference goes. Its service provider hands the control the program's own security manager
// (fw/security_manager_win.h), so that no control asks the player's zone settings.
class CBrowserControlSite {
public:
    CBrowserControlSite(HWND window, BrowserHostClient* client);
    CBrowserControlSite(const CBrowserControlSite&) = delete;
    CBrowserControlSite& operator=(const CBrowserControlSite&) = delete;

    ULONG AddRef();
    ULONG Release();
    // The site's identity and every interface it offers; the hook is asked first.
    HRESULT QueryInterface(REFIID iid, void** out);

    IOleClientSite* ClientSite() { return &m_clientSite; }
    IDocHostUIHandler* UIHandler() { return &m_uiHandler; }
    IServiceProvider* ServiceProvider() { return &m_serviceProvider; }
    IDispatch* EventSink() { return &m_eventSink; }

    // After this the site forwards nothing: the host is going away.
    void Detach() { m_client = nullptr; }
    BrowserHostClient* Client() const { return m_client; }
    HWND Window() const { return m_window; }
    // The browser whose events are screened; other dispatches are frames.
    void SetBrowser(IOleObject* browser) { m_browser = browser; }

protected:
    virtual ~CBrowserControlSite() = default;
    // The interface hook of a derived site: extra interfaces it offers (S_OK with a reference
    // added), E_NOINTERFACE to fall back to the site's own.
    virtual HRESULT QueryInterfaceHook(REFIID /*iid*/, void** /*out*/) { return E_NOINTERFACE; }

private:
    struct ClientSitePart : IOleClientSite {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
        STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
        STDMETHODIMP GetContainer(IOleContainer** out) override;
        STDMETHODIMP ShowObject() override { return S_OK; }
        STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
        STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    };
    struct InPlaceSitePart : IOleInPlaceSite {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetWindow(HWND* out) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnUIActivate() override { return S_OK; }
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
        STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
        STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
        STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
        STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
        STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
        STDMETHODIMP OnPosRectChange(LPCRECT rect) override;
    };
    // The in-place frame is an object of its own for the browser (its own identity), kept
    // alive with the site.
    struct FramePart : IOleInPlaceFrame {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetWindow(HWND* out) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    };
    struct UIHandlerPart : IDocHostUIHandler {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP ShowContextMenu(DWORD id, POINT* pt, IUnknown* target, IDispatch* object) override;
        STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
        STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                            IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
        STDMETHODIMP HideUI() override;
        STDMETHODIMP UpdateUI() override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
        STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
        STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) override;
        STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
        STDMETHODIMP GetDropTarget(IDropTarget* in, IDropTarget** out) override;
        STDMETHODIMP GetExternal(IDispatch** out) override;
        STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* out) override;
        STDMETHODIMP FilterDataObject(IDataObject* in, IDataObject** out) override;
    };
    struct ServiceProviderPart : IServiceProvider {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;
    };
    // The DWebBrowserEvents2 sink: an object of its own for the connection point.
    struct EventSinkPart : IDispatch {
        CBrowserControlSite* owner = nullptr;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
        STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                            UINT*) override;
    };

    void Dispatch(DISPID id, DISPPARAMS* params);

    ClientSitePart m_clientSite;
    InPlaceSitePart m_inPlaceSite;
    FramePart m_frame;
    UIHandlerPart m_uiHandler;
    ServiceProviderPart m_serviceProvider;
    EventSinkPart m_eventSink;
    LONG m_refs = 1;
    HWND m_window;
    BrowserHostClient* m_client;
    IOleObject* m_browser = nullptr; // not counted: the host holds the browser
};

// The external script object offered to pages: an IDispatch without members.
base::ComPtr<IDispatch> MakeEmptyExternal();

// One WebBrowser control in-place active in a window.
class CBrowserHost {
public:
    CBrowserHost() = default;
    ~CBrowserHost() { Destroy(); }
    CBrowserHost(const CBrowserHost&) = delete;
    CBrowserHost& operator=(const CBrowserHost&) = delete;

    // Creates the control as a child of parent over rect (parent's client coordinates) with the
    // given site (the host takes the caller's reference; a CBrowserControlSite for client when
    // none is given) and connects its events. False, with nothing left behind, on failure.
    bool Create(HWND parent, const RECT& rect, BrowserHostClient* client,
                CBrowserControlSite* site = nullptr);

    // Disconnects the events, lets the site go and closes the control.
    void Destroy();

    bool IsCreated() const { return static_cast<bool>(m_browser); }
    IWebBrowser2* Browser() const { return m_browser.Get(); }
    CBrowserControlSite* Site() const { return m_site; }
    // The control's own window (the browser's shell embedding), null before creation.
    HWND ControlWindow() const;
    // Whether an event's browser object is the control itself (its top-level document) rather
    // than a frame inside it.
    bool IsTopLevel(IDispatch* frame) const;
    // The address of the document the control shows, as the browser reports it (empty when
    // none).
    std::wstring LocationUrl() const;
    // The address of the document an event's browser object shows: the control's for its
    // top-level document, a frame's own otherwise (empty when the object can't say).
    std::wstring LocationUrlOf(IDispatch* frame) const;

    void SetRect(const RECT& rect);
    bool Navigate(const std::wstring& url);
    // Silent mode: the browser shows no dialog boxes of its own (script errors and the like).
    bool SetSilent(bool silent);
    // The current document's IDispatch, empty while none is loaded.
    base::ComPtr<IDispatch> Document() const;

    // Offers a keyboard message meant for the control's window (or a window inside it) to the
    // control's IOleInPlaceActiveObject. True when the control took it.
    bool TranslateAccelerator(MSG* msg);

private:
    base::ComPtr<IOleObject> m_object;
    base::ComPtr<IWebBrowser2> m_browser;
    CBrowserControlSite* m_site = nullptr; // one reference
    DWORD m_cookie = 0;
};

} // namespace fw
