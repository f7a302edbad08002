#include "app/app_state_win.h"

HWND ParentWnd = nullptr;
int ParentPageCount = 0;
