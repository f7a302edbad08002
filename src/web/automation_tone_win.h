// The test automation's sound request to a page window: the page process plays a short tone
// through the wave output as a game's plug-in plays its sound, so that a test can hear from
// outside what the process's mute lets through. Accepted only with the "Automation" test switch.
#pragma once
#include <windows.h>

namespace web {

// WM_COPYDATA: true when it was a tone request and the channel is `enabled`; then *result is TRUE
// when the tone was played to its end (the call returns after that, within about a second).
bool OnAutomationTone(bool enabled, LPARAM lParam, LRESULT* result);

} // namespace web
