// The rules of a game client's download (addresses and files from the game's name, the label)
// and of the favourites shortcut (its text, where a page's title may put it).
#include <gtest/gtest.h>

#include <string>

#include "web/down_game_rules.h"
#include "web/fav_rules.h"

namespace {

TEST(DownGameRules, PlacesComeFromTheGameNameOrNotAtAll) {
    const std::wstring self = L"http://client.vexatarn.com/update/ConfigTnVexa.htm";
    const std::wstring exe = L"C:\\Prog\\TnVexa.exe", folder = L"C:\\Windows\\Temp\\TnVexa1-2-0";
    auto places = web::GameDownloadPlacesFor(self, exe, folder, L"Dragonx");
    ASSERT_TRUE(places);
    EXPECT_EQ(places->configUrl, L"http://client.vexatarn.com/update/ConfigDragonx.htm");
    EXPECT_EQ(places->configFile, L"C:\\Prog\\Dragonx.ini");
    EXPECT_EQ(places->clientFile, folder + L"\\Dragonx.exe");

    // Every tag is replaced, case-sensitively, and a name holding the tag is not replaced again.
    places = web::GameDownloadPlacesFor(L"http://127.0.0.1:81/TnVexa/tnvexa/ConfigTnVexa.htm", exe, L"",
                                        L"TnVexa_2");
    ASSERT_TRUE(places);
    EXPECT_EQ(places->configUrl, L"http://127.0.0.1:81/TnVexa_2/tnvexa/ConfigTnVexa_2.htm");
    EXPECT_EQ(places->clientFile, L"") << "no download folder, no client file";

    for (const wchar_t* name : {L"", L"my game", L"..\\evil", L"a/b", L"游戏", L"a:b"})
        EXPECT_FALSE(web::GameDownloadPlacesFor(self, exe, folder, name)) << name;
    EXPECT_FALSE(web::GameDownloadPlacesFor(self, L"TnVexa.exe", folder, L"Dragonx")) << "no program folder";
    EXPECT_FALSE(web::GameDownloadPlacesFor(self, exe, folder, std::wstring(240, L'a'))) << "paths too long";
}

TEST(DownGameRules, LabelHasTwoBlanksBeforeThePercentage) {
    EXPECT_EQ(web::DownloadLabelText(37), L"已加载  37%");
    EXPECT_EQ(web::DownloadLabelText(0), L"已加载  0%");
    EXPECT_EQ(web::DownloadLabelText(100), L"已加载  100%");
}

TEST(FavRules, ShortcutTextHoldsTheWholeUrlTwice) {
    EXPECT_EQ(web::FavouriteText(L"http://h/g?a=1"),
              L"[DEFAULT]\r\nBASEURL=http://h/g?a=1\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
              L"[InternetShortcut]\r\nURL=http://h/g?a=1\r\nIDList=\r\n");
    const std::wstring longUrl = L"http://h/" + std::wstring(600, L'x');
    const std::wstring text = web::FavouriteText(longUrl);
    EXPECT_EQ(text.find(L"BASEURL=" + longUrl + L"\r\n"), 11u);
    EXPECT_NE(text.find(L"URL=" + longUrl + L"\r\nIDList=\r\n"), std::wstring::npos);
}

TEST(FavRules, OnlyAPlainFileInTheFolderMayBeNamed) {
    const std::wstring fav = L"C:\\users\\me\\Favorites";
    const struct {
        std::wstring name;
        const wchar_t* file; // null: nothing is written
    } cases[] = {
        {L"我的游戏", L"我的游戏.url"},
        {L"", L".url"},
        {L"Tarn S2 - 第一服", L"Tarn S2 - 第一服.url"},
        {L"a..b", L"a..b.url"},
        {L"nul-ish", L"nul-ish.url"},
        {L"..\\..\\Start Menu\\Programs\\Startup\\x", nullptr},
        {L"../x", nullptr},
        {L"a/b", nullptr},
        {L"..", nullptr},
        {L"a:b", nullptr},
        {L"a?b", nullptr},
        {L"a\tb", nullptr},
        {L"NUL", nullptr},
        {L"com1 ", nullptr},
        {L"Con.x", nullptr},
    };
    for (const auto& c : cases) {
        const auto path = web::FavouritePath(fav, c.name);
        if (c.file) {
            ASSERT_TRUE(path) << c.name;
            EXPECT_EQ(*path, fav + L"\\" + c.file);
        } else {
            EXPECT_FALSE(path) << c.name;
        }
    }
    EXPECT_EQ(web::FavouritePath(fav, std::wstring(130, L'n')),
              fav + L"\\" + std::wstring(127, L'n') + L".url");
    EXPECT_FALSE(web::FavouritePath(std::wstring(200, L'f'), std::wstring(100, L'n'))) << "path over 259";
    EXPECT_FALSE(web::FavouritePath(L"", L"x")) << "no Favorites folder";
}

} // namespace
