#include "app/settings_win.h"

#include <windows.h>
#include <shlobj.h>

#include "app/install_folder_win.h"
#include "app/start_mode.h"
#include "base/access_rules.h"
#include "base/executable_path_win.h"
#include "base/handle_win.h"
#include "base/trace_win.h"
#include "fw/safe_file_win.h"

namespace {

// The settings key, created when it is missing; empty when it can't be had.
base::RegKey OpenSettingsKey(REGSAM access) {
    base::RegKey key;
    const LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::wstring(kSettingsRegistryKey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, access, nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
        base::Trace(L"settings: key not opened", DWORD(status));
        key.Release(); // nothing was opened
    }
    return key;
}

// Holds the counters' named lock for the life of the object; a lock that can't be had (or a wait
// that outlasts another process by far) lets the update go ahead rather than block a start.
// The name is in the global namespace, where any user may create it first: a lock that is not
// the program's own (owned by the system or administrators, nobody else let in) is never
// waited on.
class CounterLock {
public:
    CounterLock() {
        fw::SecurityDescriptor descriptor(kCounterLockSddl);
        for (const wchar_t* name : {L"Global\\TnVexaStatisticCounters", L"Local\\TnVexaStatisticCounters"}) {
            m_mutex = base::Handle(CreateMutexW(descriptor.Attributes(), FALSE, name));
            if (m_mutex) break;
        }
        const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
        if (m_mutex && existed &&
            !fw::OnlyAdministratorsMay(m_mutex.Get(), SE_KERNEL_OBJECT, base::kAnyRight))
            m_mutex.Reset();
        if (m_mutex) {
            const DWORD r = WaitForSingleObject(m_mutex.Get(), 10000);
            m_owned = (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED);
        }
    }
    ~CounterLock() {
        if (m_owned) ReleaseMutex(m_mutex.Get());
    }
    CounterLock(const CounterLock&) = delete;
    CounterLock& operator=(const CounterLock&) = delete;

private:
    base::Handle m_mutex;
    bool m_owned = false;
};

UtcTime NowUtc() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return UtcTime{st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
                   st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
}

} // namespace

std::wstring StatisticsFilePath() {
    return StatisticsFileFor(base::CommonAppDataFolder());
}

uint32_t IncrementCounter(const wchar_t* key) {
    const std::wstring file = StatisticsFilePath();
    // The profile writer creates the file but not its folder: a launch on a machine where
    // nothing was installed yet would lose its count every time. A folder of the administrators'
    // that others may change is re-protected first; one of anyone else (or a link) is not
    // written through: it would take the elevated write elsewhere. It is left where it is (the
    // running copy may live in it); the next install moves it aside.
    const bool folder = CreateInstallFolder(fw::Untrusted::Refuse);
    CounterLock lock;
    const uint32_t value = NextCounterValue(ReadSetting(file, key, L"0", 31));
    if (folder) WriteSetting(file, key, CounterText(value));
    return value;
}

bool ReadRegistryBinary(const wchar_t* value, void* data, uint32_t size) {
    const base::RegKey key = OpenSettingsKey(KEY_READ);
    if (!key) return false;
    DWORD type = 0, got = size;
    return RegQueryValueExW(key.Get(), value, nullptr, &type, static_cast<BYTE*>(data), &got) ==
           ERROR_SUCCESS;
}

bool WriteRegistryBinary(const wchar_t* value, const void* data, uint32_t size) {
    const base::RegKey key = OpenSettingsKey(KEY_WRITE);
    if (!key) return false;
    return RegSetValueExW(key.Get(), value, 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool ChooseDisableDays() {
    const auto days = ChooseDisableDaysFor(NowUtc().milliseconds);
    return WriteRegistryBinary(L"DisableDays", days.data(), uint32_t(days.size()));
}

bool IsUpdateDay() {
    const base::RegKey key = OpenSettingsKey(KEY_READ);
    if (!key) return false;
    uint8_t time[16] = {};
    DWORD type = 0, size = sizeof(time);
    if (RegQueryValueExW(key.Get(), L"UpdTime", nullptr, &type, time, &size) != ERROR_SUCCESS) size = 0;
    const UtcTime last = DecodeUtcTime(time, size);
    uint8_t days[4] = {};
    size = sizeof(days);
    if (RegQueryValueExW(key.Get(), L"DisableDays", nullptr, &type, days, &size) != ERROR_SUCCESS)
        days[0] = days[1] = days[2] = days[3] = 0;
    const uint32_t disable =
        uint32_t(days[0]) | (uint32_t(days[1]) << 8) | (uint32_t(days[2]) << 16) | (uint32_t(days[3]) << 24);
    return IsUpdateDayAt(last, disable, NowUtc());
}

bool StoreUpdateTime() {
    const auto bytes = EncodeUtcTime(NowUtc());
    return WriteRegistryBinary(L"UpdTime", bytes.data(), uint32_t(bytes.size()));
}

bool DeleteSettingsKey() {
    return RegDeleteTreeW(HKEY_LOCAL_MACHINE, std::wstring(kSettingsRegistryKey).c_str()) == ERROR_SUCCESS;
}
