// The main window's pages as a state machine: the adopted page windows in tab order with their
// labels, the hall page, the page processes still at their login, the selection and the tab
// strip's hover. Each operation returns what the window has to do, so the Win32 window only
// carries it out.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/page_protocol.h"
#include "mainwnd/tab_geometry.h"

namespace mainwnd {

// A page window's handle value; 0 is no window. The model only compares and hands them back.
using PageHandle = std::uintptr_t;
// A process id as the system reports it for a started program or for a window's owner; 0 is none.
using ProcessId = std::uint32_t;

constexpr int kMaxTabs = 3;

inline constexpr std::wstring_view kTabLimitText = L"当前窗体只支持3个游戏页";
inline constexpr std::wstring_view kQuitQuestionText = L"窗口即将关闭，确定要退出游戏？";
// The first login could not be started: the window has nothing to wait for and ends.
inline constexpr std::wstring_view kLoginStartFailedText = L"启动登录页面失败";

// A message box the window shows (no parent, caption "Vexa - Tarn"). QuitWindow and CloseAccount
// are Yes/No questions whose answers go back through AnswerQuit and AnswerCloseTab; TabLimit is a
// one-button notice.
enum class Prompt { None, QuitWindow, CloseAccount, TabLimit };

// The window carries these out in field order, except that with `quit` it follows the order of
// ending: terminate the logins, remove the keyboard hook, close the pages, delete the tray icon,
// post the quit message.
struct PageActions {
    bool consumed = false;     // pre-translation and non-client mouse: the message ends here
    bool beginRunning = false; // first page: maximise, add the tray icon, start the mute timer
    bool hideAllPages = false; // hide every page but `adopted`
    PageHandle adopted = 0;    // the page just adopted: it shows itself once it has loaded
    bool hideHall = false;     // hide the hall page if it is a window
    PageHandle show = 0;       // ShowPage(show): place, show and raise it, hide the others and the hall
    std::vector<PageHandle> closePages; // detach from the main window, hide, post SC_CLOSE (lParam 0)
    std::vector<ProcessId> terminate;   // page processes still at their login: end them (exit code 0)
    std::vector<base::Rect> invalidate;
    Prompt prompt = Prompt::None;
    std::wstring promptText;
    PageHandle promptPage = 0; // CloseAccount: the page the answer is about
    bool quit = false;
    bool launchPageProcess = false; // LaunchPageProcess(); report success with PageProcessStarted
    bool launchNewInstance = false; // start another copy of the program without arguments
};

// A page process the window started that has not announced its page yet, with the label its
// login registered (nothing until then).
struct Login {
    ProcessId process = 0;
    std::optional<std::wstring> label;
};

// Labels and pages are paired by their process, never by their order of arrival: the label a
// login registers belongs to the page window that the same process announces. Only processes
// the window started take part; what other processes send is refused, except a hall page shown
// by another start of this same program.
class PageModel {
public:
    // Pages and labels.
    int TabCount() const { return static_cast<int>(m_pages.size()); }
    const std::vector<PageHandle>& Pages() const { return m_pages; }
    // The label of tab i; empty when the tab has none (its page never registered one).
    std::wstring_view Label(int i) const;
    int CurTab() const { return m_curTab; }
    PageHandle SelectedPage() const;
    PageHandle Hall() const { return m_hallWnd; }
    bool HasPendingProcess() const { return !m_logins.empty(); }
    const std::vector<Login>& Logins() const { return m_logins; }
    const HoverState& Hover() const { return m_hover; }

    // A page process was started: a login until it announces its page or ends.
    void PageProcessStarted(ProcessId process);
    // A page process ended. A login of it that never announced its page goes with its label, so
    // that the label neither lands on another page nor blocks the account.
    void PageProcessEnded(ProcessId process);

