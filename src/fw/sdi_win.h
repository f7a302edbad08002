// A frame window that creates its one view and fills its client area with it, and the HTML view
// that holds one browser control.
#pragma once
#include <windows.h>

#include <string>

#include "fw/browser_host_win.h"
#include "fw/wnd_win.h"

class CView;
class CFrameWnd;

// A child window that fills its frame; deletes itself when its window is gone.
class CView : public CWnd {
public:
    static constexpr UINT kPaneId = 0xE900;
    static constexpr const wchar_t* kClassName = L"TnVexaView";

    // The frame the view lies in (its parent window's object).
    CFrameWnd* GetParentFrame() const;
    bool Create(const RECT& rect, HWND parentFrame);

    // Called once after the frame and its view exist.
    virtual void OnInitialUpdate() {}
    // The view's own keys, offered by its frame after the frame's (see CFrameWnd::PreTranslateMessage).
    virtual bool TranslateViewAccelerator(MSG* /*msg*/) { return false; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // WM_CREATE: -1 fails the creation.
    virtual int OnCreate(CREATESTRUCTW* cs);
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

public:
    // Set once the window exists: from then on the window's end deletes the object. A creation
    // that fails leaves the object to its creator.
    bool m_bAutoDelete = false;
};

// A view whose client area is one WebBrowser control. Its browser's events reach a class as
// overrides of fw::BrowserHostClient (frame: the event's browser object, BrowserHost().IsTopLevel
// tells the top page).
class CHtmlView : public CView, public fw::BrowserHostClient {
public:
    bool Navigate2(const std::wstring& url) { return m_browser.Navigate(url); }
    bool SetSilent(bool silent) { return m_browser.SetSilent(silent); }
    // Reloads the page as the browser's own refresh does.
    bool Refresh();
    IWebBrowser2* GetBrowser() const { return m_browser.Browser(); }
    fw::CBrowserHost& BrowserHost() { return m_browser; }

    // The document host's flags; by default the browser's own.
    virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* /*info*/) { return S_OK; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The browser's accelerators.
    bool TranslateViewAccelerator(MSG* msg) override;

protected:
    // The view's window, then the browser control over its client area.
    int OnCreate(CREATESTRUCTW* cs) override;

private:
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;

    fw::CBrowserHost m_browser;
};

// A top-level frame that fills its client area with its view. Deletes itself when its window is
// gone.
class CFrameWnd : public CWnd {
public:
    static constexpr const wchar_t* kClassName = L"TnVexaFrame";

    // Creates the frame with the icon and title of resource resourceId, then its view from
    // newView (none when null).
    bool LoadFrame(UINT resourceId, DWORD style, HWND parent, CView* (*newView)());
    // The view's initial update.
    void InitialUpdateFrame();

    // Adjusts the creation parameters (style, size, menu) before the window is made.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // The message loop offers each message once to each window up its chain: a message for the
    // view or a window inside it reaches the view's accelerators here, after the frame's own keys
    // (a derived frame's rules, which end by calling this).
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // WM_CREATE: creates the view LoadFrame was given; -1 fails the creation.
    virtual int OnCreate(CREATESTRUCTW* cs);
    virtual void OnTimer(UINT_PTR /*id*/) {}
    virtual int OnMouseActivate(HWND /*topLevel*/, UINT /*hitTest*/, UINT /*message*/) {
        return static_cast<int>(DefWindowProc());
    }
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

public:
    // As CView's: set once the frame exists.
    bool m_bAutoDelete = false;

private:
    void RecalcLayout();

    CView* m_pView = nullptr;
    CView* (*m_newView)() = nullptr;
};
