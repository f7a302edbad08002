#include <windows.h>

#include "app/install_folder_win.h"
#include "app/settings_win.h"
#include "fw/safe_file_win.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {
int DayOfWeekUtc() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now.wDayOfWeek;
}

// Each case starts from an empty key and no statistics file.
class SettingsStore : public testing::Test {
protected:
    void SetUp() override {
        // The folders made here read as the user's own (Wine keeps no access lists): the user
        // stands in for the administrators, or every count would move them aside.
        wintest::SetTestSwitch(L"TrustOwnUser", L"1");
        DeleteSettingsKey();
        CreateDirectoryW((base::CommonAppDataFolder() + L"\\Vexa").c_str(), nullptr);
        CreateDirectoryW(InstallFolder().c_str(), nullptr);
        DeleteFileW(StatisticsFilePath().c_str());
    }
    void TearDown() override {
        wintest::ClearTestSwitches();
        DeleteSettingsKey();
        DeleteFileW(StatisticsFilePath().c_str());
    }
};
} // namespace

TEST_F(SettingsStore, CountersStartFromTheDefaultAndKeepTheirText) {
    EXPECT_EQ(IncrementCounter(L"Inst"), 1u);
    EXPECT_EQ(IncrementCounter(L"Inst"), 2u);
    WriteSetting(StatisticsFilePath(), L"Game", L"abc");
    EXPECT_EQ(IncrementCounter(L"Game"), 1u);
    WriteSetting(StatisticsFilePath(), L"Game", L"41");
    EXPECT_EQ(IncrementCounter(L"Game"), 42u);
    EXPECT_EQ(ReadSetting(StatisticsFilePath(), L"Game", L"0", 31), L"42");
    EXPECT_EQ(ReadSetting(StatisticsFilePath(), L"Vexa", L"0", 31), L"0");
}

TEST_F(SettingsStore, ACountBeforeAnyInstallCreatesTheFolderAndKeepsCounting) {
    // A machine where nothing was installed: the folder "Vexa" is put aside meanwhile.
    const std::wstring vexa = base::CommonAppDataFolder() + L"\\Vexa", aside = vexa + L".aside";
    ASSERT_TRUE(MoveFileW(vexa.c_str(), aside.c_str()));
    const uint32_t first = IncrementCounter(L"Vexa");
    const uint32_t second = IncrementCounter(L"Vexa");
    const std::wstring stored = ReadSetting(StatisticsFilePath(), L"Vexa", L"0", 31);
    DeleteFileW(StatisticsFilePath().c_str());
    RemoveDirectoryW(InstallFolder().c_str());
    RemoveDirectoryW(vexa.c_str());
    ASSERT_TRUE(MoveFileW(aside.c_str(), vexa.c_str()));
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(stored, L"2");
}

TEST_F(SettingsStore, SimultaneousIncrementsLoseNothing) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 10; ++i)
                IncrementCounter(L"UnInst");
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ReadSetting(StatisticsFilePath(), L"UnInst", L"0", 31), L"40");
}

TEST_F(SettingsStore, ALockSomeoneElseMadeFirstIsNotWaitedOn) {
    // Everyone may open it: not the program's own, whoever holds it.
    fw::SecurityDescriptor open(L"D:(A;;GA;;;WD)");
    base::Handle held(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread squatter([&] {
        base::Handle lock(CreateMutexW(open.Attributes(), TRUE, L"Global\\TnVexaStatisticCounters"));
        SetEvent(held.Get());
        WaitForSingleObject(release.Get(), 60000);
    });
    ASSERT_EQ(WaitForSingleObject(held.Get(), 60000), WAIT_OBJECT_0);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(IncrementCounter(L"Inst"), 1u);
    // The lock's own wait would be ten seconds.
    EXPECT_LT(GetTickCount64() - start, 5000u);
    SetEvent(release.Get());
    squatter.join();
}

TEST_F(SettingsStore, UpdateDayFollowsTheRegistryValues) {
    EXPECT_TRUE(IsUpdateDay()); // the key is created empty: nothing disables today
    ASSERT_TRUE(StoreUpdateTime());
    EXPECT_FALSE(IsUpdateDay());
    uint8_t time[16] = {};
    ASSERT_TRUE(ReadRegistryBinary(L"UpdTime", time, sizeof(time)));
    SYSTEMTIME now;
    GetSystemTime(&now);
    EXPECT_EQ(time[0] | (time[1] << 8), now.wYear);

    DeleteSettingsKey();
    const uint8_t today[4] = {uint8_t((DayOfWeekUtc() + 1) % 7), uint8_t(DayOfWeekUtc()), 0, 0};
    ASSERT_TRUE(WriteRegistryBinary(L"DisableDays", today, 4));
    EXPECT_FALSE(IsUpdateDay());
}

TEST_F(SettingsStore, DisableDaysAreThreeValidWeekdays) {
    ASSERT_TRUE(ChooseDisableDays());
    uint8_t days[4] = {9, 9, 9, 9};
    ASSERT_TRUE(ReadRegistryBinary(L"DisableDays", days, 4));
    EXPECT_LT(days[0], 7);
    EXPECT_LT(days[1], 7);
    EXPECT_LT(days[2], 7);
    EXPECT_EQ(days[3], 0);
}

TEST(SettingsPaths, ProgramFolderFileIsBesideTheExecutable) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring expected(exe);
    expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"Statistic.ini";
    EXPECT_EQ(ProgramFolderFile(L"Statistic.ini"), expected);
    EXPECT_EQ(InstallFolder(), base::CommonAppDataFolder() + L"\\Vexa\\GameLogin");
}
