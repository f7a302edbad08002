// How the host dialog's page elements behave: sprite buttons with hover, pressed and normal
// frames under a mouse capture held by the dialog, and page background that drags the dialog.
// Written against small element and window interfaces so that it runs without a browser.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/geometry.h"

namespace web {

// One element of the page, as far as the behaviour needs it.
class HtmlElement {
public:
    virtual ~HtmlElement() = default;
    virtual std::wstring ClassName() const = 0;
    virtual std::wstring TagName() const = 0;
    // True only when the attribute's value is the boolean true.
    virtual bool AttributeIsTrue(std::wstring_view name) const = 0;
    // Sets background-position-x of the element's inline style, in pixels.
    virtual void SetBackgroundPositionX(int px) = 0;
    // The element's box in the client coordinates of the page (and of the dialog it fills).
    virtual base::Box OffsetBox() const = 0;
    virtual void Click() = 0;
};

// A counted reference to an element: the behaviour keeps the pressed one alive.
using ElementRef = std::shared_ptr<HtmlElement>;

// The dialog window that hosts the page.
class HtmlDialogWindow {
public:
    virtual ~HtmlDialogWindow() = default;
    virtual bool HasCapture() const = 0; // the dialog window itself holds the mouse capture
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // The cursor position in screen coordinates.
    virtual void CursorPos(int& x, int& y) const = 0;
};

enum class ElementEvent { MouseOver, MouseOut, MouseDown, MouseUp, MouseMove, ContextMenu };

// An element event table entry selects elements by the whole class attribute (exact) or by the
// tag name (ASCII letters compared without case).
enum class ElementMatch { Class, Tag };

bool ElementMatches(ElementMatch match, std::wstring_view name, const HtmlElement& element);

// The first entry of the table that names the event and matches the element; the only one
// that is called. Entries are any struct with the fields event, match and name.
template <class Entry>
const Entry* FindElementEntry(std::span<const Entry> table, ElementEvent event, const HtmlElement& element) {
    for (const Entry& entry : table)
        if (entry.event == event && ElementMatches(entry.match, entry.name, element)) return &entry;
    return nullptr;
}

inline constexpr uint32_t kNcMouseMove = 0xA0;
inline constexpr uint32_t kNcLButtonDown = 0xA1;
inline constexpr uint32_t kNcLButtonUp = 0xA2;
inline constexpr uintptr_t kHitCaption = 2;

// A point packed into a message's lParam: x in the low 16 bits, y in the high 16 bits.
intptr_t PackPoint(int x, int y);

// The host's element behaviour and the one element the dialog holds.
class ElementBehaviour {
public:
    using Action = void (ElementBehaviour::*)(ElementEvent, const ElementRef&);
    struct Entry {
        ElementEvent event;
        ElementMatch match;
        std::wstring_view name;
        Action action;
    };

    explicit ElementBehaviour(HtmlDialogWindow& window) : m_window(window) {}
    ElementBehaviour(const ElementBehaviour&) = delete;
    ElementBehaviour& operator=(const ElementBehaviour&) = delete;

    // The host's element event table: "button"-class sprite buttons, then body, td and div as
    // the drag handle (their context menu cancelled).
    static std::span<const Entry> HostTable();

    // Looks the event up in the host table and acts on it. True when an entry took it: the
    // page's default action for the event is then cancelled.
    bool OnElementEvent(ElementEvent event, const ElementRef& element);

    // A left- or right-button release at a point in the dialog's client area. True when it
    // ended the dialog's capture (the message is then consumed).
    bool OnButtonRelease(int x, int y);

    // The capture went elsewhere without a release (another window took it): the pressed
    // button shows its normal frame again and is let go.
    void OnCaptureChanged();

    // Drops the held element (the dialog is going away).
    void Reset() { m_held.reset(); }

    const ElementRef& Held() const { return m_held; }

    // Actions of the host table.
    void ButtonOver(ElementEvent, const ElementRef& element);
    void ButtonOut(ElementEvent, const ElementRef& element);
    void ButtonDown(ElementEvent, const ElementRef& element);
    void ButtonUp(ElementEvent, const ElementRef& element);
    void DragMouse(ElementEvent event, const ElementRef& element);
    void CancelOnly(ElementEvent, const ElementRef&) {}

private:
    bool IsDisabled(const HtmlElement& element) const;
    void ShowHover(HtmlElement& element);

    HtmlDialogWindow& m_window;
    ElementRef m_held;
    bool m_releasing = false;
};

} // namespace web
