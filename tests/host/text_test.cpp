#include "base/text.h"

#include <gtest/gtest.h>

TEST(ParseLong, ReadsLikeTheRuntime) {
    struct Case {
        const wchar_t* text;
        int32_t value;
    } cases[] = {
        {L"41", 41},
        {L"abc", 0},
        {L"  -7x", -7},
        {L"+12", 12},
        {L"", 0},
        {L"-", 0},
        {L"99999999999", INT32_MAX},
        {L"-99999999999", INT32_MIN},
        {L"2147483647", INT32_MAX},
        {L"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::ParseLong(c.text), c.value) << c.text;
}

TEST(EqualsNoCase, FoldsAsciiOnly) {
    EXPECT_TRUE(base::EqualsNoCase(L"/UPDATE", L"/update"));
    EXPECT_FALSE(base::EqualsNoCase(L"/update2", L"/update"));
    EXPECT_FALSE(base::EqualsNoCase(L"Ä", L"ä"));
}

#include "net/publisher.h"

TEST(PublisherUrl, OverrideReplacesEveryHost) {
    using net::PublisherSite;
    for (auto site : {PublisherSite::Client, PublisherSite::WebGame, PublisherSite::Hall}) {
        EXPECT_EQ(net::PublisherUrl(site, L"/a.htm", L"127.0.0.1:8080"), L"http://127.0.0.1:8080/a.htm");
        EXPECT_EQ(net::PublisherUrl(site, L"/a.htm", L""),
                  L"http://" + std::wstring(net::DefaultPublisherHost(site)) + L"/a.htm");
    }
}
TEST(Text, InsideFolderMeansStrictlyBelowItsWholeComponents) {
    const wchar_t* profile = LR"(\\?\C:\users\Player)";
    const std::pair<const wchar_t*, bool> cases[] = {
        {LR"(\\?\C:\users\player\AppData\Local\INetCache)", true},
        {LR"(\\?\C:\users\Player\x)", true},
        {LR"(\\?\C:\users\Player)", false}, // the profile itself
        {LR"(\\?\C:\users\Player\)", false},
        {LR"(\\?\C:\users\Player2\x)", false},  // a sibling sharing the prefix
        {LR"(\\?\C:\Windows\System32)", false}, // a shell folder pointed elsewhere
        {LR"(\\?\C:\users\Player\..\Admin\x)", false},
        {LR"(\\?\C:\users\Player\a\.)", false},
        {L"", false},
    };
    for (const auto& [path, inside] : cases)
        EXPECT_EQ(base::IsInsideFolder(path, profile), inside) << path;
    EXPECT_FALSE(base::IsInsideFolder(LR"(C:\x)", L""));
}
