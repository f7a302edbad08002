#include "base/environment_block.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(EnvironmentBlock, SetsTheValueOnceWhateverTheBlockHeld) {
    const struct {
        const char* name;
        std::wstring block;
        std::wstring expected;
    } cases[] = {
        {"empty environment", L""s, L"__COMPAT_LAYER=RunAsInvoker\0\0"s},
        {"added after the others", L"A=1\0=C:=C:\\x\0\0"s,
         L"A=1\0=C:=C:\\x\0__COMPAT_LAYER=RunAsInvoker\0\0"s},
        {"replaced in any letter case", L"__compat_layer=ElevateCreateProcess\0B=2\0\0"s,
         L"B=2\0__COMPAT_LAYER=RunAsInvoker\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::WithEnvironmentValue(c.block, L"__COMPAT_LAYER", L"RunAsInvoker"), c.expected)
            << c.name;
}
