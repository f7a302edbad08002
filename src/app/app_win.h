// Folder app/: start-up, install, update and settings, the top layer; may include every other folder.
// The application object: reads the start mode, runs the one-shot tasks of the install,
// uninstall, update and channel modes, and hands over to the main window or the page window.
#pragma once
#include <windows.h>

#include <string>

#include "app/start_mode.h"
#include "fw/app_win.h"
#include "fw/library_init_win.h"
#include "net/stat_ping.h"
#include "net/stat_ping_win.h"

namespace app {

class App : public CWinApp {
public:
    // `request`: this process's start, as wWinMain read it before anything else ran.
    explicit App(const StartRequest& request) : m_request(request) {}

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    // Raises the ping's counter and sends the ping with the new count.
    void Ping(net::StatPing ping);
    // After a successful swap: start the new executable, record the day, end.
    void RelaunchAfterUpdate();
    // The start mode and operands of this process, worked out once from its command line and
    // location.
    const StartRequest m_request;
    // Statistics ping handshake: set by the worker once it has its address, and when it is done.
    net::PingEvents m_ping;
    fw::GdiplusSession m_gdiplus;
    fw::ComSession m_ole;
};

} // namespace app
