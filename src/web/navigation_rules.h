// Where the program's browser controls may go and whom they obey: the publisher's own pages
// over http(s) at the top, the web at large only inside frames, and "app:" commands only from
// the publisher's pages inside its top-level page. The pages are plain HTTP inside an elevated
// process.
#pragma once
#include <string_view>

namespace web {

// An http or https address (scheme in any letter case) whose host is one of the publisher's
// (net::IsTrustedUrl's host rule; overrideHost is the "Publisher" test switch), with no control
// character or blank anywhere in it.
bool IsPublisherPage(std::wstring_view url, std::wstring_view overrideHost);

// What a browser control does with a navigation that is not a command.
enum class PageNavigation {
    Proceed,     // the browser goes on
    Cancel,      // never navigated to
    OpenOutside, // cancelled here and handed to the player's default browser
};

// topLevel: the navigation is the control's own document, not a frame in it. Script URLs
// ("javascript:") and the empty page stay; a frame may show any http(s) page; the top-level
// document only the publisher's, other web pages go to the default browser; every other
// scheme (file:, a UNC path, registered protocols) is cancelled.
PageNavigation ScreenPageNavigation(std::wstring_view url, bool topLevel, std::wstring_view overrideHost);

// Whether an "app:" command counts: the document that sends it (the top-level one or a frame in
// it, as it shows before the command) and the top-level document are both publisher pages. An
// advertisement's frame, or a publisher frame inside another site's page, commands nothing.
bool CommandCounts(std::wstring_view senderUrl, std::wstring_view topUrl, std::wstring_view overrideHost);

} // namespace web
