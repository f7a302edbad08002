#include "web/html_dom_win.h"

#include <mshtmdid.h>

#include <string>

#include "fw/dispatch_win.h"

namespace web {

// The portable copies of the caption-drag messages are the platform's own.
static_assert(kNcMouseMove == WM_NCMOUSEMOVE && kNcLButtonDown == WM_NCLBUTTONDOWN &&
              kNcLButtonUp == WM_NCLBUTTONUP && kHitCaption == HTCAPTION);

namespace {

// DIID_HTMLDocumentEvents2, which the import libraries do not carry.
constexpr IID kDiidDocumentEvents2 = {
    0x3050F613, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class DomElement : public HtmlElement {
public:
    explicit DomElement(IHTMLElement* element) : m_element(base::ComPtr<IHTMLElement>::Share(element)) {}

    std::wstring ClassName() const override {
        base::Bstr value;
        m_element->get_className(value.Put());
        return base::BstrText(value.Get());
    }
    std::wstring TagName() const override {
        base::Bstr value;
        m_element->get_tagName(value.Put());
        return base::BstrText(value.Get());
    }
    bool AttributeIsTrue(std::wstring_view name) const override {
        base::Variant value;
        const HRESULT hr = m_element->getAttribute(base::MakeBstr(name).Get(), 0, value.Put());
        return SUCCEEDED(hr) && value.Get().vt == VT_BOOL && value.Get().boolVal != VARIANT_FALSE;
    }
    void SetBackgroundPositionX(int px) override {
        base::ComPtr<IHTMLStyle> style;
        if (FAILED(m_element->get_style(style.Put())) || !style) return;
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = px;
        style->put_backgroundPositionX(value);
    }
    // Offsets are relative to the offset parent, not to the page: the position comes from the
    // element's bounding box in the viewport (the browser fills the dialog's client area), or,
    // where that is missing, from the offsets summed up the offset-parent chain.
    base::Box OffsetBox() const override {
        base::Box box;
        long value = 0;
        if (SUCCEEDED(m_element->get_offsetWidth(&value))) box.w = value;
        if (SUCCEEDED(m_element->get_offsetHeight(&value))) box.h = value;
        base::ComPtr<IHTMLElement2> element2;
        m_element.As(element2);
        base::ComPtr<IHTMLRect> rect;
        if (element2 && SUCCEEDED(element2->getBoundingClientRect(rect.Put())) && rect) {
            long left = 0, top = 0;
            rect->get_left(&left);
            rect->get_top(&top);
            box.x = left;
            box.y = top;
            return box;
        }
        base::ComPtr<IHTMLElement> current = m_element.Clone();
        for (int depth = 0; current && depth < 256; ++depth) {
            long offset = 0;
            if (SUCCEEDED(current->get_offsetLeft(&offset))) box.x += offset;
            if (SUCCEEDED(current->get_offsetTop(&offset))) box.y += offset;
            base::ComPtr<IHTMLElement> parent;
            if (FAILED(current->get_offsetParent(parent.Put()))) break;
            current = std::move(parent);
        }
        return box;
    }
    void Click() override { m_element->click(); }

private:
    base::ComPtr<IHTMLElement> m_element;
};

bool EventFromDispid(DISPID id, ElementEvent& event) {
    // The ids are of mixed signedness in the headers: compared as DISPID values.
    static const struct {
        DISPID id;
        ElementEvent event;
    } kEvents[] = {
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOVER), ElementEvent::MouseOver},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEOUT), ElementEvent::MouseOut},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEDOWN), ElementEvent::MouseDown},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEUP), ElementEvent::MouseUp},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEMOVE), ElementEvent::MouseMove},
        {static_cast<DISPID>(DISPID_HTMLDOCUMENTEVENTS2_ONCONTEXTMENU), ElementEvent::ContextMenu},
    };
    for (const auto& e : kEvents) {
        if (e.id == id) {
            event = e.event;
            return true;
        }
    }
    return false;
}

} // namespace

ElementRef WrapElement(IHTMLElement* element) {
    if (!element) return nullptr;
    return std::make_shared<DomElement>(element);
}

bool SetBodyScroll(IDispatch* document, const wchar_t* value) {
    if (!document) return false;
    base::ComPtr<IHTMLDocument2> doc;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, doc.PutVoid()))) return false;
    base::ComPtr<IHTMLElement> body;
    if (FAILED(doc->get_body(body.Put())) || !body) return false;
    base::ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body->QueryInterface(IID_IHTMLBodyElement, bodyElement.PutVoid()))) return false;
    return SUCCEEDED(bodyElement->put_scroll(base::MakeBstr(value).Get()));
}

// The HTMLDocumentEvents2 sink: every mouse event of the page with its source element.
class DocumentEventConnection::Sink : public fw::CDispatchObject {
public:
    explicit Sink(ElementEventTarget* target) : CDispatchObject(kDiidDocumentEvents2), m_target(target) {}
    void Detach() { m_target = nullptr; }

    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        ElementEvent event;
        if (!m_target || !EventFromDispid(id, event) || !params || params->cArgs < 1) return S_OK;
        const VARIANT& arg = params->rgvarg[0];
        if (arg.vt != VT_DISPATCH || !arg.pdispVal) return S_OK;
        base::ComPtr<IHTMLEventObj> eventObj;
        if (FAILED(arg.pdispVal->QueryInterface(IID_IHTMLEventObj, eventObj.PutVoid()))) return S_OK;
        base::ComPtr<IHTMLElement> source;
        if (FAILED(eventObj->get_srcElement(source.Put())) || !source) return S_OK;
        AddRef(); // a handler may disconnect the document
        if (m_target->OnElementEvent(event, WrapElement(source.Get())) == S_FALSE) {
            VARIANT no;
            VariantInit(&no);
            no.vt = VT_BOOL;
            no.boolVal = VARIANT_FALSE;
            eventObj->put_returnValue(no);
            if (result) *result = no;
        }
        Release();
        return S_OK;
    }

private:
    ElementEventTarget* m_target;
};

bool DocumentEventConnection::Connect(IDispatch* document, ElementEventTarget* target) {
    Disconnect();
    if (!document || !target) return false;
    base::ComPtr<IConnectionPointContainer> container;
    if (FAILED(document->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) ||
        FAILED(container->FindConnectionPoint(kDiidDocumentEvents2, m_point.Put())))
        return false;
    m_sink = new Sink(target);
    if (FAILED(m_point->Advise(m_sink, &m_cookie))) {
        m_cookie = 0;
        Disconnect();
        return false;
    }
    return true;
}

void DocumentEventConnection::Disconnect() {
    if (m_point && m_cookie) m_point->Unadvise(m_cookie);
    m_cookie = 0;
    m_point.Reset();
    if (m_sink) {
        m_sink->Detach();
        m_sink->Release();
        m_sink = nullptr;
    }
}

} // namespace web
