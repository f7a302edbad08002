// Process entry point: every role of the program starts here and is routed by the
// application object.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
