// The favourites dialog run modally: the shortcut it writes byte for byte under the proposed or
// the typed name, and the answers and names that write nothing anywhere.
#include "web/fav_dlg_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "publisher_fixture.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

namespace fs = std::filesystem;

// Types the player's name (if any) into the edit and answers.
class TestFavDlg : public CFavDlg {
public:
    using CFavDlg::CFavDlg;
    const wchar_t* typed = nullptr;
    UINT answer = IDOK;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CFavDlg::OnInitDialog();
        if (typed) ::SetDlgItemTextW(m_hWnd, IDC_FAV_NAME, typed);
        PostMessage(WM_COMMAND, answer, 0);
        return r;
    }
};

std::set<fs::path> FilesBelow(const fs::path& root) {
    return {fs::recursive_directory_iterator(root), fs::recursive_directory_iterator()};
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
        TestFavDlg dlg(c.name, std::wstring(url.begin(), url.end()), nullptr);
        dlg.m_strFolder = folder.wstring();
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
    fs::remove_all(root);
}

} // namespace
