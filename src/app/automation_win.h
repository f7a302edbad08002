// Test automation switches. They exist only when the environment variable TNVEXA_AUTOMATION
// is set at the start of a process; a player's process never has them.
#pragma once

// True when TNVEXA_AUTOMATION is set (to anything).
bool AutomationEnabled();

// True when TNVEXA_AUTOMATION, a comma-separated list, names `word`.
bool AutomationHas(const wchar_t* word);
