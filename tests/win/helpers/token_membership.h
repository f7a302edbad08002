// How a process's token holds the Administrators group, for the tests of the restricted page
// processes (Win32 tier and, through post_msg.exe, end to end).
#pragma once
#include <windows.h>

#include "fw/handles_win.h"

namespace wintest {

struct AdministratorsIn {
    bool read = false;   // the token could be read
    bool member = false; // CheckTokenMembership counts the process in the group
    bool denyOnly = false;
};

inline AdministratorsIn AdministratorsOf(DWORD process) {
    AdministratorsIn result;
    fw::Handle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process)), token, identity;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    alignas(TOKEN_GROUPS) BYTE groups[8192];
    BOOL member = FALSE;
    if (!::OpenProcessToken(handle.Get(), TOKEN_QUERY | TOKEN_DUPLICATE, token.Put()) ||
        !::DuplicateToken(token.Get(), SecurityIdentification, identity.Put()) ||
        !::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
        !::CheckTokenMembership(identity.Get(), sid, &member) ||
        !::GetTokenInformation(token.Get(), TokenGroups, groups, sizeof(groups), &size))
        return result;
    result.read = true;
    result.member = member != FALSE;
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups);
    for (DWORD i = 0; i < list->GroupCount; ++i)
        if (::EqualSid(list->Groups[i].Sid, sid))
            result.denyOnly = (list->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY) != 0;
    return result;
}

} // namespace wintest
