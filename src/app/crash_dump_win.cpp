#include "app/crash_dump_win.h"

#include <dbghelp.h>

#include "app/crash_rules.h"
#include "base/executable_path_win.h"

std::atomic<bool> DumpWritten{false};

namespace {

// The dump path is worked out when the filter is installed, so that the filter itself neither
// allocates nor depends on a heap that the crash may have damaged.
wchar_t g_dumpPath[MAX_PATH] = {};

// 0: no crash yet; 1: a dump is being written; 2: done. A crash on another thread while the
// first dump is written waits for it (bounded) instead of racing it or ending the process
// under it; a crash inside the writer itself just ends the process.
std::atomic<int> g_state{0};
std::atomic<DWORD> g_writerThread{0};

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

constexpr DWORD kDumpTypes[] = {0x1A25, 0x0225, 0};

} // namespace

void InstallCrashFilter() {
    const std::wstring path = DumpPathFor(base::ExecutablePath());
    if (path.size() < MAX_PATH) lstrcpynW(g_dumpPath, path.c_str(), MAX_PATH);
    SetUnhandledExceptionFilter(CrashFilter);
}

void WriteMiniDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    if (!pointers) {
        // No exception to describe: record the caller's state as a breakpoint at this point.
        CONTEXT context{};
        RtlCaptureContext(&context);
        EXCEPTION_RECORD record{};
        record.ExceptionCode = EXCEPTION_BREAKPOINT;
        record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
        EXCEPTION_POINTERS own{&record, &context};
        WriteMiniDump(file, &own);
        return;
    }
    MINIDUMP_EXCEPTION_INFORMATION info{};
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = pointers;
    info.ClientPointers = TRUE;

    HMODULE dbghelp = LoadLibraryW(L"DbgHelp.dll");
    if (!dbghelp) return;
    auto write = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    if (write) {
        for (DWORD type : kDumpTypes) {
            if (write(GetCurrentProcess(), GetCurrentProcessId(), file, static_cast<MINIDUMP_TYPE>(type),
                      &info, nullptr, nullptr))
                break;
        }
    }
    FreeLibrary(dbghelp);
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    int expected = 0;
    if (!g_state.compare_exchange_strong(expected, 1)) {
        if (expected == 1 && g_writerThread.load() != GetCurrentThreadId()) {
            for (int i = 0; i < 300 && g_state.load() == 1; ++i)
                Sleep(100);
        }
        return EXCEPTION_EXECUTE_HANDLER;
    }
    g_writerThread = GetCurrentThreadId();
    if (g_dumpPath[0] == L'\0') {
        g_state = 0; // no dump possible: the system's usual handling, as for any first crash
        return EXCEPTION_CONTINUE_SEARCH;
    }
    HANDLE file =
        CreateFileW(g_dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        WriteMiniDump(file, pointers);
        CloseHandle(file);
    }
    DumpWritten = true;
    g_state = 2;
    return EXCEPTION_CONTINUE_SEARCH;
}
