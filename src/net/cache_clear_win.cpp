#include "net/cache_clear_win.h"

#include <shlobj.h>
#include <wininet.h>

#include <functional>
#include <vector>

#include "base/handle_win.h"
#include "base/text.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/safe_file_win.h"
#include "net/cache_rules.h"

namespace net {

static_assert(kCookieCacheEntry == COOKIE_CACHE_ENTRY);

namespace {

constexpr wchar_t kFlashStorageSubfolder[] = L"\\Macromedia\\Flash Player\\#SharedObjects";
constexpr wchar_t kCacheContentKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";
constexpr wchar_t kCacheLimitValue[] = L"CacheLimit";
constexpr DWORD kCacheLimitKilobytes = 1048576;
constexpr size_t kFirstEntryBufferBytes = 1024;

struct UrlCacheFindTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::FindCloseUrlCache(h); }
};
using UrlCacheFind = base::UniqueHandle<UrlCacheFindTraits>;

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
    if (result != kErrorNoMoreItems) base::Trace(L"cache walk stopped", result);
    return result == kErrorNoMoreItems;
}

// A clearing step's result, with a trace line when it failed.
bool Traced(bool ok, const wchar_t* what) {
    if (!ok) base::Trace(what, GetLastError());
    return ok;
}

// The last error after a call failed; never "success", so that a failure is never lost.
DWORD LastErrorOfFailure() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

// What a walk does with the real folders it has emptied (links are always removed as links).
enum class Folders { Remove, Keep };

// An entry opened as itself (a link is not followed), with its attributes.
struct OpenEntry {
    base::Handle handle;
    DWORD attributes = 0;
};

OpenEntry OpenEntryAt(const std::wstring& path, DWORD access) {
    OpenEntry entry{fw::OpenWithoutFollowing(path, access | FILE_READ_ATTRIBUTES)};
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (entry.handle &&
        GetFileInformationByHandleEx(entry.handle.Get(), FileAttributeTagInfo, &tag, sizeof(tag)))
        entry.attributes = tag.FileAttributes;
    else
        entry.handle.Reset();
    return entry;
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Deletes one file, link or emptied folder through a handle opened on it, only when the file
// system places it below `top`. A link by its listing that the handle does not show as one (Wine
// follows Unix links) is left. Answers ERROR_SUCCESS or the failure.
DWORD DeleteEntry(const std::wstring& path, const std::wstring& top, DWORD listed) {
    OpenEntry entry = OpenEntryAt(path, DELETE | FILE_WRITE_ATTRIBUTES);
    if (!entry.handle) return LastErrorOfFailure();
    if (IsLink(listed) && !IsLink(entry.attributes)) return ERROR_NOT_A_REPARSE_POINT;
    if (!base::IsInsideFolder(fw::FinalPath(entry.handle.Get()), top)) return ERROR_ACCESS_DENIED;
    if ((entry.attributes & FILE_ATTRIBUTE_READONLY) && !IsLink(entry.attributes)) {
        // A read-only file can't be deleted; the attribute of a link would be the target's.
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = (entry.attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(entry.handle.Get(), FileBasicInfo, &basic, sizeof(basic));
    }
    return fw::DeleteByHandle(entry.handle.Get()) ? ERROR_SUCCESS : LastErrorOfFailure();
}

// Deletes what `folder` holds, each entry through its own handle and only below `top` (the
// cleared folder as the file system resolved it): a folder swapped for a link after it was
// listed takes no deletion elsewhere. A link is removed as a link, never entered. No handle with
// delete access is held while a folder is listed (Wine lists without sharing deletion). Answers
// the last failure, ERROR_SUCCESS when there was none.
DWORD ClearInside(const std::wstring& folder, const std::wstring& top, Folders folders) {
    const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
    WIN32_FIND_DATAW found;
    base::FileFind find(FindFirstFileW((prefix + L"*").c_str(), &found));
    if (!find) return LastErrorOfFailure();
    DWORD error = ERROR_SUCCESS;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = prefix + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(found.dwFileAttributes)) {
            // Listed by its path; whatever it holds is checked on its own handle again.
            const DWORD inner = ClearInside(path, top, folders);
            if (inner != ERROR_SUCCESS) error = inner;
            if (folders == Folders::Keep || inner != ERROR_SUCCESS) continue;
        }
        // The walk goes on; the last failure is the one reported.
        const DWORD result = DeleteEntry(path, top, found.dwFileAttributes);
        if (result != ERROR_SUCCESS) error = result;
    } while (FindNextFileW(find.Get(), &found));
    return error;
}

