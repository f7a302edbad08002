#include "base/executable_path_win.h"

#include <gtest/gtest.h>

TEST(ExecutablePath, EndsWithExe) {
    const auto path = base::ExecutablePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
}
