// The program installs and uninstalls itself: the copy into the install folder with its
// shortcuts and installed-programs entry, and the uninstall that removes them and leaves a
// script behind that deletes the executable once the process has ended.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "fw/safe_file_win.h"

// Copies the running executable (from the handle held since the start) into the install folder
// unless it runs from there, creates the three shortcuts and the installed-programs entry, and
// starts the installed copy, but only when that copy holds the running program's bytes;
// otherwise the player is told that the install failed. Always true.
bool InstallSelf();

// Replaces `target` with the bytes of `source` (read from its start): written to a new file
// beside it, renamed over it, then read back through a handle that lets nobody change it and
// compared with the source. That handle when the bytes are the same; an empty one otherwise.
// When the rename fails (the installed copy is running) the installed file is compared as it is.
base::Handle CopyVerified(HANDLE source, const std::wstring& target);

// The uninstall after the player confirmed it: the settings key, the shortcuts and their
// folder, the installed-programs entry, the self-delete script; then `sendPing` (which counts
// the uninstall and starts its ping) and the final message. `sendPing` is called on every
// path, so whoever waits for the ping's end is never left waiting.
void UninstallSelf(const std::function<void()>& sendPing);

// The installed-programs entry for the installed executable at `exePath`, and its removal.
bool WriteUninstallEntry(const std::wstring& exePath);
bool DeleteUninstallEntry();

// The self-delete script's access list: SYSTEM and the Administrators group, nobody else, and
// nothing inherited from the folder.
inline constexpr const wchar_t* kSelfDeleteScriptSddl = fw::kAdministratorsOnlySddl;

// The folder the script goes into: the system's own temporary folder, where a program that is
// not elevated may add files but can neither change nor remove the ones of others.
std::wstring SelfDeleteScriptFolder();

// A path as the script must hold it: bytes that read as this very path in the ANSI code page
// and in the console's (OEM) code page, which the command interpreter may read the file in.
// A path that has no such bytes is tried in its short form; nothing when that fails too.
std::optional<std::string> ScriptPathText(const std::wstring& path);

// Writes the self-delete script for the executable at `exePath` as a new file in
// `scriptFolder` with the access list above, and answers its path; empty when no script could
// be written (the executable then simply stays). The long script only when the executable lies
// in `installFolder` and is the only file there.
std::wstring WriteSelfDeleteScript(const std::wstring& exePath, const std::wstring& installFolder,
                                   const std::wstring& scriptFolder);

// Runs the script hidden and at idle priority through the system's command interpreter, with
// a fixed environment: nothing of the player's environment decides what the script runs.
bool StartSelfDeleteScript(const std::wstring& scriptPath);
