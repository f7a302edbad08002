#include "web/favourite_dialog_win.h"

#include <shlobj.h>

#include "base/handle_win.h"
#include "base/text.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/safe_file_win.h"
#include "resource.h"
#include "web/fav_rules.h"

namespace web {

namespace {

// The program runs elevated: a Favorites folder that the user's settings point outside the
// profile (a start-up folder of all users, say) gets no shortcut.
std::wstring FavouritesFolder() {
    return base::UserFolderInsideProfile(CSIDL_FAVORITES);
}

// The text in the ANSI code page, or false when a character of it has no place there: a
// shortcut with a changed address would open another page.
bool ToAnsiWhole(const std::wstring& text, std::string& out) {
    const UINT cp = ::GetACP();
    BOOL lossy = FALSE;
    // The UTF-8 code page takes every character and refuses the lossy flag.
    const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* lossyFlag = cp == CP_UTF8 ? nullptr : &lossy;
    const int n = ::WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, lossyFlag);
    if (n <= 0 || lossy) return false;
    out.assign(static_cast<size_t>(n), '\0');
    return ::WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), out.data(), n,
                                 nullptr, lossyFlag) == n &&
           !lossy;
}

// Opens the shortcut for writing without following a link at its name, creating it when there
// is none. An entry that was there already is taken only when it is a plain file of its own:
// not a link or other reparse point, not a folder, not a second name of a file elsewhere (a hard
// link), since replacing it would write into something else as the administrator. Either way the
// file must lie inside the folder as it was resolved before: a folder on the way that was
// swapped for a link since then is caught here (a file just made in the wrong place is removed).
base::Handle OpenFavouriteFile(const std::wstring& path, const std::wstring& folder) {
    base::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return {};
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) return {};
    const bool plain = !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
                       info.nNumberOfLinks == 1;
    if (!plain) return {}; // only an entry that was there already can be anything but plain
    if (!base::IsInsideFolder(base::FinalPathOf(file.Get()), folder)) {
        if (!existed) fw::DeleteByHandle(file.Get());
        return {};
    }
    return file;
}

} // namespace

FavouriteDialog::FavouriteDialog(std::wstring name, std::wstring url, std::wstring folder, HWND owner)
    : CDialog(IDD_FAV, owner), m_name(std::move(name)), m_url(std::move(url)), m_folder(std::move(folder)) {
}

BOOL FavouriteDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_FAV_NAME, m_name.c_str());
    return TRUE;
}

void FavouriteDialog::OnOK() {
    wchar_t name[kMaxFavouriteNameChars + 1] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_FAV_NAME, name, static_cast<int>(std::size(name)));
    EndDialog(IDOK);
    WriteFavourite(m_folder, name, m_url);
}

bool WriteFavourite(const std::wstring& folder, std::wstring_view name, std::wstring_view url) {
    const auto path = FavouritePath(folder, name);
    const auto text = FavouriteText(url);
    std::string bytes;
    if (!path || !text || !ToAnsiWhole(*text, bytes)) return false;
    const base::Handle file = OpenFavouriteFile(*path, folder);
    DWORD written = 0;
    // An older favourite of the same name is replaced: emptied through the checked handle.
    const bool saved =
        file && ::SetEndOfFile(file.Get()) &&
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (!saved) base::Trace(L"favourite not saved", *path, ::GetLastError());
    return saved;
}

void RunFavouritesDialog(HWND owner, const std::wstring& name, const std::wstring& url) {
    FavouriteDialog dlg(name, url, FavouritesFolder(), owner);
    dlg.DoModal();
}

} // namespace web
