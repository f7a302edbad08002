// Files and folders an elevated process creates, deletes or trusts, worked on through handles
// that never follow a link: whatever a user swaps in between a check and its use is caught on
// the handle that is then used.
#pragma once
#include <windows.h>
#include <accctrl.h>

#include <cstdint>
#include <string>

#include "base/handle_win.h"

namespace fw {

// An access list for files only the system and administrators may touch (a script the elevated
// program runs, a crash dump holding the process's memory): nobody else, nothing inherited.
inline constexpr wchar_t kAdministratorsOnlySddl[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)";

// The path the file system resolved for an open handle, without the "\\?\" prefix ("\\?\UNC\"
// becomes "\\"); empty when the system can't say.
std::wstring FinalPath(HANDLE file);

// Opens a file or folder itself, a link included, for `access`; every kind of sharing allowed.
base::Handle OpenWithoutFollowing(const std::wstring& path, DWORD access);

// Marks an open file, empty folder or link for deletion (it goes when its last handle closes).
bool DeleteByHandle(HANDLE file);

// Renames an open file or folder (opened with DELETE access) to `path`, a full path; an existing
// object there is replaced only with `replace`. No one can have put other bytes under the new
// name since the object was checked through the handle.
bool RenameByHandle(HANDLE object, const std::wstring& path, bool replace);

// True when the object's owner is the system or the Administrators group and its access list
// allows nobody else one of `rights` (base/access_rules.h). The object is read through its handle.
bool OnlyAdministratorsMay(HANDLE object, SE_OBJECT_TYPE type, uint32_t rights);
// The same decision for a security descriptor in memory.
bool OnlyAdministratorsMay(PSECURITY_DESCRIPTOR descriptor, uint32_t rights);

// A security descriptor made from SDDL text, freed with the object.
class SecurityDescriptor {
public:
    explicit SecurityDescriptor(const wchar_t* sddl);
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;
    explicit operator bool() const { return m_descriptor.IsValid(); }
    PSECURITY_DESCRIPTOR Get() const { return m_descriptor.Get(); }
    // Attributes for a creating call; null when the text did not convert.
    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor ? &m_attributes : nullptr; }

private:
    base::LocalMemory<PSECURITY_DESCRIPTOR> m_descriptor;
    SECURITY_ATTRIBUTES m_attributes{};
};

// Creates the file `path` new (never opening one that is there, a link included) with the
// attributes `sa`, and keeps it only when its resolved path is `expectedFinalPath` (as FinalPath
// gives it); otherwise deletes what it made. INVALID_HANDLE_VALUE on failure. Others may share
// it only as `share` allows (none by default). Allocates nothing, so that a crash handler can use it.
HANDLE CreateNewFileAt(const wchar_t* path, const wchar_t* expectedFinalPath, DWORD access,
                       SECURITY_ATTRIBUTES* sa, DWORD share = 0);

// The resolved path that a new file called `name` in `folder` must have: the folder's own
// resolved path (opened without following a link; a folder that is a link has none) and the name.
std::wstring FinalPathForNewFile(const std::wstring& folder, const std::wstring& name);

// What MakeAdministratorsFolder does with something at the path that is not the system's or the
// administrators' own folder.
enum class Untrusted { MoveAside, Refuse };

// The folder `path` for an elevated program's own files: created with `sddl` in the creating
// call, or, when it exists, kept where it is when it is a plain folder owned by the system or the
// Administrators group (base::FoundFolderStepFor): used as it is when nobody else may change it,
// else given the access list of `sddl` through the handle it was judged on (what lies in it is
// left as it is and trusted no more than before). Anything else there (a folder someone else
// owns, a link, a file) is renamed aside under a fresh name and the folder created anew, or,
// with Untrusted::Refuse, left as it is. False when the folder can't be had.
bool MakeAdministratorsFolder(const std::wstring& path, const wchar_t* sddl,
                              Untrusted untrusted = Untrusted::MoveAside);

} // namespace fw
