#include "web/html_elements.h"

#include "base/text.h"

namespace web {

namespace {

constexpr std::wstring_view kButtonClass = L"button";
constexpr std::wstring_view kDisabled = L"disabled";

using B = ElementBehaviour;
using E = ElementEvent;
using M = ElementMatch;

// Button entries come first: a "button" element inside a drag-handle tag is a button.
const B::Entry kHostTable[] = {
    {E::MouseOver, M::Class, kButtonClass, &B::ButtonOver},
    {E::MouseOut, M::Class, kButtonClass, &B::ButtonOut},
    {E::MouseDown, M::Class, kButtonClass, &B::ButtonDown},
    {E::MouseUp, M::Class, kButtonClass, &B::ButtonUp},
    {E::MouseDown, M::Tag, L"body", &B::DragMouse},
    {E::MouseUp, M::Tag, L"body", &B::DragMouse},
    {E::MouseMove, M::Tag, L"body", &B::DragMouse},
    {E::ContextMenu, M::Tag, L"body", &B::CancelOnly},
    {E::MouseDown, M::Tag, L"td", &B::DragMouse},
    {E::MouseUp, M::Tag, L"td", &B::DragMouse},
    {E::MouseMove, M::Tag, L"td", &B::DragMouse},
    {E::ContextMenu, M::Tag, L"td", &B::CancelOnly},
    {E::MouseDown, M::Tag, L"div", &B::DragMouse},
    {E::MouseUp, M::Tag, L"div", &B::DragMouse},
    {E::MouseMove, M::Tag, L"div", &B::DragMouse},
    {E::ContextMenu, M::Tag, L"div", &B::CancelOnly},
};

} // namespace

bool ElementMatches(ElementMatch match, std::wstring_view name, const HtmlElement& element) {
    if (match == ElementMatch::Class) return element.ClassName() == name;
    return base::EqualsNoCase(element.TagName(), name);
}

intptr_t PackPoint(int x, int y) {
    const uint32_t packed = (static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16);
    return static_cast<intptr_t>(packed);
}

std::span<const ElementBehaviour::Entry> ElementBehaviour::HostTable() {
    return kHostTable;
}

bool ElementBehaviour::OnElementEvent(ElementEvent event, const ElementRef& element) {
    if (!element) return false;
    const Entry* entry = FindElementEntry(HostTable(), event, *element);
    if (!entry) return false;
    (this->*entry->action)(event, element);
    return true;
}

bool ElementBehaviour::IsDisabled(const HtmlElement& element) const {
    return element.AttributeIsTrue(kDisabled);
}

// The strip holds normal, hover and pressed frames side by side, each as wide as the element.
void ElementBehaviour::ShowHover(HtmlElement& element) {
    if (m_window.HasCapture() || IsDisabled(element)) return;
    element.SetBackgroundPositionX(-element.OffsetBox().w);
}

void ElementBehaviour::ButtonOver(ElementEvent, const ElementRef& element) {
    ShowHover(*element);
}

void ElementBehaviour::ButtonOut(ElementEvent, const ElementRef& element) {
    if (!m_window.HasCapture()) element->SetBackgroundPositionX(0);
}

void ElementBehaviour::ButtonDown(ElementEvent, const ElementRef& element) {
    if (IsDisabled(*element)) return;
    m_held = element;
    m_window.SetCapture();
    element->SetBackgroundPositionX(-2 * element->OffsetBox().w);
}

void ElementBehaviour::ButtonUp(ElementEvent, const ElementRef& element) {
    ShowHover(*element);
    element->Click();
}

void ElementBehaviour::DragMouse(ElementEvent event, const ElementRef&) {
    const uint32_t message = event == ElementEvent::MouseDown ? kNcLButtonDown
                             : event == ElementEvent::MouseUp ? kNcLButtonUp
                                                              : kNcMouseMove;
    int x = 0, y = 0;
    m_window.CursorPos(x, y);
    m_window.SendMessage(message, kHitCaption, PackPoint(x, y));
}

bool ElementBehaviour::OnButtonRelease(int x, int y) {
    if (!m_window.HasCapture()) return false;
    m_releasing = true;
    m_window.ReleaseCapture();
    m_releasing = false;
    // Taken out first: a click may run page script that presses another button.
    const ElementRef held = std::move(m_held);
    m_held.reset();
    if (held) {
        if (held->OffsetBox().Contains(x, y)) {
            ShowHover(*held);
            held->Click();
        } else {
            held->SetBackgroundPositionX(0);
        }
    }
    return true;
}

void ElementBehaviour::OnCaptureChanged() {
    if (m_releasing || !m_held) return;
    const ElementRef held = std::move(m_held);
    m_held.reset();
    held->SetBackgroundPositionX(0);
}

} // namespace web
