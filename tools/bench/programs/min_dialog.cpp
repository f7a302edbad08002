// The reference of the start-up benchmark: the least a Win32 program does to show a window, a
// dialog from an in-memory template shown as it is created. It ends after the given number of
// milliseconds (default 10000) or when closed. With "chain" it plays a launcher of two
// processes instead: its own dialog, 1 x 1, starts a second copy that shows the dialog.
// Usage: min_dialog [chain] [lifetime ms]
#include <windows.h>

#include <string>

#include "bench_copy_win.h"

int wmain(int argc, wchar_t** argv) {
    const bench::Arguments arguments = bench::ParseArguments(argc, argv, L"chain");
    bench::Dialog dialog;
    // A visible pop-up with a caption.
    dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    dialog.lifetime = arguments.lifetime;
    dialog.startsCopy = arguments.mode;
    dialog.copyArguments = std::to_wstring(arguments.lifetime);
    return bench::RunDialog(dialog);
}
