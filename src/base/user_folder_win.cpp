#include "base/user_folder_win.h"

#include <windows.h>
#include <shlobj.h>
#include <userenv.h>

#include "base/handle_win.h"
#include "base/text.h"
#include "base/trace_win.h"

namespace base {

namespace {

// A shell folder's path through its item list, which the shell's allocator frees; empty when the
// shell does not know it.
std::wstring ShellFolderPath(int csidl) {
    LPITEMIDLIST location = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &location)) || !location) return {};
    wchar_t path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(location, path) != FALSE;
    CoTaskMemFree(location);
    return found ? std::wstring(path) : std::wstring();
}

// The folder as the file system resolves it; empty when it cannot be opened.
std::wstring ResolvedFolder(const std::wstring& path) {
    const Handle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return folder ? FinalPathOf(folder.Get()) : std::wstring();
}

} // namespace

std::wstring ProfileFolder() {
    Handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) return {};
    wchar_t profile[MAX_PATH] = {};
    DWORD size = ARRAYSIZE(profile);
    return GetUserProfileDirectoryW(token.Get(), profile, &size) ? ResolvedFolder(profile) : std::wstring();
}

std::wstring FinalPathOf(void* handle) {
    wchar_t resolved[1024] = {};
    const DWORD n = GetFinalPathNameByHandleW(handle, resolved, ARRAYSIZE(resolved), FILE_NAME_NORMALIZED);
    return n > 0 && n < ARRAYSIZE(resolved) ? std::wstring(resolved, n) : std::wstring();
}

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) : std::wstring();
}

std::wstring CommonAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::wstring UserFolderInsideProfile(int csidl, const wchar_t* subfolder) {
    const std::wstring shellFolder = ShellFolderPath(csidl);
    if (shellFolder.empty()) return {};
    const std::wstring folder = ResolvedFolder(shellFolder + subfolder);
    const std::wstring profile = ProfileFolder();
    if (folder.empty() || profile.empty()) return {};
    if (!IsInsideFolder(folder, profile)) {
        Trace(L"user folder outside the profile refused", folder, 0);
        return {};
    }
    return folder;
}

} // namespace base
