// The main window's commands and hotkey reload: menu commands with their notices, the update
// command's two outcomes, hiding that cancels an open settings dialog, a settings change that
// reaches the pages, and keys typed into the pop-ups the window owns.
#include <windows.h>

#include <cstdio>
#include <string>

#include "mainwnd/hotkey_settings_dialog_win.h"
#include "mainwnd_fixture.h"
#include "resource.h"

using namespace mwtest;

namespace {

std::wstring SettingsFile() {
    return wintest::ExeFolder() + L"Statistic.ini";
}

void SetKeys(std::initializer_list<int> down) {
    BYTE keys[256] = {};
    for (int k : down)
        keys[k] = 0x80;
    ::SetKeyboardState(keys);
}

std::wstring ReadFile(const std::wstring& path) {
    std::wstring text;
    if (FILE* f = _wfopen(path.c_str(), L"r, ccs=UTF-8")) {
        wchar_t line[512];
        while (fgetws(line, 512, f))
            text += line;
        fclose(f);
    }
    return text;
}

// The main window with the settings file removed before it reads its hotkeys.
class MainWindowCommands : public MainWindowTest {
protected:
    void SetUp() override {
        ::DeleteFileW(SettingsFile().c_str());
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ::DeleteFileW(SettingsFile().c_str());
        SetKeys({});
    }
};

mainwnd::MainWindow* g_timerDlg = nullptr;

// Runs inside the settings dialog's modal loop: types into the dialog, then hides the window.
void CALLBACK HideWhileSettingsOpen(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (mainwnd::HotkeySettingsDialog* dlg = mainwnd::HotkeySettingsDialog::Open())
        ::SetWindowTextW(dlg->KeyEdit(0), L"F2");
    g_timerDlg->ToggleShow();
}

} // namespace

TEST_F(MainWindowCommands, NoticesOfTheCacheAndUpdateCommands) {
    OpenTab(L"1服-a-one");
    std::vector<bool> checks;
    m_updateCheck = [&](bool forced) {
        checks.push_back(forced);
        return 0;
    };
    m_dlg.RunCommand(mainwnd::MenuCommand::ClearCache);
    m_dlg.RunCommand(mainwnd::MenuCommand::Update);
    m_dlg.RunCommand(std::nullopt); // the version line
    ASSERT_EQ(m_dlg.asked.size(), 2u);
    EXPECT_EQ(m_dlg.asked[0].text, L"缓存清除完毕！");
    EXPECT_EQ(m_dlg.asked[1].text, L"已经是最新版本，无需进行更新。");
    EXPECT_EQ(m_dlg.asked[1].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(checks, std::vector<bool>{true});
    Pump([] { return false; }, 100);
    EXPECT_FALSE(m_quit);
}

TEST_F(MainWindowCommands, AnUpdateStartsTheUpdaterAndQuitsWithoutAsking) {
    OpenTab(L"1服-a-one");
    const std::wstring log = wintest::ExeFolder() + L"commands_update.log";
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LOG", log.c_str());
    m_updateCheck = [](bool) { return 1; };
    m_dlg.RunCommand(mainwnd::MenuCommand::Update);
    ::SetEnvironmentVariableW(L"TNVEXA_FAKE_PAGE_LOG", nullptr);
    EXPECT_TRUE(Pump([&] { return m_quit; }, 2000));
    EXPECT_TRUE(m_dlg.asked.empty());
    // The updater is another process: its line comes when it has started.
    EXPECT_TRUE(
        Pump([&] { return ReadFile(log).find(L"fake_page.exe /update|") != std::wstring::npos; }, 5000))
        << std::string(ReadFile(log).begin(), ReadFile(log).end());
    ::DeleteFileW(log.c_str());
}

TEST_F(MainWindowCommands, ExitQuitsWithoutAsking) {
    OpenTab(L"1服-a-one");
    m_dlg.RunCommand(mainwnd::MenuCommand::Exit);
    EXPECT_TRUE(Pump([&] { return m_quit; }, 2000));
    EXPECT_TRUE(m_dlg.asked.empty());
}

TEST_F(MainWindowCommands, HidingCancelsTheSettingsDialogWithoutSaving) {
    OpenTab(L"1服-a-one");
    g_timerDlg = &m_dlg;
    ::SetTimer(nullptr, 0, 50, HideWhileSettingsOpen);
    m_dlg.RunCommand(mainwnd::MenuCommand::Settings); // returns once the dialog has ended
    EXPECT_EQ(mainwnd::HotkeySettingsDialog::Open(), nullptr);
    EXPECT_FALSE(::IsWindowVisible(m_dlg.m_hWnd));
    wchar_t stored[32] = {};
    ::GetPrivateProfileStringW(L"TnVexa", L"ShortKey", L"", stored, 32, SettingsFile().c_str());
    EXPECT_STREQ(stored, L"");
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.m_hWnd)) << "the modal dialog gave its owner back";
}

