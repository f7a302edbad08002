// Dialogs: the modal loop (ending from another thread, WM_QUIT, the owner's enabling order),
// command routing to OnOK/OnCancel, PreTranslateMessage and navigation inside dialogs, control
// binding and modeless dialogs.
#include "fw/fw_win.h"

#include <gtest/gtest.h>

#include <thread>

#include "fw_msg_seq.h"
#include "win_test_support.h"

using fwtest::Expected;
using fwtest::kPosted;
using fwtest::kSent;
using fwtest::kWparam;
using fwtest::Recorder;

namespace {

constexpr int kEditId = 100;
constexpr UINT_PTR kWatchdog = 77;
constexpr INT_PTR kTimedOut = -77;

fwtest::DialogTemplate SmallTemplate() {
    fwtest::DialogTemplate t(L"fw dialog");
    t.Add(0x0080, IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 70, 50, 14)
        .Add(0x0081, kEditId, L"", WS_BORDER | WS_TABSTOP, 10, 10, 100, 14);
    return t;
}

// A dialog whose set-up runs a test-supplied action; a watchdog timer ends it if the test's
// way of ending never comes, so a fault fails the test instead of hanging it.
class TestDlg : public CDialog {
public:
    using CDialog::CDialog;
    std::function<void(TestDlg&)> onInit;
    std::function<BOOL(MSG*)> onPreTranslate;
    int okCalls = 0, cancelCalls = 0;
    const char* name = "dlg";

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ::SetTimer(m_hWnd, kWatchdog, 5000, nullptr);
        if (onInit) onInit(*this);
        return TRUE;
    }
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* msg) override { return onPreTranslate ? onPreTranslate(msg) : FALSE; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        fwtest::Record(m_hWnd, msg, wParam, lParam, name);
        if (msg == WM_TIMER && wParam == kWatchdog) EndDialog(kTimedOut);
        return CDialog::WindowProc(msg, wParam, lParam);
    }
};

class OwnerWnd : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        fwtest::Record(m_hWnd, msg, wParam, lParam, "owner");
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

TEST(FwDialog, EndDialogFromAnotherThreadEndsTheModalLoopWithItsResult) {
    const auto tmpl = SmallTemplate();
    TestDlg dlg(tmpl.Get());
    std::thread worker;
    dlg.onInit = [&](TestDlg& d) {
        worker = std::thread([&d, hwnd = d.m_hWnd] {
            // Answered inside the modal loop: the end below must wake a loop waiting for messages.
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
            d.EndDialog(42);
        });
    };
    EXPECT_EQ(dlg.DoModal(), 42);
    worker.join();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(FwDialog, QuitInsideTheModalLoopEndsTheDialogAndIsPostedAgain) {
    const auto tmpl = SmallTemplate();
    TestDlg dlg(tmpl.Get());
    dlg.onInit = [](TestDlg&) { PostQuitMessage(5); };
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(FwDialog, OwnerIsDisabledWhileModalAndEnabledBeforeTheDialogGoes) {
    Recorder rec({WM_ENABLE, WM_INITDIALOG, WM_CLOSE, WM_DESTROY});
    OwnerWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr));
    const auto tmpl = SmallTemplate();
    TestDlg dlg(tmpl.Get(), owner.m_hWnd);
    bool ownerEnabledInside = true;
    dlg.onInit = [&](TestDlg& d) {
        ownerEnabledInside = IsWindowEnabled(owner.m_hWnd);
        d.PostMessage(WM_CLOSE);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(dlg.cancelCalls, 1);
    EXPECT_TRUE(rec.Matches({{"owner", WM_ENABLE, kSent | kWparam, FALSE},
                             {"dlg", WM_INITDIALOG, kSent},
                             {"dlg", WM_CLOSE, kPosted},
                             {"owner", WM_ENABLE, kSent | kWparam, TRUE},
                             {"dlg", WM_DESTROY, kSent}}));
    owner.DestroyWindow();
}

TEST(FwDialog, CommandsAndCloseRouteToOkAndCancel) {
    struct Case {
        UINT msg;
        WPARAM wParam;
        INT_PTR result;
        int ok, cancel;
    };
    const Case cases[] = {
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK, 1, 0},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL, 0, 1},
        {WM_CLOSE, 0, IDCANCEL, 0, 1},
        // Not a click: an edit notification that happens to carry id 1 ends nothing.
        {WM_COMMAND, MAKEWPARAM(IDOK, EN_CHANGE), 33, 0, 0},
    };
    for (const Case& c : cases) {
        const auto tmpl = SmallTemplate();
        TestDlg dlg(tmpl.Get());
        dlg.onInit = [&c](TestDlg& d) {
            d.PostMessage(c.msg, c.wParam);
            d.PostMessage(WM_APP); // ends the dialog with 33 if the first message did not
        };
        dlg.onPreTranslate = [&dlg](MSG* msg) {
            if (msg->message == WM_APP) dlg.EndDialog(33);
            return FALSE;
        };
        EXPECT_EQ(dlg.DoModal(), c.result) << "msg " << c.msg << " wParam " << c.wParam;
        EXPECT_EQ(dlg.okCalls, c.ok);
        EXPECT_EQ(dlg.cancelCalls, c.cancel);
    }
}

TEST(FwDialog, PreTranslateMessageSeesChildMessagesInsideTheModalLoop) {
    const auto tmpl = SmallTemplate();
    TestDlg dlg(tmpl.Get());
    HWND edit = nullptr;
    dlg.onInit = [&](TestDlg& d) {
        edit = d.GetDlgItem(kEditId);
        PostMessageW(edit, WM_APP + 9, 9, 0);
    };
    dlg.onPreTranslate = [&](MSG* msg) {
        if (msg->message == WM_APP + 9 && msg->hwnd == edit) {
            dlg.EndDialog(static_cast<INT_PTR>(msg->wParam));
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), 9);
}

class BoundButton : public CButton {
public:
    void PreSubclassWindow() override { ++attached; }
    int attached = 0;
};

class BindingDlg : public TestDlg {
public:
    using TestDlg::TestDlg;
    void DoDataExchange() override { bound = DDX_Control(IDOK, m_okButton); }
    BoundButton m_okButton;
    bool bound = false;
};

TEST(FwDialog, TemplateControlsAreBoundDuringInitialisation) {
    const auto tmpl = SmallTemplate();
    BindingDlg dlg(tmpl.Get());
    HWND okInside = nullptr;
    dlg.onInit = [&](TestDlg& d) {
        okInside = d.GetDlgItem(IDOK);
        d.EndDialog(1);
    };
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_TRUE(dlg.bound);
    EXPECT_EQ(dlg.m_okButton.attached, 1);
    EXPECT_NE(okInside, nullptr);
    EXPECT_EQ(dlg.m_okButton.m_hWnd, nullptr); // released with the dialog
}

TEST(FwDialog, ModelessDialogNavigatesAndClosesOnEscape) {
    const auto tmpl = SmallTemplate();
    TestDlg dlg(tmpl.Get());
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(dlg.IsModal());
    const HWND edit = dlg.GetDlgItem(kEditId);
    // Esc typed into the edit: the dialog manager turns it into IDCANCEL.
    MSG msg{edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    ProcessMessage(msg);
    EXPECT_EQ(dlg.cancelCalls, 1);
    EXPECT_TRUE(wintest::PumpUntil([&] { return dlg.m_hWnd == nullptr; }, 2000));
}

TEST(FwDialog, DialogFromAMissingTemplateFailsAndLeavesTheOwnerEnabled) {
    OwnerWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    CDialog dlg(59999u, owner.m_hWnd);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
}

} // namespace
