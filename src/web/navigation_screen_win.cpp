#include "web/navigation_screen_win.h"

#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/web_address.h"
#include "net/publisher_win.h"
#include "web/page_addresses_win.h"
#include "web/navigation_rules.h"

namespace web {

namespace {

void ScreenNonCommand(const fw::CBrowserHost& host, IDispatch* frame, const std::wstring& url, bool& cancel,
                      const PageSeams& seams) {
    switch (ScreenPageNavigation(url, host.IsTopLevel(frame), net::PublisherOverride())) {
    case PageNavigation::Proceed:
        break;
    case PageNavigation::Cancel:
        // Only what is not a web address is cancelled; its scheme is all the line shows, as an
        // "app:" command's text may carry an account.
        base::Trace(L"navigation refused, scheme", std::wstring_view(url).substr(0, url.find(L':') + 1), 0);
        cancel = true;
        break;
    case PageNavigation::OpenOutside:
        cancel = true;
        seams.shellOpen(url);
        break;
    }
}

bool SenderCommands(const fw::CBrowserHost& host, IDispatch* frame) {
    const std::wstring top = host.LocationUrl();
    const std::wstring sender = host.LocationUrlOf(frame);
    const std::wstring_view overrideHost = net::PublisherOverride();
    if (CommandCounts(sender, top, overrideHost)) return true;
    // The command itself may carry an account: the line names the page that was refused, the
    // sender's or else the top-level one around it.
    const std::wstring& refused = IsPublisherPage(sender, overrideHost) ? top : sender;
    base::Trace(L"app: command refused from", base::AddressForTrace(refused), 0);
    return false;
}

} // namespace

void HostNavigation(const fw::CBrowserHost& host, IDispatch* frame, const std::wstring& url, bool& cancel,
                    CommandPage page, AppCommandHandler& handler, const PageSeams& seams) {
    switch (ScreenHostNavigation(url)) {
    case NavigationVerdict::Proceed:
        cancel = false;
        return;
    case NavigationVerdict::Leave:
        ScreenNonCommand(host, frame, url, cancel, seams);
        return;
    case NavigationVerdict::Cancel:
        break;
    }
    cancel = true;
    const std::optional<AppCommandCall> call = ReadAppCommand(url, {page, DefaultHallUrl()});
    if (!call) {
        base::Trace(L"app: command not taken by this page", 0);
        return;
    }
    if (SenderCommands(host, frame)) call->Run(handler);
}

bool MayNavigateTo(const std::wstring& url) {
    return IsPublisherPage(url, net::PublisherOverride());
}

void OpenRefusedWindow(const std::wstring& url, const PageSeams& seams) {
    if (fw::IsWebAddress(url)) seams.shellOpen(url);
}

} // namespace web
