// The hotkey settings dialog with keys typed through the system's input (SendInput), saving into
// the settings file beside the executable, and the change notice that reaches the main windows of
// every running instance and no other window.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/hotkey_win.h"
#include "fw/fw_win.h"
#include "mainwnd/hotkey_hook_win.h"
#include "mainwnd/main_messages.h"
#include "mainwnd/hotkey_settings_dialog_win.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

std::wstring SettingsFile() {
    return wintest::ExeFolder() + L"Statistic.ini";
}

std::wstring Stored(const wchar_t* name) {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(L"TnVexa", name, L"(missing)", value, 64, SettingsFile().c_str());
    return value;
}

// Pumps through the framework's routing, so that the dialog's key capture runs.
bool Pump(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ProcessMessage(msg);
        if (done()) return true;
        if (::GetTickCount() - start >= ms) return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void SendKeys(std::initializer_list<WORD> down) {
    std::vector<INPUT> inputs;
    for (WORD key : down) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = down.end(); it != down.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class TestSettingDlg : public mainwnd::HotkeySettingsDialog {
public:
    TestSettingDlg()
        : mainwnd::HotkeySettingsDialog(nullptr, [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
              told.push_back(text);
              return IDOK;
          }) {}
    std::vector<std::wstring> told;
};

class SettingsDialog : public testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileW(SettingsFile().c_str());
        // The dialog shows what the file holds; the sound key is missing and takes its default.
        ::WritePrivateProfileStringW(L"TnVexa", L"ShortKey", L"4,120", SettingsFile().c_str());
        ::WritePrivateProfileStringW(L"TnVexa", L"AltWndKey", L"2,9", SettingsFile().c_str());
        ASSERT_TRUE(m_dlg.Create(nullptr));
        m_dlg.ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_dlg.m_hWnd);
        Pump([] { return false; }, 50);
    }
    void TearDown() override {
        if (m_dlg.IsWindow()) m_dlg.DestroyWindow();
        ::DeleteFileW(SettingsFile().c_str());
    }

    std::wstring Text(int edit) const {
        wchar_t text[128] = {};
        ::GetWindowTextW(m_dlg.KeyEdit(edit), text, 128);
        return text;
    }

    // Focuses an edit, types the keys (modifiers first) and waits for the edit to show `expected`.
    void Type(int edit, std::initializer_list<WORD> keys, const std::wstring& expected) {
        ::SetFocus(m_dlg.KeyEdit(edit));
        SendKeys(keys);
        EXPECT_TRUE(Pump([&] { return Text(edit) == expected; }, 3000))
            << "edit " << edit << " shows " << std::string(Text(edit).begin(), Text(edit).end());
    }

    void PressOk() {
        ::PostMessageW(m_dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(IDOK)));
        Pump([] { return false; }, 100);
    }

    TestSettingDlg m_dlg;
};

TEST_F(SettingsDialog, CapturesTypedKeysAndSavesThem) {
    EXPECT_EQ(Text(0), L"Shift  +  F9");
    EXPECT_EQ(Text(1), L"Ctrl  +  Tab");
    EXPECT_EQ(Text(2), L"Ctrl  +  Q");
    ASSERT_EQ(::GetFocus(), m_dlg.KeyEdit(0)) << "the boss key's edit has the focus at first";

    Type(0, {VK_CONTROL, VK_MENU, 'X'}, L"Ctrl  +  Alt  +  X");
    Type(1, {VK_SHIFT, VK_TAB}, L"Shift  +  Tab");
    Type(2, {VK_F12}, L"无");
    // Esc and Enter neither type nor close; Back clears.
    Type(1, {VK_ESCAPE}, L"Shift  +  Tab");
    Type(1, {VK_RETURN}, L"Shift  +  Tab");
    ASSERT_TRUE(m_dlg.IsWindow());
    Type(1, {VK_CONTROL, 'B'}, L"Ctrl  +  B");

    PressOk();
    EXPECT_TRUE(m_dlg.told.empty());
    EXPECT_FALSE(m_dlg.IsWindow()) << "OK closes the dialog";
    EXPECT_EQ(Stored(L"ShortKey"), L"3,88");
    EXPECT_EQ(Stored(L"AltWndKey"), L"2,66");
    EXPECT_EQ(Stored(L"SndKey"), L"0,0"); // cleared: 0,0 disables the sound key
}

TEST_F(SettingsDialog, ConflictsAndModifiersAloneSaveNothingOfTheirs) {
    Type(0, {VK_DELETE}, L"无");
    Type(2, {VK_BACK}, L"无");
    PressOk();
    ASSERT_EQ(m_dlg.told, std::vector<std::wstring>{L"热键冲突，请重新设置不同热键值"});
    EXPECT_TRUE(m_dlg.IsWindow()) << "a conflict keeps the dialog open";
    EXPECT_EQ(Stored(L"ShortKey"), L"4,120");
    EXPECT_EQ(Stored(L"SndKey"), L"(missing)");

    // Modifiers without a key end in a blank: that hotkey keeps its stored value.
    Type(0, {VK_CONTROL, VK_SHIFT}, L"Ctrl  +  Shift  +  ");
    PressOk();
    EXPECT_FALSE(m_dlg.IsWindow());
    EXPECT_EQ(Stored(L"ShortKey"), L"4,120");
    EXPECT_EQ(Stored(L"SndKey"), L"0,0");
}

// Records the messages the change notice posts.
class NoticeWindow : public CDialog {
public:
    explicit NoticeWindow(const wchar_t* title) : CDialog(IDD_SETTING) { m_title = title; }
    int notices = 0;
    BOOL OnInitDialog() override {
        SetWindowText(m_title.c_str());
        return TRUE;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == base::WM_HOTKEYSCHANGED) ++notices;
        return CDialog::WindowProc(msg, wParam, lParam);
    }

private:
    std::wstring m_title;
};

class PlainWindow : public CWnd {
public:
    int notices = 0;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == base::WM_HOTKEYSCHANGED) ++notices;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

TEST(HotkeyNotice, ReachesTheTopmostTenDialogsTitledLikeTheMainWindow) {
    std::vector<std::unique_ptr<NoticeWindow>> mains;
    for (int i = 0; i < 11; ++i) {
        mains.push_back(std::make_unique<NoticeWindow>(L"Vexa - Tarn"));
        ASSERT_TRUE(mains.back()->Create(nullptr));
    }
    NoticeWindow other(L"Vexa - Tarn 2"), lower(L"vexa - tarn");
    ASSERT_TRUE(other.Create(nullptr));
    ASSERT_TRUE(lower.Create(nullptr));
    PlainWindow plain; // the page windows carry the title too, but are no dialogs
    ASSERT_TRUE(plain.CreateEx(0, nullptr, L"Vexa - Tarn", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    // The first one created goes to the bottom: the other ten are above it.
    ::SetWindowPos(mains[0]->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    EXPECT_EQ(mainwnd::NotifyHotkeysChanged(), 10);
    Pump([] { return false; }, 100);
    EXPECT_EQ(mains[0]->notices, 0) << "the eleventh in z-order is not told";
    for (size_t i = 1; i < mains.size(); ++i)
        EXPECT_EQ(mains[i]->notices, 1) << i;
    EXPECT_EQ(other.notices, 0);
    EXPECT_EQ(lower.notices, 0);
    EXPECT_EQ(plain.notices, 0);
}

} // namespace
