// The shell folders the program works in: the machine-wide application data, and the user's
// folders as an elevated program may write or delete in them (only inside the user's profile).
#pragma once
#include <string>

namespace base {

// The system folder (System32), without a trailing backslash; empty when the system can't say.
std::wstring SystemFolder();

// The machine-wide application-data folder (current value), without a trailing backslash; empty
// when the shell does not know it.
std::wstring CommonAppDataFolder();

// Where an open file or folder (a HANDLE) really is, as the file system resolved it ("\\?\"
// form); empty when the system can't say or the path is implausibly long.
std::wstring FinalPathOf(void* handle);

// The user's profile folder from the machine's profile list, resolved by the file system ("\\?\"
// form); empty when it can't be had.
std::wstring ProfileFolder();

// The shell folder (a CSIDL value) with subfolder appended, resolved by the file system with
// every link on the way followed ("\\?\" form), when that lies strictly inside the user's
// profile; empty otherwise, also when it does not exist. The shell-folder settings are the
// user's own to change, but the program runs elevated: pointed at a system folder (or through
// a link in the profile) they would make it delete or write there. The profile's own place
// comes from the machine's profile list, which only administrators change.
std::wstring UserFolderInsideProfile(int csidl, const wchar_t* subfolder = L"");

} // namespace base
