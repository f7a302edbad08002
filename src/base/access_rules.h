// Whether an object's owner and access list leave it to administrators alone: the decision an
// elevated process makes before it uses a folder or a named object that it did not create.
#pragma once
#include <cstdint>
#include <vector>

namespace base {

// Who an owner or an access entry names, as far as the decision cares.
enum class Trustee {
    System,         // the local system account
    Administrators, // the built-in Administrators group
    Other,          // anyone else, including the creator-owner placeholder and the current user
};

struct AccessEntry {
    bool allows = true; // an entry that allows; denying entries never widen access
    Trustee trustee = Trustee::Other;
    uint32_t mask = 0;
};

// Rights that change what lies in a folder or the folder itself: write or append (for a folder:
// add a file or a subfolder), write extended attributes or attributes, delete a child, delete,
// change the access list or the owner, and the generic rights that include any of them.
inline constexpr uint32_t kFolderChangeRights = 0x00000002 | 0x00000004 | 0x00000010 | 0x00000040 |
                                                0x00000100 | 0x00010000 | 0x00040000 | 0x00080000 |
                                                0x10000000 | 0x40000000;

// Every right: for a named object, any access another user holds lets them hold it or wait on it.
inline constexpr uint32_t kAnyRight = 0xFFFFFFFF;

// True when the owner is the system or the Administrators group and no entry allows anyone
// else one of `rights`. A missing access list (nullptr on Windows) allows everyone everything
// and is given as `hasList` false.
bool OnlyAdministratorsMay(Trustee owner, bool hasList, const std::vector<AccessEntry>& entries,
                           uint32_t rights);

} // namespace base
