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

// What is found at the path of a folder the program keeps its own files in.
enum class FoundObject {
    Folder, // a plain folder
    Link,   // any reparse point, a folder's junction included
    Other,  // a file or anything else that is not a folder
};

// What becomes of it.
enum class FoundFolderStep {
    Use,       // only the system and administrators may change it already
    Reprotect, // the system's or the administrators' own: its access list is replaced in place
    MoveAside, // anyone else's, a link or no folder at all: never written through
};

// A plain folder owned by the system or the Administrators group is kept where it is (what
// lies in it stays where the publisher's other programs expect it): used as it is when nobody
// else may change it (`rights`), else given the program's own access list. Anything else is
// not the program's to change and goes out of the way.
FoundFolderStep FoundFolderStepFor(FoundObject object, Trustee owner, bool hasList,
                                   const std::vector<AccessEntry>& entries, uint32_t rights);

} // namespace base