    // WM_PAGECREATED: page window `page` of process `process` announced itself (isHall: it shows
    // the hall page). It becomes a tab with its own process's label. A window of a process that
    // is no login of this window is ignored, unless it is a hall page and `sameProgram` (the
    // process runs this very executable: the hall was started by a page, not by this window).
    PageActions Adopt(ProcessId process, PageHandle page, bool isHall, bool sameProgram = false);

    // WM_COPYDATA from a window of `process` (0: the sender named no window, and the label goes
    // to the one login there is, if there is exactly one): 1 when the label was kept for that
    // login's page, 0 when the process is no login of this window or already registered one, or
    // when the label is already kept for a tab or another login (exact comparison, letter case
    // matters).
    int RegisterLabel(ProcessId process, std::wstring label);

    // "entergame" from page window `page` of process `process`, asking for game `gameName`: the
    // client's name (net::GameClientName) when the window takes the request, which it then
    // settles and reports with EnterGameSettled. Refused (nothing) when the page is no tab or hall
    // page that this process announced, when the name is no client name, while another request is
    // being settled (one question or download at a time) and once the program is quitting.
    std::optional<std::wstring> TakeEnterGame(ProcessId process, PageHandle page, std::wstring_view gameName);
    void EnterGameSettled() { m_enteringGame = false; }

    // WM_ADDACCOUNT with its wParam.
    PageActions AddAccount(std::uintptr_t wParam);

    // Pre-translation of WM_SYSCOMMAND SC_CLOSE with its lParam. Unless consumed, the message goes
    // on and reaches the window as a close request (CloseRequest).
    PageActions SysClose(std::intptr_t lParam);

    // The dialog's cancel action: asks the window question.
    PageActions CloseRequest();
    PageActions AnswerQuit(bool yes);
    // Ends every page and the program.
    PageActions QuitAll();

    // Closing tab i: the account question, or the window question for the last tab.
    PageActions CloseTab(int i);
    // The answer to the account question about `page`. Looked up by handle because the question
    // does not block the window: tabs may have come and gone while it was open.
    PageActions AnswerCloseTab(PageHandle page, bool yes);

    // The window-switch key. `windowShown`: visible and not minimised.
    PageActions SwitchPage(bool windowShown, bool hallVisible);

    // Where F5 and Ctrl+D go: the selected page if visible, else the hall page if visible, else
    // nowhere (0). They are consumed whenever there is a tab.
    PageHandle KeyTarget(bool selectedVisible, bool hallVisible) const;
    // The page window to move into the content area after a size change, or 0.
    PageHandle PageToPlace(bool hallVisible) const;

    // Tab strip mouse input in client coordinates.
    HoverUpdate HitTest(base::Point p, bool leftDown, bool frameCaption);
    HoverUpdate MouseLeave(bool clientLeave) { return LeaveHover(m_hover, clientLeave); }
    void SetLeaveRequested(bool requested) { m_hover.leaveRequested = requested; }
    bool InStrip(base::Point p) const { return HitTab(p, TabCount()).has_value(); }
    PageActions LeftButtonDown(base::Point p, bool hallVisible);
    PageActions LeftButtonUp(base::Point p);
    PageActions MiddleButtonUp(base::Point p);

private:
    int IndexOf(PageHandle page) const;
    bool LabelKept(const std::wstring& label) const;

    std::vector<PageHandle> m_pages;
    std::vector<std::wstring> m_tabLabels; // parallel to m_pages
    PageHandle m_hallWnd = 0;
    std::vector<Login> m_logins; // in the order they were started
    // The process that announced each page ever adopted (tabs and the hall page).
    std::vector<std::pair<PageHandle, ProcessId>> m_announcedBy;
    bool m_enteringGame = false;
    int m_curTab = 0;
    HoverState m_hover;
    bool m_running = false;
    bool m_quitting = false;
};

// The options of a page process's command line, after the executable path:
// " /newgm /<main window handle, signed decimal> /<tab count>".
std::wstring PageProcessArguments(std::intptr_t mainWindow, int tabCount);

} // namespace mainwnd
