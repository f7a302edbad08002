#include "base/codepage_win.h"

#include <gtest/gtest.h>

TEST(Codepage, Utf8RoundTripsChinese) {
    const std::wstring text = L"确定要移除 VexaTarn微端吗？";
    EXPECT_EQ(base::FromUtf8(base::ToUtf8(text)), text);
}

TEST(Codepage, ExecutablePathEndsWithExe) {
    const auto path = base::ExecutablePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
}
