#include "app/later_entry_win.h"

// Units not yet in the program: their failure results.

bool InstallSelf() {
    return true;
}

void UninstallSelf() {}
