// The navigation host of every browser control of a page process: what its pages may navigate
// to, and the "app:" commands they send.
#pragma once
#include <windows.h>

#include <string>

#include "fw/browser_host_win.h"
#include "web/app_protocol.h"
#include "web/page_seams_win.h"

namespace web {

// One before-navigate of the control `host`. An "app:" URL is never navigated to: when it is a
// command of the table that `page` may send and the one trust check passes (the sender, the
// top-level page or a frame's, and the top-level page are the publisher's), `handler` runs it.
// A "javascript" URL goes ahead. Anything else is screened by web::ScreenPageNavigation with
// this process's publisher hosts: cancelled where refused, and a web page that would leave the
// publisher's hosts at the top handed to the player's default browser (seams.shellOpen).
void HostNavigation(const fw::CBrowserHost& host, IDispatch* frame, const std::wstring& url, bool& cancel,
                    CommandPage page, AppCommandHandler& handler, const PageSeams& seams);

// Whether the program itself may send its control to url: a publisher page over http(s).
bool MayNavigateTo(const std::wstring& url);

// A page's refused new window: a web address goes to the default browser (seams.shellOpen).
void OpenRefusedWindow(const std::wstring& url, const PageSeams& seams);

} // namespace web
