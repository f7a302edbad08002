// Where the main game window hands over to the login page of the pre-Vista systems. Each entry
// is a stand-in that does nothing until its subsystem lands.
#pragma once
#include <windows.h>

class CTollgate3Dlg;

namespace mainwnd {

// Before Vista: creates the login page dialog (template 157) at (0, 0), 1 x 1.
void CreatePreVistaLoginDialog(CTollgate3Dlg& dlg);

} // namespace mainwnd
