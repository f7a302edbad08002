#include <gtest/gtest.h>

#include <string>

#include "base/rate_limit.h"
#include "fw/client_environment.h"

using namespace std::string_literals;

TEST(RateLimit, OneEventASecondAndRefusedOnesDoNotCount) {
    base::RateLimit limit(1000);
    const std::pair<uint64_t, bool> events[] = {
        {5000, true}, {5999, false}, {6000, true}, {6500, false}, {7400, true}};
    for (const auto& [at, allowed] : events)
        EXPECT_EQ(limit.Allow(at), allowed) << at;
}

TEST(ClientEnvironment, OwnEntriesWithTheClientPathAndNoDriveFolders) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"=C:=C:\\Users\\p\\Downloads\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\p\\bin\0path=x\0TEMP=t\0\0"s,
         L"ALLUSERSPROFILE=C:\\ProgramData\0PATH=S\0TEMP=t\0\0"s},
        {L"OS=W\0TMP=t\0\0"s, L"OS=W\0PATH=S\0TMP=t\0\0"s}, // none: put where the names' order puts it
    };
    for (const auto& [own, expected] : cases)
        EXPECT_EQ(fw::ClientEnvironmentBlock(own.c_str(), L"S"), expected);
}
