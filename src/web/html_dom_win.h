// The browser's document object model adapted to the element interface of the element
// behaviour, and the document event sink that turns page mouse events into element events.
#pragma once
#include <windows.h>
#include <mshtml.h>

#include "base/handle_win.h"
#include "web/html_elements.h"

namespace web {

// Wraps a page element (taking a reference of its own); empty for null.
ElementRef WrapElement(IHTMLElement* element);

// Sets the scroll attribute of the document's body ("auto", "no", "yes"); false without a body.
bool SetBodyScroll(IDispatch* document, const wchar_t* value);

// Receives the element events of a connected document.
class ElementEventTarget {
public:
    virtual ~ElementEventTarget() = default;
    // S_FALSE cancels the page's default action for the event.
    virtual HRESULT OnElementEvent(ElementEvent event, const ElementRef& element) = 0;
};

// One connection of a document's HTMLDocumentEvents2 to a target. Disconnects when destroyed.
class DocumentEventConnection {
public:
    DocumentEventConnection() = default;
    ~DocumentEventConnection() { Disconnect(); }
    DocumentEventConnection(const DocumentEventConnection&) = delete;
    DocumentEventConnection& operator=(const DocumentEventConnection&) = delete;

    bool Connect(IDispatch* document, ElementEventTarget* target);
    void Disconnect();

private:
    class Sink;
    base::ComPtr<IConnectionPoint> m_point;
    Sink* m_sink = nullptr; // one reference
    DWORD m_cookie = 0;
};

} // namespace web
