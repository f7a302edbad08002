#include "web/app_protocol.h"

#include <gtest/gtest.h>

using web::LoginCommand;
using web::NavigationVerdict;

namespace {

// A UTF-16 surrogate unit as a wchar_t, whatever the platform's width.
constexpr wchar_t Unit(unsigned u) {
    return static_cast<wchar_t>(u);
}

std::wstring NonBmp() { // U+1F600 as the platform writes it
    if constexpr (sizeof(wchar_t) == 2) return {Unit(0xD83D), Unit(0xDE00)};
    return {Unit(0x1F600)};
}

} // namespace

TEST(AppProtocol, PlainHostScreensAppAndJavascript) {
    struct Case {
        const wchar_t* url;
        NavigationVerdict verdict;
    } cases[] = {
        {L"app://loadgame?x|y", NavigationVerdict::Cancel},
        {L"app:", NavigationVerdict::Cancel},
        {L"app://anything", NavigationVerdict::Cancel},
        {L"APP://loadgame", NavigationVerdict::Leave},
        {L"ap", NavigationVerdict::Leave},
        {L"", NavigationVerdict::Leave},
        {L"javascript:void(0)", NavigationVerdict::Proceed},
        {L"javascript", NavigationVerdict::Proceed},
        {L"javascrip", NavigationVerdict::Leave},
        {L"JavaScript:alert(1)", NavigationVerdict::Leave},
        {L"http://127.0.0.1/app:", NavigationVerdict::Leave},
        {L"about:blank", NavigationVerdict::Leave},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::ScreenHostNavigation(c.url), c.verdict) << c.url;
}