TEST_F(MainWindowCommands, ChangedHotkeysReachTheWindowAndItsPages) {
    const HWND pages[] = {OpenTab(L"1服-a-one"), OpenTab(L"1服-a-two")};
    ::WritePrivateProfileStringW(L"TnVexa", L"AltWndKey", L"0,120", SettingsFile().c_str());
    PostAndPump(base::WM_HOTKEYSCHANGED, 0, 0);
    for (HWND page : pages)
        EXPECT_TRUE(Pump([&] { return PageReport(page).find(L"reload=1") != std::wstring::npos; }, 3000))
            << std::string(PageReport(page).begin(), PageReport(page).end());

    ASSERT_EQ(m_dlg.Model().CurTab(), 1);
    SetKeys({VK_CONTROL});
    PostAndPump(WM_KEYDOWN, VK_TAB, 0x000F0001);
    EXPECT_EQ(m_dlg.Model().CurTab(), 1) << "Ctrl+Tab is no longer the switch key";
    SetKeys({});
    PostAndPump(WM_KEYDOWN, VK_F9, 0x00430001);
    EXPECT_EQ(m_dlg.Model().CurTab(), 0) << "F9 is";
}

TEST_F(MainWindowCommands, TheAddAccountPromptTakesItsOwnKeys) {
    OpenTab(L"1服-a-one");
    OpenTab(L"1服-a-two");
    const HWND label = m_dlg.GetDlgItem(IDC_MAIN_OTHER_ACCOUNT);
    PostAndPump(WM_COMMAND, MAKEWPARAM(IDC_MAIN_OTHER_ACCOUNT, BN_CLICKED), reinterpret_cast<LPARAM>(label));
    const HWND prompt = ::FindWindowW(L"#32770", L"登录其他账号");
    ASSERT_TRUE(prompt && ::IsWindowVisible(prompt));
    const HWND button = ::GetDlgItem(prompt, IDCANCEL);

    // The main window's switch key is not the prompt's: the tabs stay as they are.
    SetKeys({VK_CONTROL});
    ::PostMessageW(button, WM_KEYDOWN, VK_TAB, 0x000F0001);
    Pump([] { return false; }, 100);
    SetKeys({});
    EXPECT_EQ(m_dlg.Model().CurTab(), 1);
    // Esc is the prompt's cancel button ("否"): it answers and hides, where the main window would
    // have swallowed it.
    ::PostMessageW(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(Pump([&] { return !::IsWindowVisible(prompt); }, 2000));
}

namespace {

// A window of its own that has the keyboard, as a page process's window would; it notes key-ups.
class KeySink : public CWnd {
public:
    std::vector<WPARAM> keyUps;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_KEYUP) keyUps.push_back(wParam);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

} // namespace

// A page hands the switch key on after the player has let go of Ctrl: the main window still knows
// that the key went down with Ctrl, from its keyboard hook.
TEST_F(MainWindowCommands, ASwitchKeyHandedOnAfterItsModifierWasReleasedStillSwitches) {
    OpenTab(L"1服-a-one");
    OpenTab(L"1服-a-two");
    ASSERT_EQ(m_dlg.Model().CurTab(), 1);
    KeySink sink;
    ASSERT_TRUE(sink.CreateEx(0, nullptr, L"sink", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
    ::SetForegroundWindow(sink.m_hWnd);
    ::SetFocus(sink.m_hWnd);
    INPUT keys[4] = {};
    const WORD order[4] = {VK_CONTROL, VK_TAB, VK_TAB, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    ASSERT_TRUE(Pump([&] { return sink.keyUps.size() == 2; }, 3000)) << "the keys reach the sink";
    EXPECT_EQ(m_dlg.Model().CurTab(), 1) << "keys of another window are not the main window's";

    PostAndPump(WM_KEYDOWN, VK_TAB, 0x000F0001); // as the page posts it, Ctrl up by now
    EXPECT_EQ(m_dlg.Model().CurTab(), 0);
    sink.DestroyWindow();
}
