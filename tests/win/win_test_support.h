// Small helpers shared by the Win32 tests: bounded message pumping and screen reads.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace wintest {

// Dispatches every message already queued for this thread.
void PumpPending();

// Pumps messages until done() is true or the time runs out; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Pumps messages until the screen shows `expected` at the screen point `at` or the time runs
// out; answers the colour seen last. A paint reaches the screen some time after it returns (the
// display server draws it), so a screen read right after drawing may still see the old picture.
COLORREF WaitForScreenPixel(POINT at, COLORREF expected, DWORD timeoutMs = 5000);

// How many pixels the screen shows inside `rect` (screen coordinates) whose red, green and blue
// are each within `tolerance` of `colour`'s (smoothed text has few pixels of its exact colour).
int CountScreenPixels(const RECT& rect, COLORREF colour, int tolerance = 0);

// Folder of the running test executable, with a trailing backslash.
std::wstring ExeFolder();

// Sets a test switch of the program (fw/test_switch_win.h) in the prefix's registry, or removes
// it when value is null. A process reads its switches once: set them before it starts (or, in
// this process, before the code under test first reads them). The Wine tiers take turns on the
// prefix, so one test program owns the switches while it runs.
bool SetTestSwitch(const wchar_t* name, const wchar_t* value);
// Removes every test switch (each test program starts and ends with none).
void ClearTestSwitches();

// Runs a command line and waits at most timeoutMs for its end; answers its exit code, or
// 0xFFFFFFFF when it could not start or had to be ended.
DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs);

} // namespace wintest
