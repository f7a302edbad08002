#include "app/crash_dump_win.h"

#include <gtest/gtest.h>

#include <string>

#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

struct CrashRun {
    DWORD exitCode = 0;
    bool finished = false;
};

CrashRun RunCrasher(const std::wstring& how) {
    const std::wstring exe = wintest::ExeFolder() + L"crasher.exe";
    std::wstring cmd = L"\"" + exe + L"\" " + how;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    CrashRun run;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        wintest::ExeFolder().c_str(), &si, &pi))
        return run;
    run.finished = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    if (!run.finished) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

// The size of a file that starts with the minidump signature, or -1.
long long DumpSize(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return -1;
    char sig[4] = {};
    DWORD got = 0;
    ReadFile(f, sig, 4, &got, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    CloseHandle(f);
    return (got == 4 && memcmp(sig, "MDMP", 4) == 0) ? size.QuadPart : -1;
}

const std::wstring kDump = wintest::ExeFolder() + L"crasher.dmp";

}  // namespace

TEST(CrashDump, AFaultLeavesOneDumpBesideTheExecutable) {
    // A file left at the dump's name (an earlier dump) is replaced by a new one.
    for (const bool leftBefore : {false, true}) {
        SCOPED_TRACE(leftBefore ? "a file was there" : "no file was there");
        DeleteFileW(kDump.c_str());
        if (leftBefore) {
            ASSERT_TRUE(wintest::WriteFileBytes(kDump, "stale"));
        }
        const CrashRun run = RunCrasher(L"single");
        ASSERT_TRUE(run.finished);
        EXPECT_NE(run.exitCode, 5u);  // the fault ended the process
        EXPECT_GT(DumpSize(kDump), 0);
    }
}

TEST(CrashDump, TwoThreadsFaultingTogetherWriteOneDumpAndEnd) {
    DeleteFileW(kDump.c_str());
    const CrashRun run = RunCrasher(L"nested");
    ASSERT_TRUE(run.finished) << "a nested crash must not hang";
    EXPECT_NE(run.exitCode, 4u);
    EXPECT_GT(DumpSize(kDump), 0);
}

TEST(CrashDump, ASecondCallAfterTheDumpEndsQuietlyWithoutWriting) {
    DeleteFileW(kDump.c_str());
    const CrashRun run = RunCrasher(L"twice");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GT(DumpSize(kDump), 0);
}

TEST(CrashDump, ADirectCallRecordsTheCallersState) {
    const std::wstring path = wintest::ExeFolder() + L"crasher-direct.dmp";
    DeleteFileW(path.c_str());
    const CrashRun run = RunCrasher(L"direct");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GT(DumpSize(path), 0);
}
