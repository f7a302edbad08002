// The favourites dialog run modally: the shortcut it writes byte for byte under the proposed or
// the typed name, and the answers and names that write nothing anywhere.
#include "web/favourite_dialog_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/handle_win.h"
#include "publisher_fixture.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

namespace fs = std::filesystem;

// Types the player's name (if any) into the edit and answers.
class TestFavDlg : public web::FavouriteDialog {
public:
    using web::FavouriteDialog::FavouriteDialog;
    const wchar_t* typed = nullptr;
    UINT answer = IDOK;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = web::FavouriteDialog::OnInitDialog();
        if (typed) ::SetDlgItemTextW(m_hWnd, IDC_FAV_NAME, typed);
        PostMessage(WM_COMMAND, answer, 0);
        return r;
    }
};

std::set<fs::path> FilesBelow(const fs::path& root) {
    return {fs::recursive_directory_iterator(root), fs::recursive_directory_iterator()};
}

// The folder as the file system resolves it, as the dialog finds the Favorites folder.
std::wstring Resolved(const fs::path& folder) {
    base::Handle dir(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = ::GetFinalPathNameByHandleW(dir.Get(), path, ARRAYSIZE(path), FILE_NAME_NORMALIZED);
    return std::wstring(path, n);
}

TEST(FavDlg, WritesTheWholeShortcutUnderAPlainNameOrNothingAnywhere) {
    const fs::path root = fs::path(wintest::ExeFolder()) / L"fav_test", folder = root / L"Favorites";
    fs::remove_all(root);
    fs::create_directories(folder);
    ASSERT_TRUE(wintest::WriteFileBytes((folder / L"我的游戏.url").wstring(), std::string(900, '.')));
    const std::string url = "http://127.0.0.1:1/g?" + std::string(600, 'q'); // beyond any fixed buffer
    const std::string text =
        "[DEFAULT]\r\nBASEURL=" + url +
        "\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n[InternetShortcut]\r\nURL=" + url +
        "\r\nIDList=\r\n";
    const struct {
        const wchar_t *name, *typed; // the page's title; the player's edit, or null
        UINT answer;
        const wchar_t* file; // null: nothing is written
    } cases[] = {
        {L"我的游戏", nullptr, IDOK, L"我的游戏.url"}, // replaces the older, longer file
        {L"", nullptr, IDOK, L".url"},
        {L"Tarn", L"塔恩 S2", IDOK, L"塔恩 S2.url"},
        {L"cancelled", nullptr, IDCANCEL, nullptr},
        {L"..\\escaped", nullptr, IDOK, nullptr},
        {L"ok", L"../escaped", IDOK, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        auto before = FilesBelow(root);
        TestFavDlg dlg(c.name, std::wstring(url.begin(), url.end()), Resolved(folder), nullptr);
        dlg.typed = c.typed;
        dlg.answer = c.answer;
        EXPECT_EQ(dlg.DoModal(), static_cast<INT_PTR>(c.answer));
        if (c.file) {
            std::string bytes;
            EXPECT_TRUE(wintest::ReadFileBytes((folder / c.file).wstring(), bytes));
            EXPECT_EQ(bytes, text);
            before.insert(folder / c.file);
        }
        EXPECT_EQ(FilesBelow(root), before) << "nothing else is written";
    }

    // An existing entry that is another name of a file elsewhere is not written through.
    const fs::path elsewhere = root / L"elsewhere.txt";
    ASSERT_TRUE(wintest::WriteFileBytes(elsewhere.wstring(), "keep"));
    ASSERT_TRUE(::CreateHardLinkW((folder / L"linked.url").c_str(), elsewhere.c_str(), nullptr));
    EXPECT_FALSE(web::WriteFavourite(Resolved(folder), L"linked", L"http://127.0.0.1:1/g"));
    std::string kept;
    EXPECT_TRUE(wintest::ReadFileBytes(elsewhere.wstring(), kept));
    EXPECT_EQ(kept, "keep");

    // A folder that no longer resolves to where it did (here: not its resolved form) takes no
    // shortcut: a file just made there is removed again, one that was there is left as it was.
    const auto before = FilesBelow(root);
    EXPECT_FALSE(web::WriteFavourite(folder.wstring(), L"moved", L"http://127.0.0.1:1/g"));
    EXPECT_FALSE(web::WriteFavourite(folder.wstring(), L"我的游戏", L"http://127.0.0.1:1/g"));
    EXPECT_EQ(FilesBelow(root), before);
    EXPECT_TRUE(wintest::ReadFileBytes((folder / L"我的游戏.url").wstring(), kept));
    EXPECT_EQ(kept, text);
    fs::remove_all(root);
}

} // namespace
