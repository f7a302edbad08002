#include "app/later_entry_win.h"

// Units not yet in the program: their failure results.

void SetBrowserCacheLimit() {}
