// The main window's login page dialog of systems before Vista: made from the login page's
// template, owned by the main window, placed 1 x 1 in the top-left corner and never shown.
// Nothing reads it; it goes when the main window is destroyed.
#pragma once

namespace mainwnd {

class MainWindow;

// Creates the dialog (template 157) at (0, 0), 1 x 1, z-order unchanged, owned by dlg.
void CreatePreVistaLoginDialog(MainWindow& dlg);

} // namespace mainwnd
