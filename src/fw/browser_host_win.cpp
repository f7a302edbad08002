#include "fw/browser_host_win.h"

#include <exdispid.h>
#include <mshtml.h>

#include "base/trace_win.h"
#include "fw/dispatch_win.h"
#include "fw/security_manager_win.h"
#include "fw/shell_open_win.h"

namespace fw {

namespace {

// A VARIANT argument as the browser passes it: often a reference to another VARIANT.
const VARIANT* Deref(const VARIANT* v) {
    while (v && v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    return v;
}

std::wstring StringArg(const VARIANT* v) {
    v = Deref(v);
    if (!v) return {};
    if (v->vt == VT_BSTR && v->bstrVal) return {v->bstrVal, SysStringLen(v->bstrVal)};
    if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal)
        return {*v->pbstrVal, SysStringLen(*v->pbstrVal)};
    return {};
}

long LongArg(const VARIANT* v) {
    v = Deref(v);
    if (!v) return 0;
    if (v->vt == VT_I4) return v->lVal;
    if (v->vt == (VT_BYREF | VT_I4) && v->plVal) return *v->plVal;
    base::Variant converted;
    return SUCCEEDED(VariantChangeType(converted.Put(), const_cast<VARIANT*>(v), 0, VT_I4))
               ? converted.Get().lVal
               : 0;
}

IDispatch* DispatchArg(const VARIANT* v) {
    v = Deref(v);
    if (!v) return nullptr;
    if (v->vt == VT_DISPATCH) return v->pdispVal;
    if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal) return *v->ppdispVal;
    return nullptr;
}

VARIANT_BOOL* CancelArg(VARIANT* v) {
    return v && v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

// The empty external object: pages may reach it, it answers nothing.
class EmptyExternal : public fw::CDispatchObject {
public:
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; ids && i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

base::ComPtr<IUnknown> Identity(IUnknown* object) {
    base::ComPtr<IUnknown> identity;
    if (object) object->QueryInterface(IID_IUnknown, identity.PutVoid());
    return identity;
}

} // namespace

void BrowserHostClient::NewWindowRefused(const std::wstring& url) {
    OpenAsPlayer(url);
}

// ---- the site object --------------------------------------------------------------------------

CBrowserControlSite::CBrowserControlSite(HWND window, BrowserHostClient* client)
    : m_window(window), m_client(client) {
    m_clientSite.owner = m_inPlaceSite.owner = m_frame.owner = m_uiHandler.owner = m_serviceProvider.owner =
        m_eventSink.owner = this;
}

ULONG CBrowserControlSite::AddRef() {
    return InterlockedIncrement(&m_refs);
}

ULONG CBrowserControlSite::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return refs;
}

HRESULT CBrowserControlSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (QueryInterfaceHook(iid, out) == S_OK && *out) return S_OK;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(&m_clientSite);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(&m_inPlaceSite);
    else if (iid == IID_IDocHostUIHandler)
        *out = static_cast<IDocHostUIHandler*>(&m_uiHandler);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(&m_serviceProvider);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

void CBrowserControlSite::Dispatch(DISPID id, DISPPARAMS* params) {
    if (!params) return;
    VARIANT* a = params->rgvarg; // arguments in reverse order
    const UINT n = params->cArgs;
    // New windows are refused whoever listens, even after the host has let go.
    if (id == DISPID_NEWWINDOW2 || id == DISPID_NEWWINDOW3) {
        const UINT cancelAt = id == DISPID_NEWWINDOW2 ? 0 : 3;
        if (n > cancelAt)
            if (VARIANT_BOOL* cancel = CancelArg(&a[cancelAt])) *cancel = VARIANT_TRUE;
    }
    BrowserHostClient* client = m_client;
    if (!client) return;
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        if (n >= 7) {
            VARIANT_BOOL* cancelArg = CancelArg(&a[0]);
            bool cancel = cancelArg && *cancelArg != VARIANT_FALSE;
            client->BeforeNavigate2(DispatchArg(&a[6]), StringArg(&a[5]), cancel);
            if (cancelArg) *cancelArg = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
    case DISPID_NAVIGATECOMPLETE2:
        if (n >= 2) client->NavigateComplete2(DispatchArg(&a[1]), StringArg(&a[0]));
        break;
    case DISPID_DOCUMENTCOMPLETE:
        if (n >= 2) client->DocumentComplete(DispatchArg(&a[1]), StringArg(&a[0]));
        break;
    case DISPID_NAVIGATEERROR:
        if (n >= 5) {
            VARIANT_BOOL* cancelArg = CancelArg(&a[0]);
            bool cancel = cancelArg && *cancelArg != VARIANT_FALSE;
            client->NavigateError(DispatchArg(&a[4]), StringArg(&a[3]), StringArg(&a[2]), LongArg(&a[1]),
                                  cancel);
            if (cancelArg) *cancelArg = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
    case DISPID_TITLECHANGE:
        if (n >= 1) client->TitleChange(StringArg(&a[0]));
        break;
    case DISPID_NEWWINDOW3: // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
        if (n >= 5) client->NewWindowRefused(StringArg(&a[0]));
        break;
    default:
        break;
    }
}

// ---- client site ------------------------------------------------------------------------------

STDMETHODIMP CBrowserControlSite::ClientSitePart::QueryInterface(REFIID iid, void** out) {
    return owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CBrowserControlSite::ClientSitePart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::ClientSitePart::Release() {
    return owner->Release();
}
STDMETHODIMP CBrowserControlSite::ClientSitePart::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CBrowserControlSite::ClientSitePart::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

// ---- in-place site ----------------------------------------------------------------------------

STDMETHODIMP CBrowserControlSite::InPlaceSitePart::QueryInterface(REFIID iid, void** out) {
    return owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CBrowserControlSite::InPlaceSitePart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::InPlaceSitePart::Release() {
    return owner->Release();
}
STDMETHODIMP CBrowserControlSite::InPlaceSitePart::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = owner->m_window;
    return S_OK;
}
STDMETHODIMP CBrowserControlSite::InPlaceSitePart::GetWindowContext(IOleInPlaceFrame** frame,
                                                                    IOleInPlaceUIWindow** doc, LPRECT pos,
                                                                    LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    CBrowserControlSite* site = owner;
    if (frame) {
        *frame = &site->m_frame;
        site->AddRef();
    }
    if (doc) *doc = nullptr;
    RECT client{};
    GetClientRect(site->m_window, &client);
    if (pos) *pos = client;
    if (clip) *clip = client;
    if (info) {
        info->cb = sizeof(OLEINPLACEFRAMEINFO);
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(site->m_window, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}
STDMETHODIMP CBrowserControlSite::InPlaceSitePart::OnPosRectChange(LPCRECT rect) {
    CBrowserControlSite* site = owner;
    if (!rect || !site->m_browser) return E_INVALIDARG;
    base::ComPtr<IOleInPlaceObject> inPlace;
    if (FAILED(site->m_browser->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()))) return E_FAIL;
    return inPlace->SetObjectRects(rect, rect);
}

// ---- in-place frame ---------------------------------------------------------------------------

STDMETHODIMP CBrowserControlSite::FramePart::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
        iid != IID_IOleInPlaceFrame)
        return E_NOINTERFACE;
    *out = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) CBrowserControlSite::FramePart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::FramePart::Release() {
    return owner->Release();
}
STDMETHODIMP CBrowserControlSite::FramePart::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = GetAncestor(owner->m_window, GA_ROOT);
    return S_OK;
}

// ---- IDocHostUIHandler: forwarded to the host window ------------------------------------------

STDMETHODIMP CBrowserControlSite::UIHandlerPart::QueryInterface(REFIID iid, void** out) {
    return owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CBrowserControlSite::UIHandlerPart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::UIHandlerPart::Release() {
    return owner->Release();
}

#define FW_FORWARD(call, fallback)                                                                           \
    do {                                                                                                     \
        BrowserHostClient* client = owner->m_client;                                                         \
        return client ? client->call : (fallback);                                                           \
    } while (false)

STDMETHODIMP CBrowserControlSite::UIHandlerPart::ShowContextMenu(DWORD id, POINT* pt, IUnknown* target,
                                                                 IDispatch* object) {
    FW_FORWARD(ShowContextMenu(id, pt, target, object), S_OK);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::GetHostInfo(DOCHOSTUIINFO* info) {
    FW_FORWARD(GetHostInfo(info), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::ShowUI(DWORD id, IOleInPlaceActiveObject* active,
                                                        IOleCommandTarget* target, IOleInPlaceFrame* frame,
                                                        IOleInPlaceUIWindow* doc) {
    FW_FORWARD(ShowUI(id, active, target, frame, doc), S_FALSE);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::HideUI() {
    FW_FORWARD(HideUI(), S_OK);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::UpdateUI() {
    FW_FORWARD(UpdateUI(), S_OK);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::EnableModeless(BOOL enable) {
    FW_FORWARD(EnableModeless(enable), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::OnDocWindowActivate(BOOL activate) {
    FW_FORWARD(OnDocWindowActivate(activate), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::OnFrameWindowActivate(BOOL activate) {
    FW_FORWARD(OnFrameWindowActivate(activate), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                                              BOOL frame) {
    FW_FORWARD(ResizeBorder(border, window, frame), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::TranslateAccelerator(LPMSG msg, const GUID* group,
                                                                      DWORD id) {
    FW_FORWARD(TranslateAccelerator(msg, group, id), S_FALSE);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    if (key) *key = nullptr;
    FW_FORWARD(GetOptionKeyPath(key, reserved), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::GetDropTarget(IDropTarget* in, IDropTarget** out) {
    if (out) *out = nullptr;
    FW_FORWARD(GetDropTarget(in, out), E_NOTIMPL);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::GetExternal(IDispatch** out) {
    if (out) *out = nullptr;
    FW_FORWARD(GetExternal(out), S_FALSE);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* out) {
    if (out) *out = nullptr;
    FW_FORWARD(TranslateUrl(translate, url, out), S_FALSE);
}
STDMETHODIMP CBrowserControlSite::UIHandlerPart::FilterDataObject(IDataObject* in, IDataObject** out) {
    if (out) *out = nullptr;
    FW_FORWARD(FilterDataObject(in, out), S_FALSE);
}

#undef FW_FORWARD

// ---- IServiceProvider: the program's security manager ------------------------------------------

STDMETHODIMP CBrowserControlSite::ServiceProviderPart::QueryInterface(REFIID iid, void** out) {
    return owner->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CBrowserControlSite::ServiceProviderPart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::ServiceProviderPart::Release() {
    return owner->Release();
}
STDMETHODIMP CBrowserControlSite::ServiceProviderPart::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    // Only the security manager is offered: other services would be the host's to give, and
    // this host gives none.
    if (service != SID_SInternetSecurityManager) return E_NOINTERFACE;
    return ProcessSecurityManager()->QueryInterface(iid, out);
}

// ---- DWebBrowserEvents2 sink ------------------------------------------------------------------

STDMETHODIMP CBrowserControlSite::EventSinkPart::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) CBrowserControlSite::EventSinkPart::AddRef() {
    return owner->AddRef();
}
STDMETHODIMP_(ULONG) CBrowserControlSite::EventSinkPart::Release() {
    return owner->Release();
}
STDMETHODIMP CBrowserControlSite::EventSinkPart::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}
STDMETHODIMP CBrowserControlSite::EventSinkPart::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CBrowserControlSite::EventSinkPart::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
STDMETHODIMP CBrowserControlSite::EventSinkPart::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                        VARIANT*, EXCEPINFO*, UINT*) {
    // The site stays alive while a handler runs, even if the handler destroys the host.
    CBrowserControlSite* site = owner;
    site->AddRef();
    site->Dispatch(id, params);
    site->Release();
    return S_OK;
}

base::ComPtr<IDispatch> MakeEmptyExternal() {
    return base::ComPtr<IDispatch>::Adopt(new EmptyExternal);
}

// ---- the host ---------------------------------------------------------------------------------

bool CBrowserHost::Create(HWND parent, const RECT& rect, BrowserHostClient* client,
                          CBrowserControlSite* site) {
    Destroy();
    if (!site) site = new CBrowserControlSite(parent, client);
    m_site = site;
    const auto fail = [this](const wchar_t* step, HRESULT hr) {
        base::Trace(step, hr);
        m_cookie = 0;
        Destroy();
        return false;
    };
    HRESULT hr =
        CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, m_object.PutVoid());
    if (SUCCEEDED(hr)) hr = m_object->QueryInterface(IID_IWebBrowser2, m_browser.PutVoid());
    if (FAILED(hr)) return fail(L"browser control not made", hr);
    m_site->SetBrowser(m_object.Get());
    if (FAILED(hr = m_object->SetClientSite(m_site->ClientSite())))
        return fail(L"browser control not sited", hr);
    RECT pos = rect;
    if (FAILED(
            hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site->ClientSite(), 0, parent, &pos)))
        return fail(L"browser control not activated", hr);
    SetRect(rect);
    base::ComPtr<IConnectionPointContainer> container;
    hr = m_browser.As(container);
    base::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put());
    if (SUCCEEDED(hr)) hr = point->Advise(m_site->EventSink(), &m_cookie);
    if (FAILED(hr)) return fail(L"browser events not connected", hr);
    return true;
}

void CBrowserHost::Destroy() {
    // The order matters: no more events, then the site let go, then the control closed, so
    // that no callback reaches a host that is half torn down.
    if (m_cookie && m_browser) {
        base::ComPtr<IConnectionPointContainer> container;
        m_browser.As(container);
        base::ComPtr<IConnectionPoint> point;
        if (container && SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put())))
            point->Unadvise(m_cookie);
    }
    m_cookie = 0;
    if (m_site) m_site->Detach();
    if (m_object) {
        base::ComPtr<IOleInPlaceObject> inPlace;
        m_object.As(inPlace);
        if (inPlace) inPlace->InPlaceDeactivate();
        m_object->SetClientSite(nullptr);
        m_object->Close(OLECLOSE_NOSAVE);
    }
    m_browser.Reset();
    m_object.Reset();
    if (m_site) {
        m_site->SetBrowser(nullptr);
        m_site->Release();
        m_site = nullptr;
    }
}

HWND CBrowserHost::ControlWindow() const {
    if (!m_object) return nullptr;
    base::ComPtr<IOleInPlaceObject> window;
    m_object.As(window);
    HWND hwnd = nullptr;
    if (window && SUCCEEDED(window->GetWindow(&hwnd))) return hwnd;
    return nullptr;
}

bool CBrowserHost::IsTopLevel(IDispatch* frame) const {
    if (!frame || !m_object) return false;
    return Identity(frame).Get() == Identity(m_object.Get()).Get();
}

std::wstring CBrowserHost::LocationUrl() const {
    base::Bstr location;
    if (!m_browser || FAILED(m_browser->get_LocationURL(location.Put()))) return {};
    return base::BstrText(location.Get());
}

std::wstring CBrowserHost::LocationUrlOf(IDispatch* frame) const {
    if (!frame) return {};
    if (IsTopLevel(frame)) return LocationUrl();
    // A frame's browser object answers the same property through its automation interface
    // (LocationURL of IWebBrowser, a dual interface).
    constexpr DISPID kLocationUrl = 211;
    base::Variant result;
    DISPPARAMS none{};
    const HRESULT hr = frame->Invoke(kLocationUrl, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                     result.Put(), nullptr, nullptr);
    return SUCCEEDED(hr) && result.Get().vt == VT_BSTR ? base::BstrText(result.Get().bstrVal)
                                                       : std::wstring();
}

void CBrowserHost::SetRect(const RECT& rect) {
    if (!m_object) return;
    base::ComPtr<IOleInPlaceObject> inPlace;
    m_object.As(inPlace);
    if (inPlace) inPlace->SetObjectRects(&rect, &rect);
}

bool CBrowserHost::Navigate(const std::wstring& url) {
    if (!m_browser) return false;
    const base::Bstr address = base::MakeBstr(url);
    if (!address) return false;
    base::Variant empty;
    VARIANT* none = empty.Put();
    return SUCCEEDED(m_browser->Navigate(address.Get(), none, none, none, none));
}

bool CBrowserHost::SetSilent(bool silent) {
    return m_browser && SUCCEEDED(m_browser->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE));
}

base::ComPtr<IDispatch> CBrowserHost::Document() const {
    base::ComPtr<IDispatch> document;
    if (m_browser) m_browser->get_Document(document.Put());
    return document;
}

bool CBrowserHost::TranslateAccelerator(MSG* msg) {
    if (!msg || !m_object || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    const HWND control = ControlWindow();
    if (!control || (msg->hwnd != control && !IsChild(control, msg->hwnd))) return false;
    base::ComPtr<IOleInPlaceActiveObject> active;
    m_object.As(active);
    return active && active->TranslateAccelerator(msg) == S_OK;
}

} // namespace fw
