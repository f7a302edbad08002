#include "fw/restricted_start_win.h"

#include <vector>

#include "base/environment_block.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "fw/process_win.h"

namespace fw {

namespace {

// One kind of information about a token, in a buffer of its own size; empty on failure.
std::vector<BYTE> TokenInfo(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
    return buffer;
}

struct WellKnownSid {
    explicit WellKnownSid(WELL_KNOWN_SID_TYPE type) {
        DWORD size = sizeof(bytes);
        ok = ::CreateWellKnownSid(type, nullptr, bytes, &size) != FALSE;
    }
    PSID Get() { return bytes; }
    BYTE bytes[SECURITY_MAX_SID_SIZE] = {};
    bool ok = false;
};

// A token setting the system does not offer (Wine sets neither owner nor default access list;
// every Windows since Vista does): the token stays as CreateRestrictedToken made it, which still
// holds the Administrators group deny-only and the privileges removed.
bool SetOrUnsupported(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* value, DWORD size,
                      const wchar_t* what) {
    if (::SetTokenInformation(token, kind, value, size)) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED &&
        error != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    base::Trace(L"restricted token: setting not offered by the system", what, error);
    ::SetLastError(error);
    return true;
}

} // namespace

base::Handle MakeRestrictedToken(StartFailure* failure) {
    auto fail = [failure](const wchar_t* what) {
        *failure = {what, ::GetLastError()};
        return base::Handle();
    };
    base::Handle own;
    if (!::OpenProcessToken(::GetCurrentProcess(),
                            TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT,
                            own.Put()))
        return fail(L"OpenProcessToken");
    const std::vector<BYTE> privileges = TokenInfo(own.Get(), TokenPrivileges);
    const std::vector<BYTE> user = TokenInfo(own.Get(), TokenUser);
    const std::vector<BYTE> groups = TokenInfo(own.Get(), TokenGroups);
    LUID changeNotify{};
    if (privileges.empty() || user.empty() || groups.empty() ||
        !::LookupPrivilegeValueW(nullptr, SE_CHANGE_NOTIFY_NAME, &changeNotify))
        return fail(L"GetTokenInformation");
    // Every privilege but the one that lets a process walk folders it may not list.
    std::vector<LUID_AND_ATTRIBUTES> remove;
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(privileges.data());
    for (DWORD i = 0; i < held->PrivilegeCount; ++i) {
        const LUID luid = held->Privileges[i].Luid;
        if (luid.LowPart != changeNotify.LowPart || luid.HighPart != changeNotify.HighPart)
            remove.push_back({luid, 0});
    }
    WellKnownSid administrators(WinBuiltinAdministratorsSid), medium(WinMediumLabelSid),
        system(WinLocalSystemSid);
    if (!administrators.ok || !medium.ok || !system.ok) return fail(L"CreateWellKnownSid");
    SID_AND_ATTRIBUTES disable{administrators.Get(), 0};
    base::Handle token;
    if (!::CreateRestrictedToken(own.Get(), LUA_TOKEN, 1, &disable, static_cast<DWORD>(remove.size()),
                                 remove.empty() ? nullptr : remove.data(), 0, nullptr, token.Put()))
        return fail(L"CreateRestrictedToken");

    TOKEN_MANDATORY_LABEL label{{medium.Get(), SE_GROUP_INTEGRITY}};
    if (!::SetTokenInformation(token.Get(), TokenIntegrityLevel, &label,
                               sizeof(label) + ::GetLengthSid(medium.Get())))
        return fail(L"SetTokenInformation(TokenIntegrityLevel)");
    // An elevated token's objects belong to the Administrators group, which this one may not use.
    const PSID userSid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    TOKEN_OWNER owner{userSid};
    if (!SetOrUnsupported(token.Get(), TokenOwner, &owner, sizeof(owner), L"TokenOwner"))
        return fail(L"SetTokenInformation(TokenOwner)");
    // The logon session's SID: the desktop and window station let the process in through it.
    PSID logonSid = nullptr;
    const auto* groupList = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
    for (DWORD i = 0; i < groupList->GroupCount && !logonSid; ++i)
        if ((groupList->Groups[i].Attributes & SE_GROUP_LOGON_ID) == SE_GROUP_LOGON_ID)
            logonSid = groupList->Groups[i].Sid;
    const PSID grantees[] = {userSid, logonSid, system.Get()};
    DWORD aclSize = sizeof(ACL);
    for (PSID sid : grantees)
        if (sid) aclSize += sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid);
    std::vector<BYTE> aclBuffer(aclSize);
    auto* acl = reinterpret_cast<PACL>(aclBuffer.data());
    if (!::InitializeAcl(acl, aclSize, ACL_REVISION)) return fail(L"InitializeAcl");
    for (PSID sid : grantees)
        if (sid && !::AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid))
            return fail(L"AddAccessAllowedAce");
    TOKEN_DEFAULT_DACL dacl{acl};
    if (!SetOrUnsupported(token.Get(), TokenDefaultDacl, &dacl, sizeof(dacl), L"TokenDefaultDacl"))
        return fail(L"SetTokenInformation(TokenDefaultDacl)");
    return token;
}

base::Handle StartProcessAsToken(HANDLE token, const std::wstring& exePath, const std::wstring& options,
                                 StartFailure* failure) {
    // The manifest asks for administrator rights, so that every role of the one executable has
    // them. CreateProcessAsUserW with a token that has none fails such an image with error 740
    // (ERROR_ELEVATION_REQUIRED); it never prompts, only the shell's start does. The system's
    // compatibility layer named in the new process's environment, RunAsInvoker, makes it run
    // with the token it is given instead. Only the page is started this way; the variable is
    // taken out of the page's own environment again as it starts, so nothing it starts inherits it.
    std::wstring environment =
        base::WithEnvironmentValue(OwnEnvironmentBlock(), L"__COMPAT_LAYER", L"RunAsInvoker");
    // The page's current folder is one nobody but the system changes.
    const std::wstring system = base::SystemFolder();
    if (system.empty()) {
        *failure = {L"GetSystemDirectoryW", ::GetLastError()};
        return base::Handle();
    }
    DWORD error = 0;
    base::Handle process = CreateChild(exePath, ChildCommandLine(exePath, options),
                                       {system, std::move(environment), token}, &error);
    if (!process) *failure = {L"CreateProcessAsUserW", error};
    return process;
}

base::Handle StartRestrictedProcess(const std::wstring& exePath, const std::wstring& options,
                                    StartFailure* failure) {
    const base::Handle token = MakeRestrictedToken(failure);
    return token ? StartProcessAsToken(token.Get(), exePath, options, failure) : base::Handle();
}

} // namespace fw
