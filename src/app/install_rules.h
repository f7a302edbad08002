// Rules of the install and uninstall that need no Windows: the shortcut names and paths, the
// installed copy's path, the installed-programs entry and the self-delete script's text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// Shortcut names (file names without ".lnk") and the start-menu folder.
inline constexpr std::wstring_view kProgramLinkName = L"VexaTarn微端";
inline constexpr std::wstring_view kUninstallLinkName = L"卸载 VexaTarn微端";
inline constexpr std::wstring_view kStartMenuFolderName = L"Vexa登录器";

// The installed-programs entry below HKEY_LOCAL_MACHINE.
inline constexpr std::wstring_view kUninstallEntryKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnVexa";
inline constexpr std::wstring_view kUninstallEntryName = L"VexaTarn微端";

// Paths are held in buffers of 260 characters: a longer one is not cut into another path.
inline constexpr size_t kMaxPathChars = 259;

// The folder part of a path: up to, not including, its last backslash; empty without one.
std::wstring_view FolderOfPath(std::wstring_view path);

// The installed copy: the install folder followed by the running executable's file name (its
// last component with the backslash). Empty when the executable path has no backslash.
std::wstring InstallTargetFor(std::wstring_view installFolder, std::wstring_view exePath);

// "folder\name.lnk"; empty when a part is empty or the path would not fit its buffer.
std::wstring LinkPathFor(std::wstring_view folder, std::wstring_view name);

// The command the installed-programs list runs to uninstall: the quoted path and "/uninst".
std::wstring UninstallCommandFor(std::wstring_view exePath);

// Which self-delete script an uninstall leaves behind.
enum class DeleteScript {
    Short, // deletes the executable only
    Long,  // deletes the executable, every file of its folder and the folder
};

// The long script only for the program's own install folder holding at most the executable;
// any other folder (a player's download folder, say) keeps everything but the executable.
DeleteScript ChooseDeleteScript(std::wstring_view exeFolder, std::wstring_view installFolder,
                                uint64_t filesInFolder);

// The pause between two tries of the script: echo requests to the loopback address, which the
// system's "ping" sends a second apart, so a try lasts about a second.
inline constexpr int kDeleteScriptPings = 2;

// How often the script tries to delete the executable before it gives up (and deletes itself):
// about an hour. The uninstalling process holds the executable until the player dismisses its
// last notice, which may stay up as long as the player likes.
inline constexpr int kDeleteScriptAttempts = 3600;

// The script's text in the script's code page, lines ending in CR LF. The paths are given in
// that code page; a "%" in them is doubled so that the command interpreter does not read it
// as a variable. Empty when the text would not fit the script's 2048-byte buffer.
std::string DeleteScriptText(DeleteScript kind, std::string_view exePath, std::string_view folder,
                             std::string_view scriptPath);

} // namespace app
