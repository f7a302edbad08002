// The automation channel's request, read from another process's block.
#include "web/automation_channel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(AutomationChannel, UrlIsReadDefensively) {
    const char16_t url[] = u"app://loadgame?S1%E6%9C%8D-x-y|http://127.0.0.1/g";
    EXPECT_EQ(web::ReadAutomationUrl(url, sizeof(url)),
              std::wstring(L"app://loadgame?S1%E6%9C%8D-x-y|http://127.0.0.1/g"));
    // Without its zero the block still ends the URL.
    EXPECT_EQ(web::ReadAutomationUrl(url, 6 * 2), std::wstring(L"app://"));
    // Any alignment of another process's block.
    std::vector<unsigned char> shifted(1 + 4);
    std::memcpy(shifted.data() + 1, u"ab", 4);
    EXPECT_EQ(web::ReadAutomationUrl(shifted.data() + 1, 4), std::wstring(L"ab"));
    EXPECT_FALSE(web::ReadAutomationUrl(nullptr, 8));
    EXPECT_FALSE(web::ReadAutomationUrl(url, 0));
    EXPECT_FALSE(web::ReadAutomationUrl(url, 5));
    EXPECT_FALSE(web::ReadAutomationUrl(u"\0abc", 8));
    std::u16string tooLong(web::kMaxAutomationUrlChars + 1, u'a');
    EXPECT_FALSE(web::ReadAutomationUrl(tooLong.data(), tooLong.size() * 2));
    tooLong.pop_back();
    EXPECT_TRUE(web::ReadAutomationUrl(tooLong.data(), tooLong.size() * 2));
}
