// The rules of a game client's download (addresses and files from the game's name, the label)
// and of the favourites shortcut (its text, where a page's title may put it).
#include <gtest/gtest.h>

#include <string>

#include "net/game_download_rules.h"
#include "web/fav_rules.h"

namespace {

TEST(DownGameRules, PlacesComeFromAPlainGameNameOnly) {
    const std::wstring folder = L"C:\\Windows\\Temp\\TnVexa1-2-0";
    auto places =
        net::GameDownloadPlacesFor(L"http://client.vexatarn.com/update/ConfigTnVexa.htm", folder, L"Dragonx");
    ASSERT_TRUE(places);
    EXPECT_EQ(places->configUrl, L"http://client.vexatarn.com/update/ConfigDragonx.htm");
    EXPECT_EQ(places->clientFile, folder + L"\\Dragonx.exe");
    // Every tag, case-sensitively; a name holding the tag is not replaced again.
    places = net::GameDownloadPlacesFor(L"http://h:81/TnVexa/tnvexa/ConfigTnVexa.htm", L"", L"TnVexa_2");
    ASSERT_TRUE(places);
    EXPECT_EQ(places->configUrl, L"http://h:81/TnVexa_2/tnvexa/ConfigTnVexa_2.htm");
    EXPECT_EQ(places->clientFile, L"") << "no download folder, no client file";

    for (const wchar_t* name : {L"", L"my game", L"..\\evil", L"a/b", L"游戏", L"a:b"})
        EXPECT_FALSE(net::GameDownloadPlacesFor(L"http://h/", folder, name)) << name;
    EXPECT_FALSE(net::GameDownloadPlacesFor(L"http://h/", folder, std::wstring(240, L'a'))) << "too long";
    EXPECT_EQ(net::DownloadLabelText(37), L"已加载  37%");
}

TEST(FavRules, TheShortcutTextAndWhereATitleMayPutIt) {
    for (const wchar_t* broken : {L"http://h/\r\nURL=file:///C:/x", L"http://h/\x85", L"http://h/\x7F"})
        EXPECT_FALSE(web::FavouriteText(broken)) << "a line of the page's own";
    EXPECT_EQ(web::FavouriteText(L"http://h/g?a=1"),
              L"[DEFAULT]\r\nBASEURL=http://h/g?a=1\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
              L"[InternetShortcut]\r\nURL=http://h/g?a=1\r\nIDList=\r\n");

    const std::wstring fav = L"C:\\users\\me\\Favorites";
    for (const wchar_t* plain : {L"我的游戏", L"", L"Tarn S2 - 第一服", L"a..b", L"nul-ish"})
        EXPECT_EQ(web::FavouritePath(fav, plain), fav + L"\\" + plain + L".url") << plain;
    EXPECT_EQ(web::FavouritePath(fav, std::wstring(130, L'n')),
              fav + L"\\" + std::wstring(127, L'n') + L".url");
    for (const wchar_t* refused : {L"..\\..\\Start Menu\\Programs\\Startup\\x", L"../x", L"a/b", L"..",
                                   L"a:b", L"a?b", L"a\tb", L"NUL", L"com1 ", L"Con.x"})
        EXPECT_FALSE(web::FavouritePath(fav, refused)) << refused;
    EXPECT_FALSE(web::FavouritePath(std::wstring(200, L'f'), std::wstring(100, L'n'))) << "path over 259";
}

} // namespace
