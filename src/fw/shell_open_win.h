// Opening a web address in the player's default browser with the player's own rights, from a
// program that runs elevated.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// Asks the desktop shell (the player's own Explorer, unelevated) to open url with its "open"
// verb, shown with `show`. Only web addresses (fw::IsWebAddress) are opened, one a second at most
// (a later one within the second is dropped with a trace). False, with nothing
// started, when the address is refused or no desktop shell answers (another shell, none running,
// Wine): the program never starts a browser with its own elevated rights instead.
bool OpenAsPlayer(const std::wstring& url, int show = SW_SHOWNORMAL);

} // namespace fw