// Deletes the files of a folder tree and, unless kept, its folders. A link is never entered.
// With `within` (a resolved "\\?\" path) the tree's top, as the handle the walk opens on it
// shows it, must lie inside that folder: a folder on the way swapped for a link since the path
// was checked takes no deletion elsewhere. True only when nothing that was to go failed;
// otherwise false with the last failure as the thread's last error.
bool WalkTree(const std::wstring& path, Folders folders, const std::wstring& within = {}) {
    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::wstring folder = path;
    while (folder.size() > 1 && folder.back() == L'\\')
        folder.pop_back();
    if (folder.back() == L':') folder += L'\\'; // a drive's root keeps its backslash
    OpenEntry root = OpenEntryAt(folder, folders == Folders::Remove ? DELETE : 0);
    if (!root.handle) return false;
    // A folder that is itself a link is not entered either: its contents belong elsewhere. The
    // link goes through the handle that was opened on it, and only when that handle shows a link
    // (Wine follows Unix links by path, and its RemoveDirectoryW removes an empty target).
    const DWORD named = GetFileAttributesW(folder.c_str());
    if (IsLink(root.attributes) || (named != INVALID_FILE_ATTRIBUTES && IsLink(named))) {
        if (folders == Folders::Remove && IsLink(root.attributes))
            return fw::DeleteByHandle(root.handle.Get());
        SetLastError(folders == Folders::Remove ? ERROR_NOT_A_REPARSE_POINT : ERROR_NOT_SUPPORTED);
        return false;
    }
    if (!within.empty() && !base::IsInsideFolder(base::FinalPathOf(root.handle.Get()), within)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const std::wstring top = fw::FinalPath(root.handle.Get());
    root.handle.Reset();
    DWORD error = top.empty() ? LastErrorOfFailure() : ClearInside(folder, top, folders);
    if (folders == Folders::Remove && error == ERROR_SUCCESS) {
        root = OpenEntryAt(folder, DELETE);
        if (!root.handle || IsLink(root.attributes) || fw::FinalPath(root.handle.Get()) != top ||
            !fw::DeleteByHandle(root.handle.Get()))
            error = root.handle ? LastErrorOfFailure() : ERROR_ACCESS_DENIED;
    }
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

// The same for a tree of the user's, whose top must lie inside their profile.
bool WalkProfileTree(const std::wstring& path, Folders folders) {
    const std::wstring profile = base::ProfileFolder();
    if (profile.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return WalkTree(path, folders, profile);
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
    return Traced(WalkProfileTree(folder, Folders::Keep), L"web cache not cleared");
}

bool ClearFlashStorage() {
    // A missing folder answers false, as removing a folder that does not exist would.
    const std::wstring storage = base::UserFolderInsideProfile(CSIDL_APPDATA, kFlashStorageSubfolder);
    if (storage.empty()) return false;
    return Traced(WalkProfileTree(storage, Folders::Remove), L"flash storage not cleared");
}

bool PurgeLoaderCache() {
    return ForEachCacheEntry([](const INTERNET_CACHE_ENTRY_INFOW& entry) {
        if (!IsCookieEntry(entry.CacheEntryType) && entry.lpszSourceUrlName &&
            IsLoaderAddress(entry.lpszSourceUrlName))
            DeleteUrlCacheEntryW(entry.lpszSourceUrlName);
    });
}

bool SetCacheLimit() {
    base::RegKey key;
    // Opened, never created: the key belongs to the browser, which makes it when it has a cache.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCacheContentKey, 0, KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS)
        return false;
    const DWORD limit = kCacheLimitKilobytes;
    const LSTATUS status = RegSetValueExW(key.Get(), kCacheLimitValue, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&limit), sizeof(limit));
    if (status != ERROR_SUCCESS) base::Trace(L"cache limit not set", status);
    return status == ERROR_SUCCESS;
}

DWORD WINAPI ClearCachesThread(void*) {
    ClearFlashStorage();
    return ClearWebCache() ? 1 : 0;
}

} // namespace net
