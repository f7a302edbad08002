#include "app/crash_dump_path.h"
#include "app/settings_rules.h"

#include <gtest/gtest.h>

TEST(Counter, ConvertsLikeTheRuntimeAndAddsOne) {
    struct Case {
        const wchar_t* stored;
        uint32_t next;
    } cases[] = {
        {L"abc", 1},
        {L"41", 42},
        {L"", 1},
        {L" 7", 8},
        {L"3x", 4},
        {L"-1", 0},
        {L"2147483647", 2147483648u},
        {L"99999999999", 2147483648u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextCounterValue(c.stored), c.next) << c.stored;
    EXPECT_EQ(CounterText(4294967295u), L"4294967295");
}

TEST(DisableDays, FollowTheMillisecondsOfTheClock) {
    using Days = std::array<uint8_t, 4>;
    EXPECT_EQ(ChooseDisableDaysFor(3), (Days{5, 3, 2, 0}));
    EXPECT_EQ(ChooseDisableDaysFor(0), (Days{1, 6, 0, 0}));
    EXPECT_EQ(ChooseDisableDaysFor(999), (Days{3, 5, 4, 0}));
    for (unsigned m = 0; m < 1000; ++m) {
        const auto d = ChooseDisableDaysFor(m);
        EXPECT_LT(d[0], 7);
        EXPECT_LT(d[1], 7);
        EXPECT_LT(d[2], 7);
        EXPECT_NE(d[0], d[1]) << m;
        EXPECT_NE(d[2], d[1]) << m;
        EXPECT_EQ(d[3], 0);
    }
}

TEST(UpdateDay, SameUtcDateOrDisabledWeekdaySuppressTheCheck) {
    const UtcTime wednesday{2026, 12, 3, 9, 23, 59, 0, 0};
    const UtcTime never{};
    const uint32_t days350 = 3u | (5u << 8) | (0u << 16);
    EXPECT_FALSE(IsUpdateDayAt(never, days350, wednesday));
    EXPECT_FALSE(IsUpdateDayAt(never, days350, UtcTime{2026, 12, 5, 11, 0, 0, 0, 0})); // Friday
    EXPECT_FALSE(IsUpdateDayAt(never, days350, UtcTime{2026, 12, 0, 13, 0, 0, 0, 0})); // Sunday via byte 2
    EXPECT_TRUE(IsUpdateDayAt(never, days350, UtcTime{2026, 12, 1, 7, 0, 0, 0, 0}));   // Monday
    EXPECT_TRUE(IsUpdateDayAt(never, 0, UtcTime{2026, 12, 0, 13, 0, 0, 0, 0}));        // all zero: no day
    // An update earlier the same UTC day blocks until midnight, a day later it does not.
    const UtcTime updated{2026, 12, 3, 9, 0, 0, 1, 0};
    EXPECT_FALSE(IsUpdateDayAt(updated, 0, wednesday));
    EXPECT_TRUE(IsUpdateDayAt(updated, 0, UtcTime{2026, 12, 4, 10, 0, 0, 0, 0}));
    EXPECT_TRUE(IsUpdateDayAt(updated, 0, UtcTime{2027, 12, 3, 9, 0, 0, 0, 0}));
}

TEST(UpdateTime, RoundTripsThroughTheStoredBytes) {
    const UtcTime t{2026, 12, 1, 7, 8, 52, 16, 999};
    const auto bytes = EncodeUtcTime(t);
    EXPECT_EQ(bytes[0], 0xEA);
    EXPECT_EQ(bytes[1], 0x07);
    const UtcTime back = DecodeUtcTime(bytes.data(), bytes.size());
    EXPECT_EQ(EncodeUtcTime(back), bytes);
    const UtcTime partial = DecodeUtcTime(bytes.data(), 2);
    EXPECT_EQ(partial.year, 2026);
    EXPECT_EQ(partial.month, 0);
}

TEST(Paths, ProgramFolderAndStatisticsFiles) {
    EXPECT_EQ(ProgramFolderFileFor(L"C:\\a\\b\\TnVexa.exe", L"Statistic.ini"), L"C:\\a\\b\\Statistic.ini");
    EXPECT_EQ(ProgramFolderFileFor(L"TnVexa.exe", L"Statistic.ini"), L"");
    EXPECT_EQ(StatisticsFileFor(L"C:\\ProgramData"), L"C:\\ProgramData\\Vexa\\GameLogin\\Statistic.ini");
    // Installed: both rules name the same file.
    EXPECT_EQ(ProgramFolderFileFor(L"C:\\ProgramData\\Vexa\\GameLogin\\TnVexa.exe", L"Statistic.ini"),
              StatisticsFileFor(L"C:\\ProgramData"));
}

TEST(DumpPath, CutAtTheLastDot) {
    EXPECT_EQ(DumpPathFor(L"C:\\ProgramData\\Vexa\\GameLogin\\TnVexa.exe"),
              L"C:\\ProgramData\\Vexa\\GameLogin\\TnVexa.dmp");
    EXPECT_EQ(DumpPathFor(L"C:\\my.games\\TnVexa"), L"C:\\my.dmp");
    EXPECT_EQ(DumpPathFor(L"C:\\a.b\\c.d\\x.y.exe"), L"C:\\a.b\\c.d\\x.y.dmp");
    EXPECT_EQ(DumpPathFor(L"C:\\games\\TnVexa"), L"");
    EXPECT_EQ(DumpPathFor(L"C:\\" + std::wstring(300, L'a') + L".exe"), L"");
}
