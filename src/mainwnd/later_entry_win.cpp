#include "mainwnd/later_entry_win.h"

namespace mainwnd {

void CreatePreVistaLoginDialog(CTollgate3Dlg&) {
}

} // namespace mainwnd
