#include "app/crash_dump_win.h"

#include <dbghelp.h>
#include <sddl.h>
#include <shlobj.h>

#include <iterator>

#include "app/crash_dump_path.h"
#include "base/executable_path_win.h"
#include "base/handle_win.h"
#include "base/library_load_win.h"
#include "base/user_folder_win.h"
#include "base/trace_win.h"
#include "fw/safe_file_win.h"

std::atomic<bool> DumpWritten{false};

namespace {

// The dump path is worked out when the filter is installed, so that the filter itself neither
// allocates nor depends on a heap that the crash may have damaged.
wchar_t g_dumpPath[MAX_PATH] = {};
// The path the dump must resolve to (its folder as the file system resolved it): a dump made
// through a link that someone put in the way is deleted again.
wchar_t g_dumpFinalPath[1024] = {};
// The dump holds the process's private memory: only the system and administrators may read it.
fw::SecurityDescriptor* g_dumpDescriptor = nullptr;

// 0: no crash yet; 1: a dump is being written; 2: done. A crash on another thread while the
// first dump is written waits for it (bounded) instead of racing it or ending the process
// under it; a crash inside the writer itself just ends the process.
std::atomic<int> g_state{0};
std::atomic<DWORD> g_writerThread{0};

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

constexpr DWORD kDumpTypes[] = {0x1A25, 0x0225, 0};

// A new dump file, never one opened through what is there: an earlier dump (or whatever has its
// name, a link included) is deleted itself, then the name is created new once more.
HANDLE CreateDumpFile() {
    HANDLE file =
        fw::CreateNewFileAt(g_dumpPath, g_dumpFinalPath, GENERIC_WRITE, g_dumpDescriptor->Attributes());
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    HANDLE old =
        CreateFileW(g_dumpPath, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (old == INVALID_HANDLE_VALUE) return old;
    const bool gone = fw::DeleteByHandle(old);
    CloseHandle(old);
    if (!gone) return INVALID_HANDLE_VALUE;
    return fw::CreateNewFileAt(g_dumpPath, g_dumpFinalPath, GENERIC_WRITE, g_dumpDescriptor->Attributes());
}

// The player's dump folder, made where missing: each step a plain folder where it was asked for
// (the page process may be running with full rights after all, and the folders are the player's
// to change). The "\\?\" form; empty when it can't be had.
std::wstring PlayerDumpFolder() {
    std::wstring folder = base::UserFolderInsideProfile(CSIDL_LOCAL_APPDATA);
    for (const wchar_t* part : {L"Vexa", L"GameLogin"}) {
        if (folder.empty()) return {};
        folder = folder + L"\\" + part;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
        // Through a link the folder would resolve elsewhere (or, a link itself, not at all).
        const std::wstring resolved = fw::FinalPathForNewFile(folder, L"");
        if (resolved.empty() || CompareStringOrdinal(resolved.c_str(), -1, (folder.substr(4) + L"\\").c_str(),
                                                     -1, TRUE) != CSTR_EQUAL)
            folder.clear();
    }
    return folder;
}

// The player alone besides the system and administrators: the page's memory is the player's.
std::wstring PlayerDumpSddl() {
    std::wstring sddl;
    base::Handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) return sddl;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    base::LocalMemory<wchar_t*> sid;
    if (GetTokenInformation(token.Get(), TokenUser, buffer, sizeof(buffer), &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid.Put()))
        sddl = std::wstring(fw::kAdministratorsOnlySddl) + L"(A;;FA;;;" + sid.Get() + L")";
    return sddl;
}

} // namespace

void InstallCrashFilter(DumpPlace place) {
    std::wstring path = DumpPathFor(base::ExecutablePath());
    std::wstring sddl = fw::kAdministratorsOnlySddl;
    if (place == DumpPlace::PlayerFolder && !path.empty()) {
        const std::wstring folder = PlayerDumpFolder();
        path = folder.empty() ? std::wstring() : folder + path.substr(path.rfind(L'\\'));
        sddl = PlayerDumpSddl();
        if (sddl.empty()) path.clear(); // never a file anyone may read
    }
    const size_t slash = path.rfind(L'\\');
    const std::wstring final = slash == std::wstring::npos
                                   ? std::wstring()
                                   : fw::FinalPathForNewFile(path.substr(0, slash), path.substr(slash + 1));
    static fw::SecurityDescriptor descriptor(sddl.c_str());
    g_dumpDescriptor = &descriptor;
    if (path.size() < MAX_PATH && !final.empty() && final.size() < std::size(g_dumpFinalPath) && descriptor) {
        lstrcpynW(g_dumpPath, path.c_str(), MAX_PATH);
        lstrcpynW(g_dumpFinalPath, final.c_str(), int(std::size(g_dumpFinalPath)));
    } else {
        base::Trace(L"no crash dump possible at", path, GetLastError());
    }
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

    HMODULE dbghelp = base::LoadSystemLibrary(L"dbghelp.dll");
    if (!dbghelp) return;
    auto write = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    bool written = false;
    if (write) {
        for (DWORD type : kDumpTypes) {
            written = write(GetCurrentProcess(), GetCurrentProcessId(), file,
                            static_cast<MINIDUMP_TYPE>(type), &info, nullptr, nullptr);
            if (written) break;
        }
    }
    if (!written) base::Trace(L"crash dump not written", write ? GetLastError() : ERROR_PROC_NOT_FOUND);
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
    HANDLE file = CreateDumpFile();
    if (file != INVALID_HANDLE_VALUE) {
        WriteMiniDump(file, pointers);
        CloseHandle(file);
    } else {
        base::Trace(L"crash dump file not made", g_dumpPath, GetLastError());
    }
    DumpWritten = true;
    g_state = 2;
    return EXCEPTION_CONTINUE_SEARCH;
}
