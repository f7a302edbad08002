// Process-wide start state of a page process, read from its command line at start-up.
#pragma once
#include <windows.h>

// The main window that started this page process (null in the other modes).
extern HWND ParentWnd;
// How many tabs that main window had when it started this page process.
extern int ParentPageCount;
