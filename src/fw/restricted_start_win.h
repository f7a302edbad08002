// Starting a page process at the player's normal rights from the elevated program: a restricted
// copy of the program's own token, in which the Administrators group only ever denies.
#pragma once
#include <windows.h>

#include <string>

#include "base/handle_win.h"

namespace fw {

// Where a restricted start failed: the call and the system error it gave.
struct StartFailure {
    const wchar_t* step = L"";
    DWORD error = 0;
};

// This process's token made into one for web pages: the Administrators group deny-only, every
// privilege but SeChangeNotifyPrivilege removed, integrity level medium, owned by the user, and
// a default access list for the user, the logon session and the system only (objects the page
// creates are not the administrators').
base::Handle MakeRestrictedToken(StartFailure* failure);

// Starts `exePath` + `options` with `token` (see StartChildProcess for the command line), idle
// priority, in the System32 folder, with this process's environment but "__COMPAT_LAYER" set to
// "RunAsInvoker" (the executable's manifest asks for administrator rights, which a start with a
// token that has none would refuse with error 740 rather than prompt). Answers the process
// handle, or an empty one with `failure` filled in.
base::Handle StartProcessAsToken(HANDLE token, const std::wstring& exePath, const std::wstring& options,
                                 StartFailure* failure);

// Both: `exePath` + `options` started with a restricted copy of this process's token.
base::Handle StartRestrictedProcess(const std::wstring& exePath, const std::wstring& options,
                                    StartFailure* failure);

} // namespace fw
