// Window objects: binding of created and subclassed windows, default processing, notifications
// handed to controls, and release of a window destroyed inside its own message.
#include "fw/fw_win.h"

#include <gtest/gtest.h>

#include "fw_msg_seq.h"
#include "win_test_support.h"

using fwtest::Expected;
using fwtest::kOptional;
using fwtest::kSent;
using fwtest::kWparam;
using fwtest::Recorder;

namespace {

class RecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        fwtest::Record(m_hWnd, msg, wParam, lParam, name);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override { ++postNcDestroyCalls; }
    int postNcDestroyCalls = 0;
    const char* name = nullptr;
};

bool CreateTopLevel(CWnd& wnd, const wchar_t* title = L"fw") {
    return wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr);
}

TEST(FwWnd, CreatedWindowSeesItsFirstMessagesAndGetsDefaultProcessing) {
    Recorder rec({WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SETTEXT, WM_DESTROY, WM_NCDESTROY});
    RecordingWnd wnd;
    wnd.name = "wnd";
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.GetBinding(), CWnd::Binding::Created);
    // Default processing stores the text.
    wnd.SetWindowText(L"changed");
    EXPECT_EQ(wnd.GetWindowText(), L"changed");
    const HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(rec.Matches({{"wnd", WM_GETMINMAXINFO, kSent | kOptional},
                             {"wnd", WM_NCCREATE, kSent},
                             {"wnd", WM_CREATE, kSent},
                             {"wnd", WM_SETTEXT, kSent},
                             {"wnd", WM_DESTROY, kSent},
                             {"wnd", WM_NCDESTROY, kSent}}));
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.postNcDestroyCalls, 1);
}

