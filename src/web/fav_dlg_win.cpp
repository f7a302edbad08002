#include "web/fav_dlg_win.h"

#include <shlobj.h>

#include "base/user_folder_win.h"
#include "fw/handles_win.h"
#include "resource.h"
#include "web/fav_rules.h"

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

} // namespace

CFavDlg::CFavDlg(std::wstring name, std::wstring url, HWND owner)
    : CDialog(IDD_FAV, owner), m_strName(std::move(name)), m_strUrl(std::move(url)),
      m_strFolder(FavouritesFolder()) {
}

BOOL CFavDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_FAV_NAME, m_strName.c_str());
    return TRUE;
}

void CFavDlg::OnOK() {
    wchar_t name[web::kMaxFavouriteNameChars + 1] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_FAV_NAME, name, static_cast<int>(std::size(name)));
    EndDialog(IDOK);
    WriteFavourite(m_strFolder, name, m_strUrl);
}

bool WriteFavourite(const std::wstring& folder, std::wstring_view name, std::wstring_view url) {
    const auto path = web::FavouritePath(folder, name);
    std::string bytes;
    if (!path || !ToAnsiWhole(web::FavouriteText(url), bytes)) return false;
    fw::Handle file(::CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void RunFavouritesDialog(HWND owner, const std::wstring& name, const std::wstring& url) {
    CFavDlg dlg(name, url, owner);
    dlg.DoModal();
}
