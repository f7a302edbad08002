// CWnd: the C++ object behind a window. One HWND->object table per process; messages reach the
// object's WindowProc, which falls through to the window's own default procedure.
#pragma once
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // The object bound to a window, or null.
    static CWnd* FromHandle(HWND hwnd);

    // Binds an existing window to this object without seeing its messages (a handle wrapper).
    bool Attach(HWND hwnd);
    HWND Detach();

    // Routes an existing window's messages through this object (SetWindowSubclass); calls
    // PreSubclassWindow. Default processing then goes to the window's original procedure.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, HWND parent);

    // Creates a window of a class registered with RegisterWindowClass (the framework's plain
    // class when className is null); the object sees every message from the first one on.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, HMENU menuOrId);
    // Creates a window of a system or common-control class and subclasses it.
    bool CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rc,
                       HWND parent, int id, DWORD exStyle = 0);
    bool DestroyWindow();

    // Registers a window class whose windows are served by the framework. Answers false only
    // on a real failure (a class already registered by this module is fine).
    static bool RegisterWindowClass(const wchar_t* className, UINT style = CS_DBLCLKS,
                                    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                    HICON icon = nullptr, HICON iconSmall = nullptr,
                                    HCURSOR cursor = ::LoadCursorW(nullptr, IDC_ARROW));
    static constexpr const wchar_t* kDefaultClass = L"TnVexaFwWnd";

    // Every message of the window. Overrides handle what they want and end with
    // `return Base::WindowProc(msg, wParam, lParam);` (or DefWindowProc()).
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Offered every queued message for this window or its descendants before translation and
    // dispatch (see PreTranslateChain); TRUE eats the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called when SubclassWindow binds the object to an existing window.
    virtual void PreSubclassWindow() {}
    // Called once the window is gone (after WM_NCDESTROY and after the outermost of its
    // messages has returned); the object may delete itself here.
    virtual void PostNcDestroy() {}
    // A notification the parent got from this control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
    // WM_MEASUREITEM, WM_CTLCOLOR*); true with *result when handled here.
    virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Default processing of the message being handled / of any message while a message of
    // this window is being handled.
    LRESULT DefWindowProc();
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Thin conveniences.
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageW(m_hWnd, msg, w, l);
    }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetWindowText() const;
    BOOL SetWindowText(const wchar_t* text) const { return ::SetWindowTextW(m_hWnd, text); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    void ModifyStyle(DWORD remove, DWORD add) const;
    void ModifyStyleEx(DWORD remove, DWORD add) const;
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }

    // How the object is bound to its window (for the framework's own routing).
    enum class Binding { None, Attached, Created, Subclassed, Dialog };
    Binding GetBinding() const { return m_binding; }

protected:
    // Hands one message to WindowProc, keeping the nesting depth so that a window destroyed
    // inside one of its own messages is released only when the outermost message returns.
    // viaDialogProc: the message came through the dialog procedure (WM_INITDIALOG), where
    // default processing means answering the dialog manager, not calling a procedure.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool viaDialogProc = false);
    // Offers a control notification to the control's object; true when it handled it.
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool Bind(HWND hwnd, Binding binding);
    void Unbind();

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR ref);

private:
    struct Current {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool viaDialogProc;
    };
    Binding m_binding = Binding::None;
    Current m_current{};
    int m_depth = 0;
    bool m_destroyed = false;
};

// Called on a bound window's thread after its WM_NCDESTROY, before PostNcDestroy; the
// application object ends its loop there when the window was its main window. One per process.
using WindowGoneHandler = void (*)(CWnd* wnd);
void SetWindowGoneHandler(WindowGoneHandler handler);

namespace fw {

// Raises the window above every other (top-most and back again) with its thread joined to the
// foreground thread's input for the moment, which lets it take the foreground. `activate`:
// the window also becomes the foreground window; otherwise it is raised without activation.
void RaiseWindow(HWND wnd, bool activate);

// Places the window as a modal dialog that did not place itself is shown: centred over its
// owner unless that is missing, hidden or minimised (then over the work area), and never
// beyond the work area.
void CenterOverOwner(HWND wnd);

} // namespace fw
