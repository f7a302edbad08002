// Folder web/: the page process's windows, given a PageContext; may include net/, ui/, fw/ and base/.
// The page window of a page process: one web page (a game page or the hall page) in a frame
// that strips its own frame, is made a child of the main window by it, places itself in its
// content area, follows its hotkeys and mute state, asks it to switch tabs and ends when it is gone.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "fw/sdi_win.h"
#include "base/hotkey.h"
#include "base/page_protocol.h"
#include "web/app_protocol.h"
#include "web/automation_navigator_win.h"
#include "web/page_context_win.h"

namespace web {

class PageView : public CHtmlView, private AppCommandHandler {
public:
    // The one page view of the process, null until it has started.
    static PageView* Current();

    void OnInitialUpdate() override;
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* info) override;
    void NavigateComplete2(IDispatch* frame, const std::wstring& url) override;
    // Every navigation through the page process's navigation host (web::HostNavigation), with
    // the game page's commands.
    void BeforeNavigate2(IDispatch* frame, const std::wstring& url, bool& cancel) override;
    void TitleChange(const std::wstring& title) override;
    // A refused pop-up's web address goes to the player's default browser.
    void NewWindowRefused(const std::wstring& url) override;
    // F5: the page reloaded, while it is a publisher page.
    void RefreshPage();
    // The address of the last completed navigation and the last document title.
    const std::wstring& PageUrl() const { return m_pageUrl; }
    const std::wstring& PageTitle() const { return m_pageTitle; }

protected:
    int OnCreate(CREATESTRUCTW* cs) override;
    void PostNcDestroy() override;

private:
    // "entergame": the main window is asked for the client (PageFrame::RequestEnterGame).
    void OnEnterGame(const EnterGameArgs& args) override;

    std::wstring m_pageUrl;
    std::wstring m_pageTitle;
};

class PageFrame : public CFrameWnd {
public:
    static constexpr UINT_PTR kParentWatchTimer = 2;
    static constexpr UINT kParentWatchMs = 800;
    static constexpr UINT_PTR kCloseCleanupTimer = 5;
    static constexpr UINT kCloseCleanupMs = 130;
    // Asks the main window to raise itself, a moment after a click into the page.
    static constexpr UINT_PTR kRaiseParentTimer = 6;
    static constexpr UINT kRaiseParentMs = 10;

    explicit PageFrame(const PageContext& context);

    // The main window the frame joins, the page it shows and whether the automation channel is open.
    const PageContext& Context() const { return m_context; }

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // "entergame": asks the main window for the client (only its name goes there; the main
    // window starts it or offers its download, one request at a time). When the main window has
    // taken the request, the hall address is kept for its answer: the player's browser opens it
    // if the player declines the download.
    void RequestEnterGame(const std::wstring& clientName, const std::wstring& hallUrl);

    // After a completed navigation: moves the frame into the main window's content area and
    // shows it, unless the main window has hidden it since it was first shown (a tab in the
    // background stays behind the selected one).
    void PlaceAfterNavigation();

protected:
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnTimer(UINT_PTR id) override;
    int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) override;
    LRESULT OnPageMute(WPARAM muted);
    LRESULT OnReloadHotkeys();
    // The main window has settled this page's "entergame" (declined 1: the player said no).
    LRESULT OnEnterGameDone(WPARAM declined);
    // The automation channel's questions (see web::AutomationQuestion).
    LRESULT OnAutomationQuery(WPARAM question, LPARAM argument) const;

private:
    // The hotkeys as the settings file last gave them (read at creation and on a reload).
    base::HotkeySpec m_bossKey;
    base::HotkeySpec m_switchKey;
    base::HotkeySpec m_soundKey;
    bool m_shownOnce = false;
    // A navigation completed before the main window adopted the frame.
    bool m_placeWhenAdopted = false;
    bool m_muteApplied = false;
    bool m_lastMuted = false;
    // Key-downs seen per virtual key, counted only for the automation channel.
    unsigned char m_keyDowns[256] = {};
    AutomationNavigator m_automation;
    // The hall address of the "entergame" the main window took and has not settled yet.
    std::optional<std::wstring> m_enterGameHall;
    const PageContext m_context;
};

// The page window as the start-up code makes it: the window classes registered, frame and view
// created, titled "Vexa - Tarn", hidden and updated. The frame (for
// the application to make its main window) or null on failure. context: the main window it
// joins and whether the automation channel is open. gameHall: the process shows the hall page
// ("/gmhall"); otherwise the frame shows context.gamePageUrl (the hall page when it is empty).
CWnd* CreateGamePageFrame(const PageContext& context, bool gameHall);

} // namespace web
