// The two long-running roles of the program, entered at the end of start-up: the page process
// (login, then the page window) and the main game window.
#pragma once
#include <functional>

#include "app/start_mode.h"
#include "fw/library_init_win.h"
#include "fw/wnd_win.h"

namespace app {

// Starts OLE into `ole` (kept by the caller until its clean-up), shows the login when the
// request asks for a new page, and creates the page's frame; null when the process ends at once.
CWnd* RunPageProcess(const StartRequest& request, fw::ComSession& ole);

// Runs the main window until it closes; `mainWnd` points at it meanwhile. `afterLoginStart` runs
// once the first page process has been started.
void RunMainWindow(CWnd*& mainWnd, std::function<void()> afterLoginStart);

} // namespace app
