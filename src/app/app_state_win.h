// Process-wide start state of a page process, read from its command line.
#pragma once
#include <windows.h>

// The main window that started this page process ("/newgm", "/gmhall"); null otherwise.
extern HWND ParentWnd;
// The number of game pages the main window had open when it started this process ("/newgm").
extern int ParentPageCount;
