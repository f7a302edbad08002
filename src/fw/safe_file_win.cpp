#include "fw/safe_file_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "base/access_rules.h"
#include "base/trace_win.h"
#include "fw/test_switch_win.h"

namespace fw {

static_assert(base::kFolderChangeRights ==
              (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
               FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL | GENERIC_WRITE));

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
// A fresh name for a folder moved aside is tried this often.
constexpr int kAsideAttempts = 8;
// Room for a resolved path; a longer one is refused rather than cut.
constexpr DWORD kFinalPathChars = 1024;

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (*text != *prefix) return false;
    return true;
}

// The path the file system resolved for an open handle, written into `buffer` and returned
// without its "\\?\" prefix ("\\?\UNC\server" becomes "\\server"); null when the system can't
// say or the path does not fit. Allocates nothing.
const wchar_t* ResolvedPath(HANDLE file, wchar_t (&buffer)[kFinalPathChars]) {
    const DWORD n = GetFinalPathNameByHandleW(file, buffer, kFinalPathChars, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= kFinalPathChars) return nullptr;
    if (StartsWith(buffer, kLongUncPrefix)) {
        // The last two characters of the prefix, "C\", become the leading "\\".
        buffer[6] = L'\\';
        return buffer + 6;
    }
    return StartsWith(buffer, kLongPrefix) ? buffer + 4 : buffer;
}

// The current process's user: on a test machine whose file system keeps no access lists every
// file reads as owned by that user and open to them, so a switch only administrators can set
// lets the user stand in for the Administrators group there. A player's machine has no switch.
bool IsStandInForAdministrators(PSID sid) {
    if (ReadTestSwitch(L"TrustOwnUser").value_or(L"") != L"1") return false;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    base::Handle token(raw);
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer, sizeof(buffer), &size)) return false;
    return EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid) != FALSE;
}

base::Trustee TrusteeOf(PSID sid) {
    if (!sid || !IsValidSid(sid)) return base::Trustee::Other;
    if (IsWellKnownSid(sid, WinLocalSystemSid)) return base::Trustee::System;
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsStandInForAdministrators(sid))
        return base::Trustee::Administrators;
    return base::Trustee::Other;
}

// The access list as the rule reads it. Denying entries and labels narrow access and are left
// out; an allowing entry of a kind not read here counts as allowing anyone everything.
std::vector<base::AccessEntry> EntriesOf(PACL list) {
    std::vector<base::AccessEntry> entries;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(list, i, &raw)) {
            entries.push_back({true, base::Trustee::Other, base::kAnyRight});
            continue;
        }
        const auto* header = static_cast<ACE_HEADER*>(raw);
        switch (header->AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
            auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
            entries.push_back({true, TrusteeOf(&ace->SidStart), ace->Mask});
            break;
        }
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case SYSTEM_AUDIT_ACE_TYPE:
        case SYSTEM_MANDATORY_LABEL_ACE_TYPE:
            break;
        default:
            entries.push_back({true, base::Trustee::Other, base::kAnyRight});
        }
    }
    return entries;
}

bool Decide(PSID owner, BOOL hasList, PACL list, uint32_t rights) {
    return base::OnlyAdministratorsMay(TrusteeOf(owner), hasList && list, EntriesOf(list), rights);
}

// What becomes of the object found at a folder's path, read through its handle: an object whose
// kind or owner can't be read is nobody's to trust.
base::FoundFolderStep StepForFound(HANDLE object, const FILE_ATTRIBUTE_TAG_INFO& tag) {
    const base::FoundObject kind =
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? base::FoundObject::Link
        : (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)   ? base::FoundObject::Folder
                                                            : base::FoundObject::Other;
    PSID owner = nullptr;
    PACL list = nullptr;
    base::LocalMemory<PSECURITY_DESCRIPTOR> descriptor;
    if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &list, nullptr, descriptor.Put()) != ERROR_SUCCESS)
        return base::FoundFolderStep::MoveAside;
    return base::FoundFolderStepFor(kind, TrusteeOf(owner), list != nullptr, EntriesOf(list),
                                    base::kFolderChangeRights);
}

// Replaces the folder's access list with the protected one of `descriptor` through the open
// handle. The kernel's own call changes this object alone: it neither follows a path nor walks
// the folder's children, where a user may have left links while the folder was open to them.
bool Reprotect(HANDLE folder, PSECURITY_DESCRIPTOR descriptor) {
    return SetKernelObjectSecurity(folder, DACL_SECURITY_INFORMATION, descriptor) &&
           OnlyAdministratorsMay(folder, SE_FILE_OBJECT, base::kFolderChangeRights);
}

