// Test automation switches. They exist only when the "Automation" test switch (fw/test_switch_win.h)
// is set as a process starts; a player's process never has them.
#pragma once

// True when the switch is set (to anything).
bool AutomationEnabled();

// True when the switch, a comma-separated list, names `word`.
bool AutomationHas(const wchar_t* word);
