#include "net/cache_clear_win.h"

#include <shlobj.h>
#include <wininet.h>

#include <functional>
#include <vector>

#include "base/user_folder_win.h"
#include "fw/handles_win.h"
#include "net/cache_rules.h"

namespace net {

namespace {

constexpr wchar_t kFlashStorageSubfolder[] = L"\\Macromedia\\Flash Player\\#SharedObjects";
constexpr wchar_t kCacheContentKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";
constexpr wchar_t kCacheLimitValue[] = L"CacheLimit";
constexpr DWORD kCacheLimitKilobytes = 1048576;
constexpr size_t kFirstEntryBufferBytes = 1024;

struct FileFindTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
using FileFind = fw::UniqueHandle<FileFindTraits>;

struct UrlCacheFindTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::FindCloseUrlCache(h); }
};
using UrlCacheFind = fw::UniqueHandle<UrlCacheFindTraits>;

// Calls visit for every entry of the user's URL cache. Deleting the visited entry is allowed.
// True when the walk reached the end, false when it stopped on another error.
bool ForEachCacheEntry(const std::function<void(const INTERNET_CACHE_ENTRY_INFOW&)>& visit) {
    UrlCacheFind find;
    auto fetch = [&find](std::vector<uint8_t>& buffer, uint32_t& size) -> uint32_t {
        auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
        DWORD bytes = size;
        if (!find) {
            // A first call that fails leaves no enumeration behind: the retry starts it anew.
            find.Reset(FindFirstUrlCacheEntryW(nullptr, info, &bytes));
            if (find) return 0;
        } else if (FindNextUrlCacheEntryW(find.Get(), info, &bytes)) {
            return 0;
        }
        const DWORD error = GetLastError();
        size = bytes;
        return error;
    };
    std::vector<uint8_t> buffer(kFirstEntryBufferBytes);
    uint32_t result = 0;
    while ((result = FetchCacheEntry(buffer, fetch)) == 0)
        visit(*reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(buffer.data()));
    return result == kErrorNoMoreItems;
}

// Removes a folder that is a link (junction or symbolic link) without touching what it points
// to. The handle is opened on the link itself, and deleted through that handle only when the
// system confirms it holds a link: a system that hands out the target instead (Wine follows Unix
// links, and its RemoveDirectoryW removes an empty target) gets nothing deleted.
bool RemoveLink(const std::wstring& path) {
    fw::Handle link(CreateFileW(
        path.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link) return false;
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof(tag))) return false;
    if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetLastError(ERROR_NOT_A_REPARSE_POINT);
        return false;
    }
    FILE_DISPOSITION_INFO dispose = {TRUE};
    return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &dispose, sizeof(dispose)) != FALSE;
}

bool IsLinkAttributes(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The last error after a call failed; never "success", so that a failure is never lost.
DWORD LastErrorOfFailure() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

// What a walk does with the real folders it has emptied (links are always removed as links).
enum class Folders { Remove, Keep };

// Deletes the files of a folder tree and, unless kept, its folders. A link is never entered.
// True only when nothing that was to go failed; otherwise false with the last failure as the
// thread's last error.
bool WalkTree(const std::wstring& path, Folders folders) {
    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::wstring folder = path;
    while (folder.size() > 1 && folder.back() == L'\\')
        folder.pop_back();
    if (folder.back() == L':') folder += L'\\'; // a drive's root keeps its backslash
    // A folder that is itself a link is not entered either: its contents belong elsewhere.
    if (IsLinkAttributes(GetFileAttributesW(folder.c_str()))) {
        if (folders == Folders::Remove) return RemoveLink(folder);
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }

    const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
    WIN32_FIND_DATAW found;
    FileFind find(FindFirstFileW((prefix + L"*").c_str(), &found));
    if (!find) return folders == Folders::Remove && RemoveDirectoryW(folder.c_str());

    DWORD error = ERROR_SUCCESS;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring entry = prefix + name;
        const DWORD attributes = found.dwFileAttributes;
        bool gone = false;
        if (IsLinkAttributes(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            gone = RemoveLink(entry);
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            gone = WalkTree(entry, folders);
        } else {
            // The attribute of a link belongs to the link; clearing it would change the target.
            if ((attributes & FILE_ATTRIBUTE_READONLY) && !IsLinkAttributes(attributes))
                SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            gone = DeleteFileW(entry.c_str()) != FALSE;
        }
        // The walk goes on; the last failure is the one reported.
        if (!gone) error = LastErrorOfFailure();
    } while (FindNextFileW(find.Get(), &found));
    find.Reset();

    if (folders == Folders::Remove && !RemoveDirectoryW(folder.c_str()) && error == ERROR_SUCCESS)
        error = LastErrorOfFailure();
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

} // namespace

bool DeleteTree(const std::wstring& path) {
    return WalkTree(path, Folders::Remove);
}

bool ClearWebCache() {
    ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (!IsCookieEntry(entry.CacheEntryType) && entry.lpszSourceUrlName)
            DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
    const std::wstring folder = base::UserFolderInsideProfile(CSIDL_INTERNET_CACHE);
    if (folder.empty()) return false;
    // The cache's folders stay: a running cache keeps its list of them and cannot store a new
    // entry once they are gone (Wine makes them again only when a process opens the cache).
    return WalkTree(folder, Folders::Keep);
}

bool ClearFlashStorage() {
    // A missing folder answers false, as removing a folder that does not exist would.
    const std::wstring storage = base::UserFolderInsideProfile(CSIDL_APPDATA, kFlashStorageSubfolder);
    if (storage.empty()) return false;
    return DeleteTree(storage);
}

bool PurgeLoaderCache() {
    return ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (!IsCookieEntry(entry.CacheEntryType) && entry.lpszSourceUrlName &&
            IsLoaderAddress(entry.lpszSourceUrlName))
            DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
}

bool SetCacheLimit() {
    HKEY opened = nullptr;
    // Opened, never created: the key belongs to the browser, which makes it when it has a cache.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCacheContentKey, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        return false;
    fw::RegKey key(opened);
    const DWORD limit = kCacheLimitKilobytes;
    return RegSetValueExW(key.Get(), kCacheLimitValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&limit),
                          sizeof(limit)) == ERROR_SUCCESS;
}

DWORD WINAPI ClearCachesThread(void*) {
    ClearFlashStorage();
    return ClearWebCache() ? 1 : 0;
}

} // namespace net
