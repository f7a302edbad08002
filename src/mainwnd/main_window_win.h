// Folder mainwnd/: the main game window and its tab rules; may include net/, ui/, fw/ and base/.
// MainWindow: the main game window. A skinned container of up to three page windows that
// live in page processes of their own, drawn as tabs in its caption band; it starts the page
// processes, adopts their windows, and shows, hides, mutes and ends them. Its tab strip, tray
// icon and keyboard hook are parts of their own that it owns.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/executable_path_win.h"
#include "fw/fw_win.h"
#include "mainwnd/game_client_win.h"
#include "mainwnd/keyboard_hook_win.h"
#include "mainwnd/page_model.h"
#include "mainwnd/page_process_win.h"
#include "mainwnd/system_menu_win.h"
#include "mainwnd/tab_strip_win.h"
#include "mainwnd/tray_icon_win.h"
#include "ui/add_account_prompt_win.h"
#include "ui/skin_button_win.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skinned_message_box_win.h"
#include "ui/skin_label_win.h"

namespace mainwnd {
// What the program decides about the main window before it is made, and how the window reaches
// the player and starts programs: each member is the real thing unless the program or a test
// replaces it.
struct MainWindowOptions {
    // The executable started for pages and for a new window. Tests put a stand-in page program
    // here.
    std::wstring programPath = base::ExecutablePath();
    // The update check of the update command (forced: the start-up day rules are skipped):
    // non-zero when an update is needed. Unset, no update is ever needed.
    std::function<int(bool forced)> checkForUpdate;
    // Runs once the first page process has been started (or could not be): the start's own
    // work that the login page need not wait for. Unset, nothing.
    std::function<void()> afterLoginStart;
    // The notices and questions to the player.
    ui::MessageBoxFunction messageBox = ui::ShowMessageBox;
    // Starts another game's installed client, held open since its check.
    ClientStart startClient = StartHeldClient;
    // Test automation: an open menu carries its item texts as the text of its window.
    bool automation = false;
    // Test automation: the restricted start of a page process fails, as it would if the system
    // refused it, so that the fallback can be seen.
    bool failRestrictedStart = false;
};
class MainWindow : public ui::SkinnedDialog {
public:
    static constexpr UINT IDD = 102;

    explicit MainWindow(MainWindowOptions options);
    ~MainWindow() override;

    // Starts a page process: this program with " /newgm /<this window> /<tab count>", at the
    // player's normal rights (a restricted copy of this process's token); when that start fails,
    // with this process's rights as before. False, with nothing changed, when it cannot be started.
    bool LaunchPageProcess();
    // Shows page window `page` in the content area and hides the other pages (null: hides all).
    void ShowPage(HWND page);
    // The window-switch key: selects the next tab.
    void SwitchPage();
    // Closes tab i after asking the player.
    void CloseTab(int i);
    // Hides the window to the tray, or restores it.
    void ToggleShow();
    // Raises the window above every other and gives it the foreground.
    void BringToFront();
    // Ends every page and the program.
    void QuitAll();

    // The system menu under the "系统" button, the tray menu at the cursor, and one menu
    // command (nothing: the menu was dismissed).
    void OpenSystemMenu();
    void OpenTrayMenu();
    void RunCommand(std::optional<MenuCommand> command);

    const PageModel& Model() const { return m_model; }
    HWND SelectedPageWnd() const { return ToHwnd(m_model.SelectedPage()); }
    HWND HallWnd() const { return ToHwnd(m_model.Hall()); }
    bool HasTrayIcon() const { return m_tray.IsShown(); }
    // Muted: every page is told so by the 400 ms broadcast; the sound button follows.
    bool Muted() const { return m_muted; }

protected:
    void DoDataExchange() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    // Enter does nothing.
    void OnOK() override {}
    // The close request: asks whether to quit the game.
    void OnCancel() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Takes a started page process as one of this window's logins and holds it until it ends.
    // (Tests hand their own process here to play a page process.)
    void WatchPageProcess(base::Handle process);

private:
    static HWND ToHwnd(PageHandle h) { return reinterpret_cast<HWND>(h); }
    static PageHandle ToPage(HWND h) { return reinterpret_cast<PageHandle>(h); }
    bool HallVisible() const { return ::IsWindow(HallWnd()) && ::IsWindowVisible(HallWnd()); }
    // Shows a notice or question to the player (no parent, caption "Vexa - Tarn") and answers
    // the box's result.
    int AskPlayer(const wchar_t* text, UINT type);

    // Carries out what the page model decided, in its order, asking the player where it asks;
    // true when the actions consume the message they answer (it goes no further).
    bool Apply(PageActions actions);
    void ApplyQuit(PageActions& actions);
    void ClosePageWindow(HWND page);
    void BeginRunning();
    bool StartProgram(const std::wstring& options, bool keepProcess);
    // Lets the messages of page processes, which may run at a lower integrity level, through to
    // this window; the system refuses them otherwise.
    void AllowPageMessages();
    // Makes this window the parent of an announced page window.
    void BecomeParentOf(HWND page);
    void PlaceInContent(HWND page);
    void ShowAddAccountPrompt();
    // Takes away what the running window holds outside itself: tray icon, timer, hook, tooltip.
    void TearDown();

    LRESULT OnPageCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    LRESULT OnEnterGameRequest(HWND sender, DWORD process, const COPYDATASTRUCT& data);
    // The request taken last: the installed client started, or the download offered.
    void SettleEnterGame();
    // WM_PAGEREQUEST: what a page asks of this window, taken from its own page processes only.
    void OnPageRequest(WPARAM request, LPARAM process);
    // The ends the watch reports; the window enabled again when nothing holds it any more.
    void OnPageProcessEnded();
    void ReleaseIfNotHeld();
    void OnTrayNotify(LPARAM lParam);
    void OnGlobalHotkey(WPARAM which);
    void OnHotkeysChanged();
    void OnMuteTimer();
    void OnSize(UINT type, int cx, int cy);
    bool OnWindowPosChanging(WINDOWPOS* pos);
    void OnPaint();
    void OnCommand(WPARAM wParam);
    void OpenSettings();
    // A menu of this window waits for the player (WM_ENTERIDLE): `menuWindow` shows it.
    void OnMenuIdle(HWND menuWindow);

    // The skin and the tab strip, drawn in the erase step.
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnNcHitTest(POINT screen);

    const MainWindowOptions m_options;
    ui::SkinButton m_hideButton;       // IDC_MAIN_HIDE
    ui::SkinButton m_soundButton;      // IDC_MAIN_SOUND
    ui::SkinButton m_systemButton;     // IDC_MAIN_SYSTEM
    ui::SkinLabel m_otherAccountLabel; // IDC_MAIN_OTHER_ACCOUNT

    PageModel m_model;
    PageProcessWatch m_pageProcesses;
    TabStrip m_tabs{m_model};
    TrayIcon m_tray;
    KeyboardHook m_keyboardHook;
    bool m_muted = false;
    int m_osMajorVersion = 0;
    // The mute state last shown on the sound button: muted, so that the first tick paints it.
    bool m_shownMuted = true;
    // The client width seen by the last size change.
    int m_lastWidth = 0;
    std::unique_ptr<ui::AddAccountPrompt> m_addAccountPrompt;
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;

    base::Bitmap m_soundOnImage, m_soundOffImage;
    // The page whose "entergame" is being settled, and the client it asked for.
    HWND m_enterGamePage = nullptr;
    std::wstring m_enterGameClient;
    // The item texts of the menu being shown, for the test automation.
    std::wstring m_menuText;
};

} // namespace mainwnd
