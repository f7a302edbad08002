#include "app/shortcuts_win.h"

#include <windows.h>
#include <shlobj.h>

#include "app/install_rules.h"
#include "app/start_mode.h"
#include "base/handle_win.h"
#include "base/text.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/safe_file_win.h"

namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteLink(const std::wstring& folder, const std::wstring& name) {
    if (name.empty() || folder.empty()) return false;
    const std::wstring link = app::LinkPathFor(folder, name);
    if (link.empty()) return false;
    if (DeleteFileW(link.c_str())) return true;
    // A link that is not there is the usual case, not a failure.
    if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
        base::Trace(L"shortcut not deleted", link, GetLastError());
    return false;
}

// Deletes `name`'s link from the user's own desktop. The player may point that folder anywhere
// and fill it with links, and the program runs elevated: the entry is opened as itself (a link
// at its name goes as a link, never followed) and deleted through that handle only when the file
// system places it inside the desktop folder as resolved through the folder's own handle.
bool DeleteOwnDesktopLink(const std::wstring& desktop, const std::wstring& name) {
    const std::wstring link = app::LinkPathFor(desktop, name);
    if (link.empty()) return false;
    const base::Handle folder(CreateFileW(desktop.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring resolved = folder ? base::FinalPathOf(folder.Get()) : std::wstring();
    if (resolved.empty()) {
        base::Trace(L"user's desktop not resolved", desktop, GetLastError());
        return false;
    }
    const base::Handle entry = fw::OpenWithoutFollowing(link, DELETE | FILE_READ_ATTRIBUTES);
    if (!entry) {
        // No such link is the usual case, not a failure.
        if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
            base::Trace(L"shortcut not deleted", link, GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(entry.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !base::IsInsideFolder(base::FinalPathOf(entry.Get()), resolved)) {
        base::Trace(L"shortcut not deleted: not a file inside the user's desktop", link, 0);
        return false;
    }
    if (fw::DeleteByHandle(entry.Get())) return true;
    base::Trace(L"shortcut not deleted", link, GetLastError());
    return false;
}

// Calls `entry` for each entry of the folder but "." and ".."; false when it can't be listed.
template <class Visit> bool ForEachEntry(const std::wstring& folder, Visit entry) {
    std::wstring pattern = folder;
    if (pattern.back() != L'\\') pattern += L'\\';
    const std::wstring prefix = pattern;
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const base::FileFind find(FindFirstFileW(pattern.c_str(), &found));
    if (!find) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entry(prefix + name, found.dwFileAttributes);
    } while (FindNextFileW(find.Get(), &found));
    return true;
}

bool IsRealFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

ShortcutFolders SystemShortcutFolders() {
    return {ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), base::UserFolderInsideProfile(CSIDL_DESKTOPDIRECTORY),
            ShellFolder(CSIDL_COMMON_PROGRAMS)};
}

bool CreateShellLink(const std::wstring& target, const std::wstring& linkPath, const std::wstring& arguments,
                     const std::wstring& description) {
    if (linkPath.empty()) return false;
    const auto failed = [&linkPath](HRESULT hr) {
        if (FAILED(hr)) base::Trace(L"shortcut not made", linkPath, hr);
        return FAILED(hr);
    };
    base::ComPtr<IShellLinkW> link;
    if (failed(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())))
        return false;
    link->SetPath(target.c_str());
    link->SetIconLocation(target.c_str(), 0);
    base::ComPtr<IPersistFile> file;
    if (failed(link.As(file))) return false;
    link->SetArguments(arguments.c_str());
    if (!description.empty()) link->SetDescription(description.c_str());
    // The answer is whether the file was written: a failed save is no shortcut.
    return !failed(file->Save(linkPath.c_str(), TRUE));
}

bool CreateDesktopShortcut(const std::wstring& target, const ShortcutFolders& folders) {
    if (target.empty() || !IsFile(target) || folders.commonDesktop.empty()) return false;
    const std::wstring name(app::kProgramLinkName);
    if (!folders.userDesktop.empty()) DeleteOwnDesktopLink(folders.userDesktop, name);
    return CreateShellLink(target, app::LinkPathFor(folders.commonDesktop, name),
                           std::wstring(app::kShortcutOption), name);
}

std::wstring StartMenuFolder(const ShortcutFolders& folders) {
    if (folders.commonPrograms.empty()) return {};
    return folders.commonPrograms + L"\\" + std::wstring(app::kStartMenuFolderName);
}

bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& target,
                             const std::wstring& arguments, const ShortcutFolders& folders) {
    if (name.empty() || target.empty() || !IsFile(target)) return false;
    const std::wstring folder = StartMenuFolder(folders);
    if (folder.empty()) return false;
    CreateDirectoryW(folder.c_str(), nullptr); // an existing folder is fine
    return CreateShellLink(target, app::LinkPathFor(folder, name), arguments, L"");
}

bool DeleteDesktopShortcut(const std::wstring& name, const ShortcutFolders& folders) {
    return DeleteLink(folders.commonDesktop, name);
}

bool DeleteStartMenuShortcut(const std::wstring& name, const ShortcutFolders& folders) {
    return DeleteLink(StartMenuFolder(folders), name);
}

uint64_t CountFilesRecursive(const std::wstring& folder) {
    if (folder.empty()) return 0;
    uint64_t count = 0;
    const bool listed = ForEachEntry(folder, [&](const std::wstring& path, DWORD attributes) {
        // A linked folder may lead anywhere, even back up this tree: it is one entry, not a walk.
        count += IsRealFolder(attributes) ? CountFilesRecursive(path) : 1;
    });
    return listed ? count : 1;
}

bool RemoveFolderWithoutFiles(const std::wstring& folder) {
    if (folder.empty() || CountFilesRecursive(folder) != 0) return false;
    ForEachEntry(folder, [](const std::wstring& path, DWORD attributes) {
        if (IsRealFolder(attributes)) RemoveFolderWithoutFiles(path);
    });
    return RemoveDirectoryW(folder.c_str()) != FALSE;
}
