#include "web/navigation_screen_win.h"

#include "fw/web_address.h"
#include "net/publisher_win.h"
#include "web/gm_page_state_win.h"
#include "web/navigation_rules.h"

namespace web {

void ScreenPageNavigation(const fw::CBrowserHost& host, IDispatch* frame, const std::wstring& url,
                          bool& cancel) {
    switch (ScreenPageNavigation(url, host.IsTopLevel(frame), net::PublisherOverride())) {
    case PageNavigation::Proceed:
        break;
    case PageNavigation::Cancel:
        cancel = true;
        break;
    case PageNavigation::OpenOutside:
        cancel = true;
        Seams().shellOpen(url);
        break;
    }
}

bool CommandCounts(const fw::CBrowserHost& host, IDispatch* frame) {
    return CommandCounts(host.IsTopLevel(frame), host.LocationUrl(), net::PublisherOverride());
}

bool MayNavigateTo(const std::wstring& url) {
    return IsPublisherPage(url, net::PublisherOverride());
}

void OpenRefusedWindow(const std::wstring& url) {
    if (fw::IsWebAddress(url)) Seams().shellOpen(url);
}

} // namespace web
