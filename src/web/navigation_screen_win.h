// The navigation rules applied to a browser control of a page process: what its pages may
// navigate to, and whether an "app:" command navigation counts.
#pragma once
#include <windows.h>

#include <string>

#include "fw/browser_host_win.h"

namespace web {

// Screens a navigation that is not a command (web::ScreenPageNavigation with this process's
// publisher hosts): sets cancel where it is refused, and hands a web page that would leave the
// publisher's hosts at the top to the player's default browser (Seams().shellOpen).
void ScreenPageNavigation(const fw::CBrowserHost& host, IDispatch* frame, const std::wstring& url,
                          bool& cancel);

// Whether an "app:" command navigation of the control counts (web::CommandCounts): from a
// publisher page, the top-level one or a frame's, while the top-level document shows one too.
bool CommandCounts(const fw::CBrowserHost& host, IDispatch* frame);

// Whether the program itself may send its control to url: a publisher page over http(s).
bool MayNavigateTo(const std::wstring& url);

// A page's refused new window: a web address goes to the default browser (Seams().shellOpen).
void OpenRefusedWindow(const std::wstring& url);

} // namespace web
