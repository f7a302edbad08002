#include "fw/message_loop_win.h"

#include "fw/wnd_win.h"

namespace {

// Parent of a child window, owner of a top-level one; null at the top.
HWND ParentOrOwner(HWND hwnd) {
    if (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) {
        const HWND parent = ::GetAncestor(hwnd, GA_PARENT);
        return parent == ::GetDesktopWindow() ? nullptr : parent;
    }
    return ::GetWindow(hwnd, GW_OWNER);
}

} // namespace

bool IsDialogClass(HWND hwnd) {
    return hwnd && ::GetClassLongPtrW(hwnd, GCW_ATOM) == 32770;
}

bool PreTranslateChain(MSG& msg) {
    // The bound keeps a broken owner cycle from hanging the loop.
    int steps = 0;
    for (HWND hwnd = msg.hwnd; hwnd && steps < 64; ++steps) {
        if (CWnd* wnd = CWnd::FromHandle(hwnd); wnd && wnd->PreTranslateMessage(&msg)) return true;
        // The handler may have destroyed the window; GetAncestor then answers null.
        hwnd = ::IsWindow(hwnd) ? ParentOrOwner(hwnd) : nullptr;
    }
    return false;
}

bool DialogNavigation(MSG& msg) {
    if (!msg.hwnd) return false;
    // Outermost dialog among the window and its parents on this thread; a page re-parented
    // into another process's window stops at its own top.
    const DWORD thread = ::GetCurrentThreadId();
    HWND dialog = nullptr;
    int steps = 0;
    for (HWND hwnd = msg.hwnd; hwnd && steps < 64; ++steps) {
        if (::GetWindowThreadProcessId(hwnd, nullptr) != thread) break;
        if (IsDialogClass(hwnd)) dialog = hwnd;
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetAncestor(hwnd, GA_PARENT);
    }
    return dialog && ::IsDialogMessageW(dialog, &msg);
}

void ProcessMessage(MSG& msg) {
    if (PreTranslateChain(msg) || DialogNavigation(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}
