// Where a page process hands over to subsystems that are not part of it yet: the hotkey
// settings. Each entry is a stand-in that answers the default until its subsystem lands.
#pragma once
#include <windows.h>

#include <string>

#include "web/gm_rules.h"

namespace later {

// One hotkey from the settings file ("ShortKey", "AltWndKey", "SndKey"); until the settings are
// read the default text ("<mask>,<code>") is the answer.
inline web::PageHotkey LoadHotkey(const wchar_t* /*key*/, const wchar_t* defaultText) {
    return web::ParseHotkeyText(defaultText ? defaultText : L"", {});
}

} // namespace later
