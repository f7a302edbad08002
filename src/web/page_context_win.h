// What a page process's windows know of the process around them, handed to the login screen and
// the page frame by the start-up code: web/ reads no process-wide state of its own.
#pragma once
#include <windows.h>

#include <string>

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
};

} // namespace web
