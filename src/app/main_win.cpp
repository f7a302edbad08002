// Process entry point: every role of the program starts here and is routed by the
// application object.
#include <windows.h>

#include "app/app_win.h"
#include "app/program_skin_win.h"
#include "app/start_mode_win.h"
#include "base/executable_path_win.h"
#include "base/library_load_win.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The folder the player started the program from (a download folder) is nobody's to trust:
    // nothing the program opens by a relative name, and no child, may find its files there.
    if (!SetCurrentDirectoryW(base::SystemFolder().c_str()))
        base::Trace(L"current folder not set to the system folder", GetLastError());
    // Before anything else can load a library.
    base::RestrictLibrarySearch();
    // Held from the start, so that the file an install copies is the one that was started (other
    // roles leave the file free: an update renames it).
    const app::StartRequest request = app::CurrentStartRequest();
    if (request.mode == app::StartMode::Install) base::OwnImage();
    ui::SetSkinResources(kProgramSkin);
    static app::App application(request);
    return RunApplication(application);
}
