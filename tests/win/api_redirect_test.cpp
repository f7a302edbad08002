// Redirection of a module's export for the whole process and its removal; replacing a slot of
// a table of function pointers in read-only memory.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "base/api_redirect_win.h"
#include "win_test_support.h"

namespace {

using CountFn = UINT (*)();

UINT SeventySeven() {
    return 77;
}

// Through this module's import table, read afresh on each call (within one function the
// compiler may keep the entry's value).
[[gnu::noinline]] UINT ImportedCall() {
    return ::waveOutGetNumDevs();
}

CountFn Export(HMODULE module, const char* name) {
    return reinterpret_cast<CountFn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

TEST(ApiRedirect, EveryWayToTheExportLeadsToTheReplacementUntilRemoved) {
    HMODULE winmm = ::GetModuleHandleW(L"winmm.dll");
    const CountFn exported = Export(winmm, "waveOutGetNumDevs");
    const UINT real = exported();
    base::ApiRedirect redirect;
    EXPECT_FALSE(redirect.Install(winmm, "noSuchExport", reinterpret_cast<void*>(&SeventySeven)));
    ASSERT_TRUE(redirect.Install(winmm, "waveOutGetNumDevs", reinterpret_cast<void*>(&SeventySeven)));
    EXPECT_EQ(redirect.Original(), reinterpret_cast<void*>(exported));

    // The export entry, an offset from the module, leads to a jump placed just above it.
    const CountFn viaExport = Export(winmm, "waveOutGetNumDevs");
    const auto offset = reinterpret_cast<const BYTE*>(viaExport) - reinterpret_cast<const BYTE*>(winmm);
    EXPECT_TRUE(offset > 0 && offset < 0x80000000LL) << offset;
    EXPECT_EQ(viaExport(), 77u);
    EXPECT_EQ(ImportedCall(), 77u);
    HMODULE late = ::LoadLibraryW((wintest::ExeFolder() + L"winmm_caller.dll").c_str());
    ASSERT_TRUE(late);
    const CountFn lateCall = Export(late, "CallWaveOutGetNumDevs");
    EXPECT_EQ(lateCall(), 77u) << "a module loaded since";

    redirect.Remove();
    EXPECT_EQ(Export(winmm, "waveOutGetNumDevs"), exported);
    EXPECT_EQ(ImportedCall(), real);
    EXPECT_EQ(lateCall(), real);
}

TEST(ApiRedirect, TableSlotIsReplacedAndThePageKeepsItsProtection) {
    auto** table =
        static_cast<void**>(::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    int a = 0, b = 0, replacement = 0;
    table[0] = &a;
    table[1] = &b;
    DWORD previous = 0;
    ASSERT_TRUE(::VirtualProtect(table, 4096, PAGE_READONLY, &previous));

    EXPECT_EQ(base::ReplaceTableSlot(table, 1, &replacement), &b);
    EXPECT_EQ(table[0], &a);
    EXPECT_EQ(table[1], &replacement);
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(&table[1], &info, sizeof(info));
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
    ::VirtualFree(table, 0, MEM_RELEASE);
}

} // namespace
