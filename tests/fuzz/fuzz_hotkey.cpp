// Feeds arbitrary UTF-16 text to the stored-hotkey reader and the settings dialog's save rule,
// and checks what the hotkeys rely on: no arithmetic fault, a stored form that reads back the
// same, and a save that writes only what the texts allow.
#include "base/hotkey.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include "fuzz_input.h"

using fuzz::Require;
using fuzz::ToText;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = ToText(data, size);
    const base::HotkeySpec key = base::ParseHotkeyText(text);
    Require(base::ParseHotkeyText(base::HotkeyText(key)) == key);

    const std::wstring shown = base::FormatHotkey(key);
    Require(key.code != 0 || shown == L"无");
    Require(base::KeyName(key.code).size() <= 15);

    // The same text in two edits always conflicts; in one edit it is written only when it names
    // a key, with the mask read back from the text.
    const auto twice = base::PlanHotkeySave({text, text, L"F10"}, {key.code, key.code, 121});
    Require(twice.conflict && !twice.writes[0] && !twice.writes[1] && !twice.writes[2]);
    const auto once = base::PlanHotkeySave({text, L"\x1", L"\x2"}, {key.code, 9, 81});
    if (!once.conflict) {
        const bool written = !text.empty() && text.back() != L' ';
        Require(once.writes[0].has_value() == written);
        if (written) Require(once.writes[0]->mask >= 0 && once.writes[0]->mask <= 7);
    }
    return 0;
}
