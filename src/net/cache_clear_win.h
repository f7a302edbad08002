// Clearing of the browser's URL cache and the Flash player's stored objects, the loader purge, the
// cache limit and the folder deletion they share; in net/ because both the main window's menus and
// a page window's refresh use them, and those two must not import each other.
#pragma once
#include <windows.h>

#include <string>

namespace net {

// Thread procedure of the menus' "清除缓存": ClearFlashStorage, then ClearWebCache, whose result
// (1 or 0) is the thread's exit code. The parameter is not used.
DWORD WINAPI ClearCachesThread(void*);

// Deletes every URL cache entry that is not a cookie, then every file under the Internet-cache
// folder; its folders stay, for the cache to go on storing. The result is that of the file
// deletion (false when the folder is unknown or a file, such as the cache's index in use, stays).
bool ClearWebCache();

// Deletes the Flash player's stored objects of the user ("#SharedObjects" under the roaming
// application data); false when the folder is unknown or not wholly deleted.
bool ClearFlashStorage();

// Deletes the cache entries of the game loader (never a cookie); true when the walk through the
// cache reached its end.
bool PurgeLoaderCache();

// Raises the browser cache limit to 1 GB under the user's existing cache key (never created);
// true when the key was opened and the value written.
bool SetCacheLimit();

// Deletes a folder with everything in it, each entry through a handle opened on it (never through
// a link) and only when it resolves below the folder. A link (junction or symbolic link) in the
// tree, or the folder itself when it is one, is removed as a link and never entered. True only when the
// folder is gone and no file failed; otherwise false with the last failure as the thread's last error.
bool DeleteTree(const std::wstring& path);

} // namespace net