class SubclassedButton : public CWnd {
public:
    void PreSubclassWindow() override {
        ++preSubclassCalls;
        textAtAttach = GetWindowText();
        boundAtAttach = m_hWnd != nullptr && FromHandle(m_hWnd) == this;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        fwtest::Record(m_hWnd, msg, wParam, lParam);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override { ++postNcDestroyCalls; }
    int preSubclassCalls = 0;
    int postNcDestroyCalls = 0;
    bool boundAtAttach = false;
    std::wstring textAtAttach;
};

TEST(FwWnd, SubclassedControlKeepsItsOwnBehaviour) {
    Recorder rec({BM_SETCHECK, WM_SETTEXT, WM_NCDESTROY});
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    const HWND raw = CreateWindowExW(0, L"BUTTON", L"before", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 20,
                                     parent.m_hWnd, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    rec.Name(raw, "btn");
    SubclassedButton btn;
    ASSERT_TRUE(btn.SubclassDlgItem(7, parent.m_hWnd));
    EXPECT_EQ(btn.preSubclassCalls, 1);
    EXPECT_TRUE(btn.boundAtAttach);
    EXPECT_EQ(btn.textAtAttach, L"before");
    // A second object cannot take the same window.
    SubclassedButton other;
    EXPECT_FALSE(other.SubclassWindow(raw));
    EXPECT_EQ(other.preSubclassCalls, 0);

    btn.SendMessage(BM_SETCHECK, BST_CHECKED);
    btn.SetWindowText(L"after");
    EXPECT_EQ(btn.SendMessage(BM_GETCHECK), BST_CHECKED); // the button procedure still ran
    EXPECT_EQ(btn.GetWindowText(), L"after");
    parent.DestroyWindow();
    EXPECT_TRUE(rec.Matches({{"btn", BM_SETCHECK, kSent | kWparam, BST_CHECKED},
                             {"btn", WM_SETTEXT, kSent},
                             {"btn", WM_NCDESTROY, kSent}}));
    EXPECT_EQ(btn.m_hWnd, nullptr);
    EXPECT_EQ(btn.postNcDestroyCalls, 1);
}

TEST(FwWnd, ObjectDestroyedBeforeItsControlLeavesTheControlWorking) {
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    const HWND raw =
        CreateWindowExW(0, L"EDIT", L"x", WS_CHILD, 0, 0, 80, 20, parent.m_hWnd, nullptr, nullptr, nullptr);
    {
        SubclassedButton edit;
        ASSERT_TRUE(edit.SubclassWindow(raw));
    }
    EXPECT_EQ(CWnd::FromHandle(raw), nullptr);
    EXPECT_TRUE(SetWindowTextW(raw, L"still"));
    wchar_t text[16] = {};
    GetWindowTextW(raw, text, 16);
    EXPECT_STREQ(text, L"still");
    parent.DestroyWindow();
}

// Destroys itself while handling a message nested inside another of its messages, and deletes
// itself once released; what it saw goes to an outside record.
struct SelfDestroyRecord {
    int released = 0;
    int releasedInsideInner = -1;
    int releasedInsideOuter = -1;
    bool hwndKeptInsideOuter = false;
};

class SelfDestroyingWnd : public CWnd {
public:
    static constexpr UINT kOuter = WM_APP + 1, kInner = WM_APP + 2;
    explicit SelfDestroyingWnd(SelfDestroyRecord& record) : m_record(record) {}
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kOuter) {
            const HWND before = m_hWnd;
            SendMessage(kInner);
            m_record.releasedInsideOuter = m_record.released;
            m_record.hwndKeptInsideOuter = m_hWnd == before;
            return 1;
        }
        if (msg == kInner) {
            ::DestroyWindow(m_hWnd);
            m_record.releasedInsideInner = m_record.released;
            return 2;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override {
        ++m_record.released;
        delete this;
    }

private:
    SelfDestroyRecord& m_record;
};

TEST(FwWnd, WindowDestroyedInsideNestedMessagesIsReleasedWhenOutermostReturns) {
    SelfDestroyRecord record;
    auto* wnd = new SelfDestroyingWnd(record);
    ASSERT_TRUE(CreateTopLevel(*wnd));
    const HWND hwnd = wnd->m_hWnd;
    EXPECT_EQ(SendMessageW(hwnd, SelfDestroyingWnd::kOuter, 0, 0), 1);
    EXPECT_EQ(record.releasedInsideInner, 0);
    EXPECT_EQ(record.releasedInsideOuter, 0);
    EXPECT_TRUE(record.hwndKeptInsideOuter);
    EXPECT_EQ(record.released, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST(FwWnd, WindowDestroyedFromOutsideIsReleasedAtOnce) {
    SelfDestroyRecord record;
    auto* wnd = new SelfDestroyingWnd(record);
    ASSERT_TRUE(CreateTopLevel(*wnd));
    DestroyWindow(wnd->m_hWnd);
    EXPECT_EQ(record.released, 1);
}

class RecordingButton : public CButton {
public:
    void DrawItem(DRAWITEMSTRUCT* item) override { drawnId = static_cast<int>(item->CtlID); }
    int drawnId = 0;
};

TEST(FwWnd, OwnerDrawNotificationReachesTheButtonObject) {
    RecordingWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    RecordingButton btn;
    ASSERT_TRUE(
        btn.Create(L"b", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 60, 20}, parent.m_hWnd, 12));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 12;
    item.hwndItem = btn.m_hWnd;
    EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, 12, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(btn.drawnId, 12);
    // A notification from a control without an object is left to the parent's default.
    const HWND plain = CreateWindowExW(0, L"BUTTON", L"p", WS_CHILD | BS_OWNERDRAW, 0, 30, 60, 20,
                                       parent.m_hWnd, reinterpret_cast<HMENU>(13), nullptr, nullptr);
    item.CtlID = 13;
    item.hwndItem = plain;
    btn.drawnId = 0;
    parent.SendMessage(WM_DRAWITEM, 13, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(btn.drawnId, 0);
    parent.DestroyWindow();
}

TEST(FwWnd, DestroyingTheMainWindowEndsTheLoop) {
    CWinApp app;
    RecordingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    app.m_pMainWnd = &wnd;
    wintest::PumpPending();
    wnd.DestroyWindow();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(FwWnd, AttachedWindowIsFoundButNotDestroyedWithTheObject) {
    RecordingWnd owner;
    ASSERT_TRUE(CreateTopLevel(owner));
    const HWND raw =
        CreateWindowExW(0, L"STATIC", L"s", WS_CHILD, 0, 0, 10, 10, owner.m_hWnd, nullptr, nullptr, nullptr);
    {
        CWnd wrapper;
        ASSERT_TRUE(wrapper.Attach(raw));
        EXPECT_EQ(CWnd::FromHandle(raw), &wrapper);
        EXPECT_FALSE(CWnd().Attach(raw)); // one object per window
    }
    EXPECT_TRUE(IsWindow(raw));
    EXPECT_EQ(CWnd::FromHandle(raw), nullptr);
    owner.DestroyWindow();
}

} // namespace
