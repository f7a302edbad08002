// FavouriteDialog: the favourites dialog of a page window. The player edits the proposed name of the
// page, and "收藏" writes an Internet Shortcut file for the page into the Favorites folder.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "fw/dialog_win.h"

namespace web {

class FavouriteDialog : public CDialog {
public:
    // name: the proposed name; url: the page; folder: where the shortcut goes, as the file
    // system resolved it (RunFavouritesDialog gives the player's Favorites folder).
    FavouriteDialog(std::wstring name, std::wstring url, std::wstring folder, HWND owner);

protected:
    BOOL OnInitDialog() override;
    // Ends the dialog and writes the shortcut; nothing is shown whatever comes of it.
    void OnOK() override;

private:
    const std::wstring m_name;
    const std::wstring m_url;
    const std::wstring m_folder;
};

// Writes the shortcut for url as folder\name.url in the ANSI code page, replacing a plain file of
// that name. folder: the Favorites folder as the file system resolved it ("\\?\" form) before.
// Nothing is written (false) when the name is refused (see FavouritePath), the url holds a
// control character or does not convert to the code page whole, or the entry is not a plain
// file inside that folder (a link, a hard link, a folder swapped for a link).
bool WriteFavourite(const std::wstring& folder, std::wstring_view name, std::wstring_view url);

// Runs the favourites dialog modally over owner.
void RunFavouritesDialog(HWND owner, const std::wstring& name, const std::wstring& url);

} // namespace web
