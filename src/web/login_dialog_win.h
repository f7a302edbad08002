// The login screen of a page process: LoginBackdrop, the layered backdrop picture that runs as
// the modal dialog, and LoginDialog, the login web page laid over it with one colour see-through.
// The page's "loadgame" becomes a tab label that the main window accepts or refuses.
#pragma once
#include <windows.h>

#include <string>

#include "fw/fw_win.h"
#include "web/automation_navigator_win.h"
#include "web/skinned_html_dialog_win.h"
#include "web/login_rules.h"
#include "web/page_context_win.h"

namespace web {

// The login step of a page process's start: runs the login screen over context.parent. True after a
// successful login (context.gamePageUrl set); otherwise the main window has been told with
// WM_SYSCOMMAND SC_CLOSE marked SelfMarker, and the process should end.
bool RunLoginScreen(PageContext& context);

// True when the system is Vista or later and User Account Control is on ("EnableLUA" 1).
bool IsUacEnabled();

class LoginDialog : public SkinnedHtmlDialog {
public:
    // Colour of the page that lets the backdrop show through.
    static constexpr COLORREF kSeeThrough = RGB(254, 254, 254);

    explicit LoginDialog(std::wstring pageUrl, const PageContext& context = {});

    // The game page a registered login gave; empty until then.
    const std::wstring& GameUrl() const { return m_gameUrl; }

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void NavigateComplete2(IDispatch* frame, const std::wstring& url) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A refused pop-up's web address goes to the player's default browser.
    void NewWindowRefused(const std::wstring& url) override;

    std::span<const DHtmlEventEntry> GetElementEventTable() const override;

private:
    // The element table's events drag the login screen.
    HRESULT OnTableElementEvent(ElementEvent event, const ElementRef& element) override;
    // The login page's commands (the command table in web/app_protocol.cpp).
    // "loadgame": the label to the main window, then the end of the login.
    void OnLoadGame(const LoadGameCommand& command) override;
    void OnExitGame() override;
    void OnMinimize() override;
    // Ends the modal backdrop this page lies on.
    void EndLogin(INT_PTR result);

    const std::wstring m_pageUrl;
    const PageContext m_context;
    std::wstring m_gameUrl;
    AutomationNavigator m_automation;
};

class LoginBackdrop : public CDialog {
public:
    static constexpr int kImageWidth = 888;
    static constexpr int kImageHeight = 518;

    // Runs over context.parent, the main window of the parent process.
    explicit LoginBackdrop(const PageContext& context);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    LoginDialog& LoginPage() { return m_loginPage; }
    // The size of the decoded picture; 0 x 0 until it is shown.
    SIZE ImageSize() const { return {m_imageWidth, m_imageHeight}; }

protected:
    void OnLButtonDown(POINT client);
    void OnWindowPosChanged();

private:
    static constexpr UINT kCreatePageMessage = WM_APP + 0x58;

    // Decodes PNG 129 and puts it on the layered window at its current position.
    bool ShowPicture();
    void CreateLoginPage();

    int m_imageWidth = 0;
    int m_imageHeight = 0;
    LoginDialog m_loginPage;
};

} // namespace web
