// The test automation's navigation request to a page window: a WM_COPYDATA carrying a URL,
// accepted only in a process started with the "Automation" test switch. The navigation runs from a posted
// message, so the sender never waits on what the page's screening does with it.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "web/automation_channel.h"

namespace web {

class AutomationNavigator {
public:
    // Opens the channel: a process started with the "Automation" test switch (closed by default).
    void Enable(bool enabled) { m_enabled = enabled; }

    // The follow-up message posted to the window itself.
    static constexpr UINT kNavigateMessage = WM_APP + 0x57;

    // WM_COPYDATA: true when it was a navigation request (then *result is the answer to give).
    bool OnCopyData(HWND hwnd, LPARAM lParam, LRESULT* result) {
        if (!m_enabled) return false;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->dwData != kAutomationNavigate) return false;
        const auto url = ReadAutomationUrl(data->lpData, data->cbData);
        *result = url ? TRUE : FALSE;
        if (url) {
            m_pendingUrl = *url;
            PostMessageW(hwnd, kNavigateMessage, 0, 0);
        }
        return true;
    }

    // The pending URL, taken (empty when there is none).
    std::wstring TakeUrl() { return std::exchange(m_pendingUrl, std::wstring()); }

private:
    bool m_enabled = false;
    std::wstring m_pendingUrl;
};

} // namespace web
