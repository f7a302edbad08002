#include "base/library_load_win.h"

#include <delayimp.h>

#include "base/trace_win.h"

namespace base {

namespace {

// A late import is about to be loaded: from the system folder, by its full path, whatever the
// search order of the system in use (one without the default-folders call searches the
// executable's folder first).
FARPROC WINAPI LoadLateImport(unsigned notice, PDelayLoadInfo info) {
    if (notice != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    wchar_t name[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH)) return nullptr;
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(name));
}

// The library or its function is missing: noted, and the loader's exception then ends the
// process (the functions are the system's own, so this means a broken system).
FARPROC WINAPI NoteLateImportFailure(unsigned notice, PDelayLoadInfo info) {
    wchar_t name[MAX_PATH] = {};
    if (info && info->szDll) MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH);
    Trace(notice == dliFailLoadLib ? L"late import: library not loaded" : L"late import: function missing",
          name, info ? info->dwLastError : 0);
    return nullptr;
}

} // namespace

void RestrictLibrarySearch() {
    // Looked up rather than imported: a system without the call still starts (and is covered by
    // the late imports' full paths).
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!restrict || !restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
    __pfnDliNotifyHook2 = &LoadLateImport;
    __pfnDliFailureHook2 = &NoteLateImportFailure;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || lstrlenW(name) + length + 2 > MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpynW(path + length + 1, name, int(MAX_PATH - length - 1));
    HMODULE library = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) Trace(L"system library not loaded", name, GetLastError());
    return library;
}

} // namespace base
