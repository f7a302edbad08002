// Process entry point: every role of the program starts here and is routed by the
// application object.
#include <windows.h>

#include "app/app_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    static CTollgate3App app;
    return RunApplication(app);
}