TEST(AppProtocol, CommandWordSitsAtPositionsSixToThirteen) {
    struct Case {
        const wchar_t* url;
        LoginCommand command;
    } cases[] = {
        {L"app://loadgame?a|b", LoginCommand::LoadGame},
        {L"app:xxloadgame?s1服-a-b|g", LoginCommand::LoadGame},
        {L"app://loadgame", LoginCommand::LoadGame},
        {L"app://exitgame", LoginCommand::ExitGame},
        {L"app://exitgame/whatever/follows", LoginCommand::ExitGame},
        {L"app://minimize", LoginCommand::Minimize},
        {L"app://minimizeXYZ", LoginCommand::Minimize},
        {L"APP://loadgame?a|b", LoginCommand::NotCommand},
        {L"http://loadgame", LoginCommand::NotCommand},
        {L"app://LoadGame", LoginCommand::Other},
        {L"app://loadgam", LoginCommand::Other},
        {L"app:/loadgame", LoginCommand::Other},
        {L"app://", LoginCommand::Other},
        {L"app:", LoginCommand::Other},
        {L"app://close", LoginCommand::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::ParseLoginCommand(c.url), c.command) << c.url;
}

TEST(AppProtocol, LoadGameSplitsAtFirstBarFromPositionFifteen) {
    struct Case {
        const wchar_t* url;
        const wchar_t* payload;
        const wchar_t* gameUrl;
    } cases[] = {
        {L"app:xxloadgame?s1服-a-b|g", L"s1服-a-b", L"g"},
        {L"app://loadgame", L"", L""},
        {L"app://loadgame?", L"", L""},
        {L"app://loadgame?abc", L"", L""},
        {L"app://loadgame?|", L"", L""},
        {L"app://loadgame?|http://g/?a|b", L"", L"http://g/?a|b"},
        {L"app://loadgame/p|q|r", L"p", L"q|r"},
        // The separator at position 14 is never examined, even when it is a bar.
        {L"app://loadgame|p|q", L"p", L"q"},
        {L"app://loadgame||q", L"", L"q"},
        {L"app://loadgame?S1%E6%9C%8D|http://x/%41", L"S1%E6%9C%8D", L"http://x/%41"},
    };
    for (const auto& c : cases) {
        const auto args = web::SplitLoadGameUrl(c.url);
        EXPECT_EQ(args.payload, c.payload) << c.url;
        EXPECT_EQ(args.gameUrl, c.gameUrl) << c.url;
    }
}

TEST(AppProtocol, PayloadSplitsIntoServerMiddleAccount) {
    struct Case {
        const wchar_t* payload;
        const wchar_t* server;
        const wchar_t* middle;
        const wchar_t* account;
    } cases[] = {
        {L"S12服-x》ab12cd-user-1", L"S12", L"x》ab12cd", L"user-1"},
        {L"s1服-a-b", L"s1", L"a", L"b"},
        {L"player-01", L"", L"", L"player-01"},
        {L"", L"", L"", L""},
        {L"服--", L"", L"", L""},
        {L"服-", L"", L"", L"服-"},
        {L"S3服-abc", L"S3", L"", L"S3服-abc"},
        {L"S3服-abc-", L"S3", L"abc", L""},
        {L"A服-B服-c-d", L"A", L"B服", L"c-d"},
        {L"S3服x-a-b", L"", L"", L"S3服x-a-b"},
    };
    for (const auto& c : cases) {
        const auto f = web::SplitLoginPayload(c.payload);
        EXPECT_EQ(f.server, c.server) << c.payload;
        EXPECT_EQ(f.middle, c.middle) << c.payload;
        EXPECT_EQ(f.account, c.account) << c.payload;
    }
}

TEST(AppProtocol, PayloadIsDecodedOnlyWhenItHasPercent) {
    struct Case {
        std::wstring payload;
        std::wstring decoded;
    } cases[] = {
        {L"S1%E6%9C%8D-x-y", L"S1服-x-y"},
        {L"S1%e6%9c%8d-x-y", L"S1服-x-y"},
        {L"a+b", L"a+b"}, // no "%": unchanged, "+" is not a blank
        {L"a+b%20c", L"a+b c"},
        {L"服-%41", L"服-A"}, // literal characters survive beside escapes
        {L"%", L"%"},         // truncated escapes stay literal
        {L"ab%4", L"ab%4"},
        {L"%zz%4G%%41", L"%zz%4G%A"},
        {L"x%E6%9C", L"x"},             // a cut-off sequence ends the text
        {L"ok%FFrest", L"ok"},          // a byte that never starts a character
        {L"ok%C0%AFrest", L"ok"},       // overlong form
        {L"ok%ED%A0%80rest", L"ok"},    // an encoded surrogate
        {L"ok%F4%90%80%80rest", L"ok"}, // beyond U+10FFFF
        {L"ok%80rest", L"ok"},          // lone continuation byte
        {L"a%00b", L"a"},               // a NUL ends the text
        {L"%F0%9F%98%80!", NonBmp() + L"!"},
        {std::wstring(L"%41") + Unit(0xD800) + L"z", std::wstring(L"A\uFFFDz")}, // lone high
        {std::wstring(L"%41") + Unit(0xDC00), std::wstring(L"A\uFFFD")},         // lone low
        {L"%41" + NonBmp(), L"A" + NonBmp()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::DecodeLoginPayload(c.payload), c.decoded);
    // Without "%" nothing is touched, not even a lone surrogate.
    const std::wstring lone = std::wstring(L"x") + Unit(0xD800);
    EXPECT_EQ(web::DecodeLoginPayload(lone), lone);
}

TEST(AppProtocol, LongPayloadsDecodeWithoutLimit) {
    std::wstring encoded, expected;
    for (int i = 0; i < 5000; ++i) {
        encoded += L"%E6%9C%8D";
        expected += L"服";
    }
    EXPECT_EQ(web::DecodeLoginPayload(encoded), expected);
    const auto cmd =
        web::ParseLoadGame(L"app://loadgame?S1%E6%9C%8D-" + std::wstring(100000, L'm') + L"-acc|g");
    EXPECT_EQ(cmd.fields.server, L"S1");
    EXPECT_EQ(cmd.fields.middle.size(), 100000u);
    EXPECT_EQ(cmd.fields.account, L"acc");
    EXPECT_EQ(cmd.gameUrl, L"g");
}

TEST(AppProtocol, LoadGameParsesThePercentEncodedLogin) {
    const auto cmd = web::ParseLoadGame(L"app://loadgame?S1%E6%9C%8D-x-y|http://g.example/play?a=%41|b");
    EXPECT_EQ(cmd.fields.server, L"S1");
    EXPECT_EQ(cmd.fields.middle, L"x");
    EXPECT_EQ(cmd.fields.account, L"y");
    EXPECT_EQ(cmd.gameUrl, L"http://g.example/play?a=%41|b"); // the game URL is never decoded
}

TEST(AppProtocol, EnterGameSplitsNameAndHall) {
    struct Case {
        const wchar_t* url;
        bool command;
        const wchar_t* name;
        const wchar_t* hall;
    } cases[] = {
        {L"app://entergame|dragonx", true, L"dragonx", L"DEFAULT"},
        {L"app://entergame|my/game|h", true, L"my/game", L"h"},
        {L"app://entergame|", true, L"", L"DEFAULT"},
        {L"app://entergame||", true, L"", L""},
        {L"app://entergame|a|b|c", true, L"a", L"b|c"},
        {L"app://entergame", false, L"", L""},
        {L"app://EnterGame|x", false, L"", L""},
        {L"app:/entergame|x", false, L"", L""},
        // Only at the start: an address that merely carries the command is no command.
        {L"http://h/?go=app://entergame|tn|h2", false, L"", L""},
        {L" app://entergame|tn", false, L"", L""},
    };
    for (const auto& c : cases) {
        const auto args = web::ParseEnterGame(c.url, L"DEFAULT");
        ASSERT_EQ(args.has_value(), c.command) << c.url;
        if (!args) continue;
        EXPECT_EQ(args->gameName, c.name) << c.url;
        EXPECT_EQ(args->hallUrl, c.hall) << c.url;
    }
}

TEST(AppProtocol, CommandsReachTheirHandlerOnlyFromTheirPagesAndAtTheStart) {
    struct Recorder : web::AppCommandHandler {
        std::wstring seen;
        void OnLoadGame(const web::LoadGameCommand& c) override {
            seen = L"load " + c.fields.account + L" " + c.gameUrl;
        }
        void OnExitGame() override { seen = L"exit"; }
        void OnMinimize() override { seen = L"minimize"; }
        void OnEnterGame(const web::EnterGameArgs& a) override {
            seen = L"enter " + a.gameName + L" " + a.hallUrl;
        }
    };
    using enum web::CommandPage;
    struct Case {
        const wchar_t* url;
        web::CommandPage page;
        const wchar_t* seen; // empty: no command for that page
    } cases[] = {
        {L"app://loadgame?S1服-m-acc|http://g", Login, L"load acc http://g"},
        {L"app://exitgame", Login, L"exit"},
        {L"app://minimize", Login, L"minimize"},
        {L"app://entergame|tn", Game, L"enter tn HALL"},
        {L"app://entergame|tn", Login, L""},
        {L"app://loadgame?a|b", Game, L""},
        {L"app://exitgame", None, L""},
        {L"app:xxentergame|tn", Game, L""},
        {L"http://h/?app://entergame|tn", Game, L""},
        {L"app://close", Login, L""},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        if (const auto call = web::ReadAppCommand(c.url, {c.page, L"HALL"})) call->Run(recorder);
        EXPECT_EQ(recorder.seen, c.seen) << c.url;
    }
}
