#include "web/page_seams_win.h"

#include "fw/shell_open_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/favourite_dialog_win.h"

namespace web {

namespace {

bool ShellOpen(const std::wstring& url) {
    return fw::OpenAsPlayer(url, SW_SHOW);
}

} // namespace

PageSeams& Seams() {
    static PageSeams seams{ShowMessageBox, ShellOpen, RunFavouritesDialog};
    return seams;
}

} // namespace web
