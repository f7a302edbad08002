#include "web/html_elements.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using web::ElementEvent;

namespace {

class FakeElement : public web::HtmlElement {
public:
    FakeElement(std::wstring cls, std::wstring tag, base::Box box, bool disabled = false)
        : m_class(std::move(cls)), m_tag(std::move(tag)), m_box(box), m_disabled(disabled) {}
    std::wstring ClassName() const override { return m_class; }
    std::wstring TagName() const override { return m_tag; }
    bool AttributeIsTrue(std::wstring_view name) const override { return name == L"disabled" && m_disabled; }
    void SetBackgroundPositionX(int px) override { positionX = px; }
    base::Box OffsetBox() const override { return m_box; }
    void Click() override { ++clicks; }

    std::optional<int> positionX;
    int clicks = 0;

private:
    std::wstring m_class, m_tag;
    base::Box m_box;
    bool m_disabled;
};

struct Sent {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Sent&) const = default;
};

class FakeWindow : public web::HtmlDialogWindow {
public:
    bool HasCapture() const override { return capture; }
    void SetCapture() override { capture = true; }
    void ReleaseCapture() override {
        capture = false;
        if (behaviour) behaviour->OnCaptureChanged(); // sent synchronously by the platform
    }
    void SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        sent.push_back({message, wParam, lParam});
    }
    void CursorPos(int& x, int& y) const override {
        x = cursorX;
        y = cursorY;
    }

    bool capture = false;
    int cursorX = 0, cursorY = 0;
    std::vector<Sent> sent;
    web::ElementBehaviour* behaviour = nullptr;
};

class ElementBehaviourTest : public testing::Test {
protected:
    ElementBehaviourTest() { window.behaviour = &behaviour; }
    std::shared_ptr<FakeElement> Button(bool disabled = false) {
        return std::make_shared<FakeElement>(L"button", L"A", base::Box{10, 20, 80, 30}, disabled);
    }
    FakeWindow window;
    web::ElementBehaviour behaviour{window};
};

} // namespace

TEST_F(ElementBehaviourTest, ButtonShowsFramesByItsWidth) {
    auto button = Button();
    EXPECT_TRUE(behaviour.OnElementEvent(ElementEvent::MouseOver, button));
    EXPECT_EQ(button->positionX, -80);
    EXPECT_TRUE(behaviour.OnElementEvent(ElementEvent::MouseOut, button));
    EXPECT_EQ(button->positionX, 0);
    EXPECT_TRUE(behaviour.OnElementEvent(ElementEvent::MouseDown, button));
    EXPECT_EQ(button->positionX, -160);
    EXPECT_TRUE(window.capture);
    EXPECT_EQ(behaviour.Held(), button);
}

TEST_F(ElementBehaviourTest, CaptureFreezesHoverAndOut) {
    auto pressed = Button();
    auto other = Button();
    behaviour.OnElementEvent(ElementEvent::MouseDown, pressed);
    behaviour.OnElementEvent(ElementEvent::MouseOut, pressed);
    behaviour.OnElementEvent(ElementEvent::MouseOver, other);
    EXPECT_EQ(pressed->positionX, -160);
    EXPECT_FALSE(other->positionX.has_value());
}

TEST_F(ElementBehaviourTest, DisabledButtonNeverChangesNorCaptures) {
    auto button = Button(true);
    for (auto event : {ElementEvent::MouseOver, ElementEvent::MouseDown, ElementEvent::MouseOut}) {
        EXPECT_TRUE(behaviour.OnElementEvent(event, button));
        EXPECT_NE(button->positionX, -80);
        EXPECT_NE(button->positionX, -160);
    }
    EXPECT_FALSE(window.capture);
    EXPECT_EQ(behaviour.Held(), nullptr);
    EXPECT_FALSE(behaviour.OnButtonRelease(11, 21));
}

TEST_F(ElementBehaviourTest, ReleaseEndsCaptureAndClicksOnlyInside) {
    struct Case {
        const char* name;
        int x, y;
        int clicks;
        int frame;
    } cases[] = {
        {"top-left corner", 10, 20, 1, -80}, {"inside", 50, 35, 1, -80},    {"last pixel", 89, 49, 1, -80},
        {"right edge", 90, 35, 0, 0},        {"bottom edge", 50, 50, 0, 0}, {"left of it", 9, 35, 0, 0},
        {"far away", -500, 900, 0, 0},
    };
    for (const auto& c : cases) {
        auto button = Button();
        behaviour.OnElementEvent(ElementEvent::MouseDown, button);
        EXPECT_TRUE(behaviour.OnButtonRelease(c.x, c.y)) << c.name;
        EXPECT_EQ(button->clicks, c.clicks) << c.name;
        EXPECT_EQ(button->positionX, c.frame) << c.name;
        EXPECT_FALSE(window.capture) << c.name;
        EXPECT_EQ(behaviour.Held(), nullptr) << c.name;
        EXPECT_EQ(button.use_count(), 1) << c.name; // the held reference is gone
    }
}

