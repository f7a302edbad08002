// The user's shell folders as an elevated program may write or delete in them: only where the
// file system puts them inside the user's own profile.
#pragma once
#include <string>

namespace base {

// The shell folder (a CSIDL value) with subfolder appended, resolved by the file system with
// every link on the way followed ("\\?\" form), when that lies strictly inside the user's
// profile; empty otherwise, also when it does not exist. The shell-folder settings are the
// user's own to change, but the program runs elevated: pointed at a system folder (or through
// a link in the profile) they would make it delete or write there. The profile's own place
// comes from the machine's profile list, which only administrators change.
std::wstring UserFolderInsideProfile(int csidl, const wchar_t* subfolder = L"");

} // namespace base
