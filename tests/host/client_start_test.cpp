#include <gtest/gtest.h>

#include <string>

#include "base/rate_limit.h"
#include "fw/client_environment.h"

using namespace std::string_literals;

TEST(RateLimit, OneEventASecondAndRefusedOnesDoNotCount) {
    base::RateLimit limit(1000);
    const struct {
        uint64_t at;
        bool allowed;
    } events[] = {{5000, true}, {5000, false}, {5999, false}, {6000, true}, {6500, false}, {7400, true}};
    for (const auto& e : events)
        EXPECT_EQ(limit.Allow(e.at), e.allowed) << e.at;
}

TEST(ClientEnvironment, OwnEntriesWithTheClientPathAndNoDriveFolders) {
    const struct {
        const char* why;
        std::wstring own, expected;
    } cases[] = {
        {"PATH replaced in its place, drive folders left out",
         L"=C:=C:\\Users\\p\\Downloads\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\Users\\p\\bin;C:\\x\0TEMP=t\0\0"s,
         L"ALLUSERSPROFILE=C:\\ProgramData\0PATH=S\0TEMP=t\0\0"s},
        {"a second PATH dropped", L"PATH=a\0path=b\0\0"s, L"PATH=S\0\0"s},
        {"none: put in order", L"OS=W\0TMP=t\0\0"s, L"OS=W\0PATH=S\0TMP=t\0\0"s},
        {"none at all", L"\0"s, L"PATH=S\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fw::ClientEnvironmentBlock(c.own.c_str(), L"S"), c.expected) << c.why;
    EXPECT_EQ(fw::ClientSearchPath(L"C:\\W\\system32", L"C:\\W", L"C:\\P\\G"),
              L"C:\\W\\system32;C:\\W;C:\\W\\system32\\Wbem;C:\\P\\G");
}
