// The cache operations against the test prefix's own URL cache, a scratch registry key and a
// scratch folder: cookies survive, links are never followed, failures are reported.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "net/cache_clear_win.h"
#include "win_test_support.h"

namespace {

constexpr DWORD kCookieType = 0x00100000; // COOKIE_CACHE_ENTRY
constexpr wchar_t kExpiry[] = L"; expires=Fri, 01-Jan-2049 00:00:00 GMT";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    base::Handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
}

bool StoreEntry(const std::wstring& url, DWORD type) {
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"bin", file, 0)) return false;
    MakeFile(file);
    const FILETIME none = {};
    return CommitUrlCacheEntryW(url.c_str(), file, none, none, type, nullptr, 0, nullptr, nullptr);
}

// Address → type of every entry of the cache; a stored cookie of path p on 127.0.0.1 is listed
// as "Cookie:<user>@127.0.0.1p", reported here as "cookie@127.0.0.1p".
std::map<std::wstring, DWORD> CacheEntries() {
    std::map<std::wstring, DWORD> entries;
    std::vector<uint8_t> buffer(64 * 1024);
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    DWORD size = DWORD(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryW(nullptr, info, &size);
    for (bool more = find != nullptr; more; more = FindNextUrlCacheEntryW(find, info, &size)) {
        std::wstring url = info->lpszSourceUrlName;
        if (url.starts_with(L"Cookie:")) url = L"cookie" + url.substr(url.find(L'@'));
        entries[url] = info->CacheEntryType;
        size = DWORD(buffer.size());
    }
    if (find) FindCloseUrlCache(find);
    return entries;
}

TEST(CacheClear, WebCacheKeepsEveryCookieAndTheFoldersAndNothingElse) {
    ASSERT_TRUE(StoreEntry(L"http://127.0.0.1/page.html", NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(StoreEntry(L"http://127.0.0.1/session", kCookieType));
    ASSERT_TRUE(InternetSetCookieW(L"http://127.0.0.1/", L"sid", (std::wstring(L"v1") + kExpiry).c_str()));
    wchar_t cache[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, cache), S_OK);
    const std::wstring stray = std::wstring(cache) + L"\\stray";
    CreateDirectoryW(stray.c_str(), nullptr);
    MakeFile(stray + L"\\left.tmp", FILE_ATTRIBUTE_READONLY);

    net::ClearWebCache();
    const auto entries = CacheEntries();
    for (const auto& [url, type] : entries)
        EXPECT_TRUE(type & kCookieType) << url;
    EXPECT_TRUE(entries.contains(L"http://127.0.0.1/session"));
    EXPECT_TRUE(entries.contains(L"cookie@127.0.0.1/"));
    EXPECT_FALSE(Exists(stray + L"\\left.tmp"));
    EXPECT_TRUE(RemoveDirectoryW(stray.c_str()));
    // The cache of the running process still stores entries: its folders were kept.
    EXPECT_TRUE(StoreEntry(L"http://127.0.0.1/after.html", NORMAL_CACHE_ENTRY));
}

TEST(CacheClear, LoaderPurgeTakesOnlyTheLoaderWithAUserName) {
    const std::wstring loader = L"http://127.0.0.1/game/WMAINLOADER.swf?UserName=x";
    const std::wstring shared = L"http://127.0.0.1/game/wmainloader.swf";
    const std::wstring cookie = L"http://127.0.0.1/c/WMainLoader.swf?username=c";
    ASSERT_TRUE(StoreEntry(loader, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(StoreEntry(shared, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(StoreEntry(cookie, kCookieType));
    ASSERT_TRUE(
        InternetSetCookieW(L"http://127.0.0.1/game/", L"uid", (std::wstring(L"7") + kExpiry).c_str()));

    EXPECT_TRUE(net::PurgeLoaderCache());
    const auto entries = CacheEntries();
    EXPECT_FALSE(entries.contains(loader));
    EXPECT_TRUE(entries.contains(shared));
    EXPECT_TRUE(entries.contains(cookie));
    EXPECT_TRUE(entries.contains(L"cookie@127.0.0.1/game/"));
}

TEST(CacheClear, CacheLimitIsWrittenOnlyUnderAnExistingKey) {
    // The user's registry is redirected into a scratch key for the length of the case.
    constexpr wchar_t kScratch[] = L"Software\\TnVexaCacheTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    HKEY scratch = nullptr, content = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch,
                              nullptr),
              0);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch), 0);
    EXPECT_FALSE(net::SetCacheLimit());
    DWORD subKeys = 1, type = 0, limit = 0, size = sizeof(limit);
    RegQueryInfoKeyW(scratch, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(subKeys, 0u);

    RegCreateKeyExW(scratch,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content",
                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &content, nullptr);
    EXPECT_TRUE(net::SetCacheLimit());
    RegQueryValueExW(content, L"CacheLimit", nullptr, &type, reinterpret_cast<BYTE*>(&limit), &size);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(limit, 1048576u);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(content);
    RegCloseKey(scratch);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
}

// A scratch folder in the temporary folder, removed before and after each case.
class DeleteTreeTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_temp = temp;
        Clean();
        ASSERT_TRUE(CreateDirectoryW(Path(L"").c_str(), nullptr));
    }
    // What the code under test cannot remove under Wine (a Unix link) goes with rm, which never
    // follows a link.
    void TearDown() override { Clean(); }
    // rm runs only for a folder that is there: started for a missing one, it would be awaited
    // not at all and could go on to delete what the next case makes.
    void Clean() {
        if (Exists(Path(L"")) && !net::DeleteTree(Path(L"")))
            RunUnix(L"Z:\\bin\\rm", L"rm -rf tnvexa-cache-test", m_temp,
                    [this] { return !Exists(Path(L"")); });
    }
    std::wstring Path(const std::wstring& relative) const {
        return m_temp + L"tnvexa-cache-test\\" + relative;
    }

    // A link in folder to target (relative to folder). Wine answers CreateSymbolicLinkW with
    // success and makes nothing; a Unix link instead is shown by Wine as a folder with the
    // reparse-point attribute.
    bool MakeFolderLink(const std::wstring& folder, const std::wstring& name, const std::wstring& target) {
        const std::wstring link = Path(folder + name);
        if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) || !Exists(link))
            RunUnix(L"Z:\\bin\\ln", L"ln -s " + target + L" " + name, Path(folder),
                    [&] { return Exists(link); });
        const DWORD attributes = GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    // Wine may report a Unix program's end before its work shows: the caller's condition is
    // awaited, a minute at most (the first Unix program of a run can take long on a loaded machine).
    static void RunUnix(const wchar_t* program, std::wstring commandLine, const std::wstring& folder,
                        const std::function<bool()>& done) {
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &si, &pi))
            return;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        wintest::PumpUntil(done, 60000);
    }

    std::wstring m_temp;
};

