// CDialog: a dialog from a template (resource or in memory), modal with its own loop or
// modeless; and CButton, the button base whose owner-drawn face is drawn by the object.
#pragma once
#include <windows.h>

#include <atomic>

#include "fw/wnd_win.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    // An in-memory template; it must stay valid until Create or DoModal has returned.
    explicit CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);

    // Runs the dialog modally in its own message loop (PreTranslateMessage works inside) and
    // answers the EndDialog result; -1 when the dialog could not be created or the loop was
    // left without EndDialog (WM_QUIT, which is posted again for the outer loop, or a GetMessage
    // failure, or the window was destroyed by someone else).
    INT_PTR DoModal();
    // Creates the dialog modeless (parent null: the one given to the constructor).
    bool Create(HWND parent = nullptr);
    // Ends the dialog with a result; callable from any thread of the process. A modeless dialog
    // is destroyed.
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }

    // Binds a control of the template to an object (subclassing it); true when bound to it.
    bool DDX_Control(int id, CWnd& control);

    // Default: DoDataExchange(), then TRUE (focus the first control).
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK();     // default EndDialog(IDOK)
    virtual void OnCancel(); // default EndDialog(IDCANCEL); also reached by WM_CLOSE and Esc

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    UINT m_nIDTemplate = 0;
    const DLGTEMPLATE* m_lpTemplate = nullptr;
    HWND m_hWndParent = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static UINT EndMessage();
    bool CreateFromTemplate();

    bool m_modal = false;
    std::atomic<bool> m_endRequested{false};
    std::atomic<INT_PTR> m_result{-1};
    // The handle as seen from other threads (EndDialog), cleared when the window goes.
    std::atomic<HWND> m_hWndShared{nullptr};
};

// A push button whose owner-drawn face is drawn by DrawItem (the parent's WM_DRAWITEM is
// handed to the button's object).
class CButton : public CWnd {
public:
    bool Create(const wchar_t* text, DWORD style, const RECT& rc, HWND parent, int id) {
        return CreateControl(L"BUTTON", text, style, rc, parent, id);
    }
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
