#include <gtest/gtest.h>

#include "app/update.h"

namespace {

constexpr const wchar_t* kDigest = L"0123456789abcdef0123456789abcdef";

TEST(ReleaseKey, DigestCutForTheVersionDigits) {
    EXPECT_EQ(app::VersionDigits(app::kVersionText), L"3001");
    EXPECT_EQ(app::ReleaseKey(kDigest, L"3.0.0.1"), L"0123456789abcdef0123456789ab3001");
    EXPECT_EQ(app::ReleaseKey(kDigest, L"3.0.0.1").size(), 32u);
    EXPECT_EQ(app::ReleaseKey(kDigest, L"10.2.33.4567"), L"0123456789abcdef0123456102334567");
    EXPECT_EQ(app::ReleaseKey(L"", L"3.0.0.1"), L""); // an unreadable file has no key
}

TEST(ReleaseKey, PublishedKeyComparedWithoutRegardToCase) {
    const std::wstring local = app::ReleaseKey(kDigest, L"3.0.0.1");
    EXPECT_FALSE(app::ReleaseKeysDiffer(L"0123456789ABCDEF0123456789AB3001", local));
    EXPECT_TRUE(app::ReleaseKeysDiffer(L"0123456789abcdef0123456789ab3002", local));
    EXPECT_TRUE(app::ReleaseKeysDiffer(L"", local));
}

TEST(DigestMatchesReleaseKey, LeadingTwentyFourDigitsOfAnyVersionSuffix) {
    struct Case {
        const wchar_t* key;
        bool matches;
    };
    const Case cases[] = {
        {L"0123456789abcdef0123456789ab3001", true},
        {L"0123456789ABCDEF0123456789AB3002", true}, // another version of the same file
        {L"0123456789abcdef0123456712345678", true}, // an eight-digit suffix
        {L"0123456789abcdef01234567", true},
        {L"0123456789abcdef0123456", false}, // too short to tell
        {L"0123456789abcdef0123456x89ab3001", false},
        {L"1123456789abcdef0123456789ab3001", false},
        {L"", false},
        {L"zzzzzzzzzzzzzzzzzzzzzzzzzzzz3001", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::DigestMatchesReleaseKey(kDigest, c.key), c.matches) << c.key;
    EXPECT_FALSE(app::DigestMatchesReleaseKey(L"", L"0123456789abcdef0123456789ab3001"));
}

TEST(StartModeMayCheckForUpdate, OnlyModesThatOpenTheMainWindow) {
    const bool expected[8] = {false, false, true, true, false, true, false, true};
    for (int mode = 0; mode < 8; ++mode)
        EXPECT_EQ(app::StartModeMayCheckForUpdate(static_cast<app::StartMode>(mode)), expected[mode]) << mode;
}

TEST(PackedVersion, FourFieldsOfSixteenBitsCompareAsNumbers) {
    EXPECT_EQ(app::PackedVersion(L"3.0.0.1"), 0x0003000000000001ull);
    EXPECT_LT(app::PackedVersion(L"2.9.65535.9"), app::PackedVersion(L"3.0.0.1"));
    EXPECT_LT(app::PackedVersion(L"3.0.0.1"), app::PackedVersion(L"3.0.0.10"));
    for (const wchar_t* bad :
         {L"", L"3.0.0", L"3.0.0.1.2", L"3..0.1", L"3.0.0.65536", L"3.0.0.1a", L"3.0.0."})
        EXPECT_EQ(app::PackedVersion(bad), 0u) << bad;
}

} // namespace