// Renames an open file or folder to a fresh name beside it, never replacing anything.
bool RenameAside(HANDLE object, const std::wstring& path) {
    for (int attempt = 0; attempt < kAsideAttempts; ++attempt) {
        wchar_t suffix[32] = {};
        wsprintfW(suffix, L".aside-%08x", DWORD(GetTickCount64()) ^ (GetCurrentProcessId() << 12) ^ attempt);
        if (RenameByHandle(object, path + suffix, false)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

} // namespace

bool RenameByHandle(HANDLE object, const std::wstring& path, bool replace) {
    // A drive path goes as an NT path, which every version of the call takes as it is; any
    // other form (a share) as given.
    const bool drivePath = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    const std::wstring target = drivePath ? L"\\??\\" + path : path;
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(target.size() * sizeof(wchar_t));
    memcpy(info->FileName, target.c_str(), info->FileNameLength);
    return SetFileInformationByHandle(object, FileRenameInfo, info, DWORD(buffer.size())) != FALSE;
}

std::wstring FinalPath(HANDLE file) {
    wchar_t buffer[kFinalPathChars];
    const wchar_t* path = ResolvedPath(file, buffer);
    return path ? std::wstring(path) : std::wstring();
}

base::Handle OpenWithoutFollowing(const std::wstring& path, DWORD access) {
    return base::Handle(
        CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool DeleteByHandle(HANDLE file) {
    FILE_DISPOSITION_INFO dispose = {TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof(dispose)) != FALSE;
}

bool OnlyAdministratorsMay(HANDLE object, SE_OBJECT_TYPE type, uint32_t rights) {
    PSID owner = nullptr;
    PACL list = nullptr;
    base::LocalMemory<PSECURITY_DESCRIPTOR> descriptor;
    if (GetSecurityInfo(object, type, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &list, nullptr, descriptor.Put()) != ERROR_SUCCESS)
        return false;
    return Decide(owner, TRUE, list, rights);
}

bool OnlyAdministratorsMay(PSECURITY_DESCRIPTOR descriptor, uint32_t rights) {
    PSID owner = nullptr;
    PACL list = nullptr;
    BOOL defaulted = FALSE, hasList = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor, &hasList, &list, &defaulted))
        return false;
    return Decide(owner, hasList, list, rights);
}

SecurityDescriptor::SecurityDescriptor(const wchar_t* sddl) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, m_descriptor.Put(),
                                                              nullptr))
        m_descriptor.Release(); // nothing was allocated
    m_attributes = SECURITY_ATTRIBUTES{sizeof(m_attributes), m_descriptor.Get(), FALSE};
}

HANDLE CreateNewFileAt(const wchar_t* path, const wchar_t* expectedFinalPath, DWORD access,
                       SECURITY_ATTRIBUTES* sa, DWORD share) {
    HANDLE file = CreateFileW(path, access | DELETE | SYNCHRONIZE, share, sa, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    wchar_t buffer[kFinalPathChars];
    const wchar_t* final = ResolvedPath(file, buffer);
    if (final && CompareStringOrdinal(final, -1, expectedFinalPath, -1, TRUE) == CSTR_EQUAL) return file;
    // Made somewhere else than asked (a folder on the way was swapped for a link): undone.
    base::Trace(L"new file made elsewhere than asked, removed", path, ERROR_ACCESS_DENIED);
    DeleteByHandle(file);
    CloseHandle(file);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
}

std::wstring FinalPathForNewFile(const std::wstring& folder, const std::wstring& name) {
    const base::Handle handle = OpenWithoutFollowing(folder, FILE_READ_ATTRIBUTES);
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &tag, sizeof(tag)) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    const std::wstring resolved = FinalPath(handle.Get());
    if (resolved.empty()) return {};
    return resolved.back() == L'\\' ? resolved + name : resolved + L"\\" + name;
}

bool MakeAdministratorsFolder(const std::wstring& path, const wchar_t* sddl, Untrusted untrusted) {
    SecurityDescriptor descriptor(sddl);
    if (!descriptor || path.empty()) return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (CreateDirectoryW(path.c_str(), descriptor.Attributes())) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
        constexpr DWORD kLook = READ_CONTROL | DELETE | FILE_READ_ATTRIBUTES;
        // Without the right to change its list (someone else's folder) it can still be moved aside.
        base::Handle existing = OpenWithoutFollowing(path, kLook | WRITE_DAC);
        if (!existing && GetLastError() == ERROR_ACCESS_DENIED) existing = OpenWithoutFollowing(path, kLook);
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!existing ||
            !GetFileInformationByHandleEx(existing.Get(), FileAttributeTagInfo, &tag, sizeof(tag)))
            break;
        const base::FoundFolderStep step = StepForFound(existing.Get(), tag);
        if (step == base::FoundFolderStep::Use) return true;
        if (step == base::FoundFolderStep::Reprotect) {
            if (Reprotect(existing.Get(), descriptor.Get())) {
                base::Trace(L"folder others could change was re-protected", path, 0);
                return true;
            }
            base::Trace(L"folder others may change not re-protected", path, GetLastError());
            break;
        }
        base::Trace(L"folder not the administrators' own, not trusted", path, 0);
        if (untrusted == Untrusted::Refuse || !RenameAside(existing.Get(), path)) break;
    }
    base::Trace(L"administrators' folder not made", path, GetLastError());
    return false;
}

} // namespace fw
