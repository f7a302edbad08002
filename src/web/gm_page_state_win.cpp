#include "web/gm_page_state_win.h"

#include "fw/shell_open_win.h"
#include "net/publisher_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/favourite_dialog_win.h"

namespace web {

namespace {

bool ShellOpen(const std::wstring& url) {
    return fw::OpenAsPlayer(url, SW_SHOW);
}

} // namespace

std::wstring HallPageUrl() {
    return net::PublisherUrl(net::PublisherSite::Client, L"/webgame.htm");
}

std::wstring DefaultHallUrl() {
    return net::PublisherUrl(net::PublisherSite::Hall, L"/");
}

std::wstring LoginPageUrl() {
    return net::PublisherUrl(net::PublisherSite::WebGame, L"/games/tn/dlq/index.html");
}

PageSeams& Seams() {
    static PageSeams seams{ui::ShowMessageBox, ShellOpen, RunFavouritesDialog};
    return seams;
}

} // namespace web
