// What a page process's windows know of the process around them, handed to the login screen and
// the page frame by the start-up code: web/ reads no process-wide state of its own.
#pragma once
#include <windows.h>

#include <string>

#include "base/page_protocol.h"
#include "web/page_seams_win.h"

namespace web {

struct PageContext {
    // The main window that started this page process (null when there is none).
    HWND parent = nullptr;
    // How many tabs that main window had when it started this page process.
    int parentPageCount = 0;
    // The "Automation" test switch was set as the process started: the automation channel is open.
    bool automation = false;
    // The game page a successful login gave (RunLoginScreen fills it); empty: the hall page.
    std::wstring gamePageUrl;
    // How the windows reach the player and the system.
    PageSeams seams;
};

// Asks the main window for something a page may want of it (it may run with more rights than
// the page, which then can't act on it directly).
inline void AskMainWindow(HWND parent, base::PageRequest request) {
    ::PostMessageW(parent, base::WM_PAGEREQUEST, static_cast<WPARAM>(request),
                   static_cast<LPARAM>(::GetCurrentProcessId()));
}

} // namespace web
