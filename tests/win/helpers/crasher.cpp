// Crashes on purpose with the program's crash filter installed, in the way its argument says:
//   single   one access violation on the main thread
//   nested   two threads fault at the same moment
//   twice    a second fault after the first dump (the filter is called again by hand)
//   direct   WriteMiniDump without exception pointers into crasher-direct.dmp, then exit 0
#include <windows.h>

#include <cstdio>

#include "app/crash_dump_win.h"

namespace {
volatile int* g_null = nullptr;

DWORD WINAPI Fault(void*) {
    *g_null = 1;
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    InstallCrashFilter();
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const wchar_t* how = argc > 1 ? argv[1] : L"single";
    if (lstrcmpW(how, L"direct") == 0) {
        HANDLE file = CreateFileW(L"crasher-direct.dmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        WriteMiniDump(file, nullptr);
        CloseHandle(file);
        return 0;
    }
    if (lstrcmpW(how, L"twice") == 0) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        CONTEXT context{};
        RtlCaptureContext(&context);
        EXCEPTION_POINTERS pointers{&record, &context};
        const LONG first = CrashFilter(&pointers);
        const LONG second = CrashFilter(&pointers);
        std::printf("verdicts %ld %ld written %d\n", first, second, DumpWritten.load() ? 1 : 0);
        return first == EXCEPTION_CONTINUE_SEARCH && second == EXCEPTION_EXECUTE_HANDLER ? 0 : 3;
    }
    if (lstrcmpW(how, L"nested") == 0) {
        HANDLE threads[2] = {CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr),
                             CreateThread(nullptr, 0, Fault, nullptr, 0, nullptr)};
        WaitForMultipleObjects(2, threads, TRUE, 20000);
        return 4;  // not reached: a fault ends the process
    }
    Fault(nullptr);
    return 5;
}
