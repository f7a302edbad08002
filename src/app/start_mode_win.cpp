#include "app/start_mode_win.h"

#include <windows.h>
#include <shellapi.h>

#include "app/settings_win.h"
#include "base/executable_path_win.h"
#include "base/handle_win.h"

namespace app {

StartRequest CurrentStartRequest() {
    int argc = 0;
    std::vector<std::wstring> args;
    if (const base::LocalMemory<wchar_t**> argv(CommandLineToArgvW(GetCommandLineW(), &argc)); argv)
        args.assign(argv.Get(), argv.Get() + argc);
    return ParseStartRequest(args, base::ExecutablePath(), base::CommonAppDataFolder());
}

} // namespace app
