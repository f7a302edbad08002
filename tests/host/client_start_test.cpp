#include <gtest/gtest.h>

#include <string>

#include "fw/client_environment.h"

using namespace std::string_literals;

TEST(ClientEnvironment, OwnEntriesWithTheClientPathAndNoDriveFolders) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"=C:=C:\\Users\\p\\Downloads\0ALLUSERSPROFILE=C:\\ProgramData\0Path=C:\\p\\bin\0path=x\0TEMP=t\0\0"s,
         L"ALLUSERSPROFILE=C:\\ProgramData\0PATH=S\0TEMP=t\0\0"s},
        {L"OS=W\0TMP=t\0\0"s, L"OS=W\0PATH=S\0TMP=t\0\0"s}, // none: put where the names' order puts it
    };
    for (const auto& [own, expected] : cases)
        EXPECT_EQ(fw::ClientEnvironmentBlock(own.c_str(), L"S"), expected);
}
