// One step of a message loop, shared by the application's loop and every modal loop: the
// PreTranslateMessage chain, dialog keyboard navigation, then translate and dispatch.
#pragma once
#include <windows.h>

// Offers the message to PreTranslateMessage of the window it is for and then of each parent or
// owner up the chain (windows without an object are passed over); true once one eats it.
bool PreTranslateChain(MSG& msg);
// Keyboard navigation of the outermost dialog of this thread that contains the window.
bool DialogNavigation(MSG& msg);
// One message of a loop: PreTranslateChain, DialogNavigation, then translate and dispatch.
void ProcessMessage(MSG& msg);

// True for windows of the system dialog class.
bool IsDialogClass(HWND hwnd);
