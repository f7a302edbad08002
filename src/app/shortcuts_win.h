// The program's shortcuts (one on the common desktop, two in a common start-menu folder) and
// the recursive file count that tells the uninstall whether a folder is empty. The caller
// initialises COM on its thread before writing links.
#pragma once
#include <cstdint>
#include <string>

// The shell folders the shortcuts live in; the defaults are the system's, tests give their own.
struct ShortcutFolders {
    std::wstring commonDesktop;  // the all-users desktop
    std::wstring userDesktop;    // the current user's own desktop, when it lies inside their profile
    std::wstring commonPrograms; // the all-users start-menu programs folder
};
ShortcutFolders SystemShortcutFolders();

// Writes a shell link to `target` (its first icon) with the arguments and, when not empty, the
// description. True when the link file was saved.
bool CreateShellLink(const std::wstring& target, const std::wstring& linkPath, const std::wstring& arguments,
                     const std::wstring& description);

// "VexaTarn微端" on the common desktop with "/TnVexaD"; first removes a shortcut of the same name
// from the user's own desktop, so that only the machine-wide one remains.
bool CreateDesktopShortcut(const std::wstring& target,
                           const ShortcutFolders& folders = SystemShortcutFolders());

// `name` in the start-menu folder "Vexa登录器" (created when needed) with the arguments. Nothing
// is created for a target that does not exist.
bool CreateStartMenuShortcut(const std::wstring& name, const std::wstring& target,
                             const std::wstring& arguments,
                             const ShortcutFolders& folders = SystemShortcutFolders());

// Delete the link that the create operations would write; true when a file was deleted.
bool DeleteDesktopShortcut(const std::wstring& name,
                           const ShortcutFolders& folders = SystemShortcutFolders());
bool DeleteStartMenuShortcut(const std::wstring& name,
                             const ShortcutFolders& folders = SystemShortcutFolders());

// The start-menu folder of the program's shortcuts; empty when the programs folder is unknown.
std::wstring StartMenuFolder(const ShortcutFolders& folders = SystemShortcutFolders());

// Files below `folder`, sub-folders included. A folder that can't be listed counts as 1, so a
// missing folder is never taken for an empty one; an empty path counts 0. A linked folder
// (reparse point) is not followed and counts as 1.
uint64_t CountFilesRecursive(const std::wstring& folder);

// Removes `folder` when it holds no file at any depth, its empty sub-folders with it. True
// when the folder is gone.
bool RemoveFolderWithoutFiles(const std::wstring& folder);
