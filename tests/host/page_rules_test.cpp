#include "base/page_protocol.h"
#include "mainwnd/layout_rules.h"
#include "fw/web_address.h"
#include "web/navigation_rules.h"
#include "net/game_client_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(GameClientName, KeepsSafeNamesAndRefusesTheRest) {
    struct Case {
        const wchar_t* raw;
        const wchar_t* name; // nullptr: abandoned
    } cases[] = {
        {L"dragonx", L"Dragonx"}, {L"my/game", L"Mygame"},
        {L"Tarn", L"Tarn"},       {L"4ever_x-2", L"4ever_x-2"},
        {L"/", nullptr},          {L"", nullptr},
        {L"..\\evil", nullptr},   {L"..", nullptr},
        {L"a.b", nullptr},        {L"c:x", nullptr},
        {L"a b", nullptr},        {L"é", nullptr},
        {L"游戏", nullptr},       {L"con", nullptr},
        {L"/aUx", nullptr},       {L"com1", nullptr},
        {L"LPT9", nullptr},       {L"com0", L"Com0"},
        {L"conx", L"Conx"},
    };
    for (const auto& c : cases) {
        const auto name = net::GameClientName(c.raw);
        if (c.name == nullptr)
            EXPECT_FALSE(name.has_value()) << *name;
        else
            EXPECT_EQ(name.value_or(L"<none>"), c.name);
    }
}

TEST(GameClientPath, BuildsUnderTheCommonFolderWithinThePathLimit) {
    EXPECT_EQ(net::GameClientPath(L"C:\\ProgramData", L"Dragonx"),
              L"C:\\ProgramData\\Vexa\\GameLogin\\Dragonx.exe");
    const std::wstring folder(259 - 20 - 1, L'x'); // 20 = "\Vexa\GameLogin\" + ".exe"
    EXPECT_TRUE(net::GameClientPath(folder, L"A").has_value());
    EXPECT_FALSE(net::GameClientPath(folder, L"AB").has_value());
}

TEST(IsWebAddress, OnlyWebAddresses) {
    EXPECT_TRUE(fw::IsWebAddress(L"http://127.0.0.1:8080/webgame.htm"));
    EXPECT_TRUE(fw::IsWebAddress(L"HTTPS://host/"));
    for (const wchar_t* url : {L"http://", L"file:///c:/x.exe", L"c:\\windows\\calc.exe", L"calc",
                               L" http://x", L"javascript:alert(1)", L"", L"http://h/a b", L"http://h/\r\nx"})
        EXPECT_FALSE(fw::IsWebAddress(url)) << url;
}

TEST(PageNavigation, TheTopStaysOnThePublishersHostsAndOnlyItCommands) {
    using enum web::PageNavigation;
    const std::wstring_view standIn = L"127.0.0.1:8080";
    const struct {
        const wchar_t* url;
        web::PageNavigation top, frame;
        bool commands; // a command from a document showing this counts (inside a publisher page)
    } cases[] = {
        {L"http://www.vexatarn.com/games/tn/s1/game.html", Proceed, Proceed, true},
        {L"HTTPS://cdn.vexacdn.com:443/x", Proceed, Proceed, true},
        {L"http://127.0.0.1:1/login.htm", Proceed, Proceed, true}, // the stand-in, any port
        {L"http://ads.example.com/x", OpenOutside, Proceed, false},
        {L"https://www.vexatarn.com@evil.example/x", OpenOutside, Proceed, false}, // another host
        {L"javascript:void(0)", Proceed, Proceed, false},
        {L"JavaScript:void(0)", Proceed, Proceed, false},
        {L"about:blank", Proceed, Proceed, false},
        {L"file:///C:/windows/win.ini", Cancel, Cancel, false},
        {L"\\\\evil\\share\\x.htm", Cancel, Cancel, false},
        {L"http:\\\\www.vexatarn.com\\", Cancel, Cancel, false},
        {L"", Cancel, Cancel, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(web::ScreenPageNavigation(c.url, true, standIn), c.top) << c.url;
        EXPECT_EQ(web::ScreenPageNavigation(c.url, false, standIn), c.frame) << c.url;
        EXPECT_EQ(web::CommandCounts(c.url, c.url, standIn), c.commands) << c.url;
        EXPECT_EQ(web::CommandCounts(c.url, cases[0].url, standIn), c.commands) << "from a frame: " << c.url;
        EXPECT_EQ(web::CommandCounts(cases[0].url, c.url, standIn), c.commands) << "inside: " << c.url;
    }
    EXPECT_FALSE(web::IsPublisherPage(L"http://127.0.0.1/", L"")) << "the stand-in only when it is set";
}

namespace {
std::vector<unsigned char> Utf16Bytes(std::u16string text, bool terminate) {
    if (terminate) text.push_back(0);
    std::vector<unsigned char> bytes(text.size() * 2);
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}
} // namespace

TEST(ParseLabelCopyData, ReadsOnlyAWellFormedBlock) {
    const auto good = Utf16Bytes(u"3服-abc-player01", true);
    EXPECT_EQ(base::ParseLabelCopyData(good.data(), good.size()).value_or(L"?"), L"3服-abc-player01");
    EXPECT_EQ(base::ParseLabelCopyData(good.data() + 2, good.size() - 2).value_or(L"?"), L"服-abc-player01")
        << "unaligned";
    EXPECT_FALSE(base::ParseLabelCopyData(nullptr, 4));
    EXPECT_FALSE(base::ParseLabelCopyData(good.data(), 0));
    EXPECT_FALSE(base::ParseLabelCopyData(good.data(), good.size() - 1)) << "odd size";
    EXPECT_FALSE(base::ParseLabelCopyData(good.data(), good.size() - 2)) << "zero outside the block";

    const auto longest = Utf16Bytes(std::u16string(256, u'x'), true);
    EXPECT_EQ(base::ParseLabelCopyData(longest.data(), longest.size())->size(), 256u);
    const auto tooLong = Utf16Bytes(std::u16string(257, u'x'), true);
    EXPECT_FALSE(base::ParseLabelCopyData(tooLong.data(), tooLong.size()));
    const auto early = Utf16Bytes(std::u16string(u"ab\0cd", 5), false);
    EXPECT_EQ(base::ParseLabelCopyData(early.data(), early.size()).value_or(L"?"), L"ab");
}

TEST(MainWindowLayout, ContentAreaAndMinimumSize) {
    EXPECT_EQ(base::ContentArea(1000, 700), (base::Rect{4, 30, 996, 696}));
    EXPECT_EQ(base::ContentArea(1, 1), (base::Rect{4, 30, 4, 30})) << "never inverted";
    struct Case {
        int tabs, w, h, minW, minH;
        bool raised;
    } cases[] = {
        {0, 1, 1, 1, 1, false},          {1, 600, 300, 672, 300, true},    {2, 900, 200, 900, 260, true},
        {3, 1000, 500, 1050, 500, true}, {3, 1050, 260, 1050, 260, false},
    };
    for (const auto& c : cases) {
        int w = c.w, h = c.h;
        EXPECT_EQ(mainwnd::EnforceMinimumSize(c.tabs, w, h), c.raised) << c.tabs;
        EXPECT_EQ(w, c.minW);
        EXPECT_EQ(h, c.minH);
    }
    EXPECT_EQ(mainwnd::CaptionControlRects(1000)[2].rect, (base::Rect{815, 0, 859, 28}));
}
