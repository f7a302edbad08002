#include "app/automation_win.h"

#include <string>

#include "fw/test_switch_win.h"

namespace {
// ",word,word," when the switch is set, empty otherwise.
const std::wstring& AutomationValue() {
    static const std::wstring value = [] {
        const auto words = fw::ReadTestSwitch(L"Automation");
        return words ? L"," + *words + L"," : std::wstring();
    }();
    return value;
}
} // namespace

bool AutomationEnabled() {
    return !AutomationValue().empty();
}

bool AutomationHas(const wchar_t* word) {
    return AutomationValue().find(L"," + std::wstring(word) + L",") != std::wstring::npos;
}