TEST_F(DeleteTreeTest, ReadOnlyFilesGoAndAFileInUseIsReportedWhileTheRestGoes) {
    for (const auto* folder : {L"tree", L"tree\\sub", L"tree\\sub\\deep"})
        CreateDirectoryW(Path(folder).c_str(), nullptr);
    MakeFile(Path(L"tree\\read-only.txt"), FILE_ATTRIBUTE_READONLY);
    MakeFile(Path(L"tree\\sub\\deep\\file.txt"), FILE_ATTRIBUTE_READONLY);
    MakeFile(Path(L"tree\\held.txt"));
    base::Handle held(
        CreateFileW(Path(L"tree\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));

    EXPECT_FALSE(net::DeleteTree(Path(L"tree")));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(Exists(Path(L"tree\\read-only.txt")));
    EXPECT_FALSE(Exists(Path(L"tree\\sub")));
    EXPECT_TRUE(Exists(Path(L"tree\\held.txt")));
    held.Reset();
    EXPECT_TRUE(net::DeleteTree(Path(L"tree\\")));
    EXPECT_FALSE(Exists(Path(L"tree")));
    EXPECT_FALSE(net::DeleteTree(Path(L"tree")));
}

TEST_F(DeleteTreeTest, ALinkIsNeverEnteredAndItsTargetStays) {
    for (const auto* folder : {L"target", L"empty-target", L"tree"})
        CreateDirectoryW(Path(folder).c_str(), nullptr);
    MakeFile(Path(L"target\\keep.txt"));
    MakeFile(Path(L"tree\\plain.txt"));
    // The empty target catches a removal that acts on the target (Wine's RemoveDirectoryW does).
    ASSERT_TRUE(MakeFolderLink(L"tree\\", L"full", L"../target"));
    ASSERT_TRUE(MakeFolderLink(L"tree\\", L"empty", L"../empty-target"));
    ASSERT_TRUE(MakeFolderLink(L"", L"root-link", L"target"));

    const bool removed = net::DeleteTree(Path(L"tree"));
    EXPECT_FALSE(Exists(Path(L"tree\\plain.txt")));
    EXPECT_EQ(removed, !Exists(Path(L"tree")));
    net::DeleteTree(Path(L"root-link"));
    EXPECT_TRUE(Exists(Path(L"target\\keep.txt")));
    EXPECT_TRUE(Exists(Path(L"empty-target")));
}

} // namespace
