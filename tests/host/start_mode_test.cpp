#include "app/start_mode.h"

#include <gtest/gtest.h>

namespace {
const std::wstring kAppData = L"C:\\ProgramData";
const std::wstring kOutside = L"C:\\Users\\p\\Downloads\\TnVexa.exe";
const std::wstring kInside = L"C:\\ProgramData\\Vexa\\GameLogin\\TnVexa.exe";

app::StartRequest Parse(std::vector<std::wstring> args, const std::wstring& exe = kOutside) {
    args.insert(args.begin(), exe);
    return app::ParseStartRequest(args, exe, kAppData);
}
} // namespace

TEST(StartMode, OptionsSelectTheirModeWhateverTheCase) {
    struct Case {
        std::vector<std::wstring> args;
        app::StartMode mode;
    } cases[] = {
        {{}, app::StartMode::Install},
        {{L"/LumoD"}, app::StartMode::Channel},
        {{L"/tnvexad"}, app::StartMode::Shortcut},
        {{L"/uninst"}, app::StartMode::Uninstall},
        {{L"/UPDATE"}, app::StartMode::Update},
        {{L"/update2"}, app::StartMode::Install}, // options must match the whole argument
        {{L"update"}, app::StartMode::Install},
        {{L"/newgm", L"/1", L"/0"}, app::StartMode::NewGamePage},
        {{L"/GMHALL", L"/1"}, app::StartMode::GameHall},
        {{L"/bogus", L"/update"}, app::StartMode::Install}, // only the first argument selects
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.args).mode, c.mode) << (c.args.empty() ? L"" : c.args[0]);
}

TEST(StartMode, InstallFolderTestComparesWholeComponentsInEitherCase) {
    EXPECT_EQ(Parse({}, kInside).mode, app::StartMode::Installed);
    EXPECT_EQ(Parse({}, L"c:\\programdata\\vexa\\gamelogin\\sub\\x.exe").mode, app::StartMode::Installed);
    EXPECT_EQ(Parse({L"/update2"}, kInside).mode, app::StartMode::Installed);
    EXPECT_EQ(Parse({}, L"C:\\ProgramData\\Vexa\\GameLoginX.exe").mode, app::StartMode::Install);
    EXPECT_EQ(Parse({}, L"C:\\ProgramData\\Vexa\\GameLogin2\\TnVexa.exe").mode, app::StartMode::Install);
    EXPECT_EQ(Parse({}, L"D:\\C:\\ProgramData\\Vexa\\GameLogin\\TnVexa.exe").mode, app::StartMode::Install);
    EXPECT_EQ(Parse({}, L"C:\\ProgramData\\Vexa\\TnVexa.exe").mode, app::StartMode::Install);
    EXPECT_EQ(Parse({}, L"D:\\Games\\TnVexa.exe").mode, app::StartMode::Install);
}

TEST(StartMode, PageProcessOperandsSkipTheirFirstCharacter) {
    auto r = Parse({L"/newgm", L"/1234", L"/2"});
    EXPECT_EQ(r.parentWnd, 1234);
    EXPECT_EQ(r.parentPageCount, 2);
    r = Parse({L"/newgm", L"#1234", L"#2"});
    EXPECT_EQ(r.parentWnd, 1234);
    EXPECT_EQ(r.parentPageCount, 2);
    r = Parse({L"/gmhall", L"/987654"});
    EXPECT_EQ(r.mode, app::StartMode::GameHall);
    EXPECT_EQ(r.parentWnd, 987654);
    EXPECT_EQ(r.parentPageCount, 0);
}

TEST(StartMode, MissingOrOverlongOperandsAreSafe) {
    auto r = Parse({L"/newgm"});
    EXPECT_EQ(r.mode, app::StartMode::NewGamePage);
    EXPECT_EQ(r.parentWnd, 0);
    EXPECT_EQ(r.parentPageCount, 0);
    r = Parse({L"/newgm", L"/5"});
    EXPECT_EQ(r.parentWnd, 5);
    EXPECT_EQ(r.parentPageCount, 0);
    r = Parse({L"/gmhall"});
    EXPECT_EQ(r.parentWnd, 0);
    // The handle operand is cut to 15 characters in all, the count to 7.
    r = Parse({L"/newgm", L"/12345678901234567890", L"/12345678901"});
    EXPECT_EQ(r.parentWnd, 12345678901234);
    EXPECT_EQ(r.parentPageCount, 123456);
    r = Parse({L"/newgm", L"", L"x"});
    EXPECT_EQ(r.parentWnd, 0);
    EXPECT_EQ(r.parentPageCount, 0);
}
