#include "base/access_rules.h"

namespace base {

namespace {

bool IsAdministration(Trustee trustee) {
    return trustee == Trustee::System || trustee == Trustee::Administrators;
}

} // namespace

bool OnlyAdministratorsMay(Trustee owner, bool hasList, const std::vector<AccessEntry>& entries,
                           uint32_t rights) {
    // The owner may always change the access list, whatever it says.
    if (!IsAdministration(owner) || !hasList) return false;
    for (const AccessEntry& entry : entries) {
        if (entry.allows && !IsAdministration(entry.trustee) && (entry.mask & rights) != 0) return false;
    }
    return true;
}

FoundFolderStep FoundFolderStepFor(FoundObject object, Trustee owner, bool hasList,
                                   const std::vector<AccessEntry>& entries, uint32_t rights) {
    if (object != FoundObject::Folder || !IsAdministration(owner)) return FoundFolderStep::MoveAside;
    return OnlyAdministratorsMay(owner, hasList, entries, rights) ? FoundFolderStep::Use
                                                                  : FoundFolderStep::Reprotect;
}

} // namespace base
