// Swaps an executable as the self-update does and ends itself at once (exit code 42) when the
// swap passes the given point: "swap_kill <exe> <new> <old> <point>", points as in SwapPoint.
// Exit code 1 when the swap ended without passing it.
#include <windows.h>

#include <cstdlib>
#include <utility>

#include "app/update_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) return 2;
    const auto killAt = static_cast<app::SwapPoint>(_wtoi(argv[4]));
    base::Handle held(::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    app::SwapExecutable(
        argv[1], std::move(held), argv[3], [](HANDLE) { return true; },
        [killAt](app::SwapPoint point) {
            if (point == killAt) ::TerminateProcess(::GetCurrentProcess(), 42);
        });
    return 1;
}