TEST_F(ElementBehaviourTest, ReleaseWithoutCaptureIsNotTaken) {
    EXPECT_FALSE(behaviour.OnButtonRelease(10, 20));
}

TEST_F(ElementBehaviourTest, PressingAnotherButtonLetsTheFirstGo) {
    auto first = Button(), second = Button();
    behaviour.OnElementEvent(ElementEvent::MouseDown, first);
    behaviour.OnElementEvent(ElementEvent::MouseDown, second);
    EXPECT_EQ(behaviour.Held(), second);
    EXPECT_EQ(first.use_count(), 1);
}

TEST_F(ElementBehaviourTest, CaptureTakenElsewhereLetsGoInNormalFrame) {
    auto button = Button();
    behaviour.OnElementEvent(ElementEvent::MouseDown, button);
    window.capture = false;
    behaviour.OnCaptureChanged();
    EXPECT_EQ(button->positionX, 0);
    EXPECT_EQ(behaviour.Held(), nullptr);
}

TEST_F(ElementBehaviourTest, MouseUpOnButtonWithoutCaptureHoversAndClicks) {
    auto button = Button();
    behaviour.OnElementEvent(ElementEvent::MouseUp, button);
    EXPECT_EQ(button->positionX, -80);
    EXPECT_EQ(button->clicks, 1);
}

TEST_F(ElementBehaviourTest, BackgroundTagsDragTheDialog) {
    window.cursorX = 300;
    window.cursorY = -5;               // a monitor above the primary one
    const intptr_t point = 0xFFFB012C; // as MAKELPARAM packs it: y -5 in the high word
    struct Case {
        const wchar_t* tag;
        ElementEvent event;
        uint32_t message;
    } cases[] = {
        {L"BODY", ElementEvent::MouseDown, 0xA1},
        {L"td", ElementEvent::MouseUp, 0xA2},
        {L"Div", ElementEvent::MouseMove, 0xA0},
        {L"body", ElementEvent::MouseMove, 0xA0},
    };
    for (const auto& c : cases) {
        window.sent.clear();
        auto element = std::make_shared<FakeElement>(L"", c.tag, base::Box{});
        EXPECT_TRUE(behaviour.OnElementEvent(c.event, element)) << c.tag;
        EXPECT_EQ(window.sent, (std::vector<Sent>{{c.message, 2, point}})) << c.tag;
    }
}

TEST_F(ElementBehaviourTest, TableMatchesClassExactlyAndTagsWithoutCase) {
    struct Case {
        const wchar_t* cls;
        const wchar_t* tag;
        ElementEvent event;
        bool taken;
        size_t sent;
    } cases[] = {
        {L"Button", L"A", ElementEvent::MouseDown, false, 0},
        {L"button big", L"A", ElementEvent::MouseDown, false, 0},
        {L"", L"SPAN", ElementEvent::MouseDown, false, 0},
        {L"", L"tbody", ElementEvent::MouseDown, false, 0},
        {L"", L"DIV", ElementEvent::ContextMenu, true, 0},
        {L"", L"span", ElementEvent::ContextMenu, false, 0},
        // A "button" div is a button for the mouse keys but still drags on a move.
        {L"button", L"div", ElementEvent::MouseDown, true, 0},
        {L"button", L"div", ElementEvent::MouseMove, true, 1},
        {L"x", L"td", ElementEvent::MouseOver, false, 0},
    };
    for (const auto& c : cases) {
        window.sent.clear();
        window.capture = false;
        auto element = std::make_shared<FakeElement>(c.cls, c.tag, base::Box{0, 0, 10, 10});
        EXPECT_EQ(behaviour.OnElementEvent(c.event, element), c.taken) << c.cls << L"/" << c.tag;
        EXPECT_EQ(window.sent.size(), c.sent) << c.cls << L"/" << c.tag;
    }
}
