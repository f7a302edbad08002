// The favourites dialog run modally: the shortcut file it writes byte for byte, the name the
// player may edit, and the names and answers that write nothing anywhere.
#include "web/fav_dlg_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "publisher_fixture.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

namespace fs = std::filesystem;

class TestFavDlg : public CFavDlg {
public:
    using CFavDlg::CFavDlg;
    std::wstring proposed; // the edit's text when the dialog opened
    std::function<void(TestFavDlg&)> onInit;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CFavDlg::OnInitDialog();
        wchar_t text[256] = {};
        ::GetDlgItemTextW(m_hWnd, IDC_FAV_NAME, text, 256);
        proposed = text;
        if (onInit) onInit(*this);
        return r;
    }
};

std::set<fs::path> FilesBelow(const fs::path& root) {
    std::set<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files.insert(e.path());
    return files;
}

std::string Expected(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n" +
           "[InternetShortcut]\r\nURL=" + url + "\r\nIDList=\r\n";
}

TEST(FavDlg, WritesTheWholeShortcutUnderAPlainNameOrNothingAnywhere) {
    const fs::path root = fs::path(wintest::ExeFolder()) / L"fav_test";
    const fs::path folder = root / L"Favorites";
    fs::remove_all(root);
    fs::create_directories(folder);
    const std::string url = "http://127.0.0.1:1/games/tn/s2/game.html?server=S2";
    const std::string longUrl = "http://127.0.0.1:1/g?" + std::string(600, 'q');
    ASSERT_TRUE(wintest::WriteFileBytes((folder / L"我的游戏.url").wstring(), std::string(500, '.')));
    const struct {
        const char* why;
        std::wstring name;
        std::string url;
        const wchar_t* typed; // the player's edit, or null
        UINT answer;
        const wchar_t* file; // null: nothing is written
    } cases[] = {
        {"the page title, replacing the older file", L"我的游戏", url, nullptr, IDOK, L"我的游戏.url"},
        {"an empty name", L"", url, nullptr, IDOK, L".url"},
        {"a url longer than any buffer, whole", L"long", longUrl, nullptr, IDOK, L"long.url"},
        {"the name the player typed", L"Tarn", url, L"塔恩 S2", IDOK, L"塔恩 S2.url"},
        {"cancelled", L"cancelled", url, nullptr, IDCANCEL, nullptr},
        {"a title leaving the folder", L"..\\escaped", url, nullptr, IDOK, nullptr},
        {"a title with a slash", L"../escaped", url, nullptr, IDOK, nullptr},
        {"typed to leave the folder", L"ok", url, L"..\\..\\escaped", IDOK, nullptr},
        {"a stream instead of a file", L"ok:stream", url, nullptr, IDOK, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto before = FilesBelow(root);
        TestFavDlg dlg(c.name, std::wstring(c.url.begin(), c.url.end()), nullptr);
        dlg.m_strFolder = folder.wstring();
        dlg.onInit = [&c](TestFavDlg& d) {
            if (c.typed) ::SetDlgItemTextW(d.m_hWnd, IDC_FAV_NAME, c.typed);
            d.PostMessage(WM_COMMAND, c.answer, 0);
        };
        EXPECT_EQ(dlg.DoModal(), static_cast<INT_PTR>(c.answer));
        EXPECT_EQ(dlg.proposed, c.name);
        auto after = FilesBelow(root);
        if (c.file) {
            std::string bytes;
            EXPECT_TRUE(wintest::ReadFileBytes((folder / c.file).wstring(), bytes));
            EXPECT_EQ(bytes, Expected(c.url));
            before.insert(folder / c.file);
        }
        EXPECT_EQ(after, before) << "nothing else is written";
    }
    fs::remove_all(root);
}

} // namespace
