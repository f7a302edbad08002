// How a security descriptor's access list is read for the trust decision: entry kinds the
// decision does not understand never make an object look safer than it is.
#include "fw/safe_file_win.h"

#include <gtest/gtest.h>

#include "base/access_rules.h"

namespace {

TEST(FwSafeFile, AnAllowingEntryOfAnUnreadKindCountsAsAnyoneAllowedEverything) {
    // An object entry allowing the administrators (no object types: the SID follows the flags).
    struct {
        ACE_HEADER header{ACCESS_ALLOWED_OBJECT_ACE_TYPE, 0, 0};
        ACCESS_MASK mask = FILE_ALL_ACCESS;
        DWORD flags = 0;
        BYTE sid[SECURITY_MAX_SID_SIZE]{};
    } entry;
    DWORD sidSize = sizeof(entry.sid);
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, entry.sid, &sidSize));
    entry.header.AceSize = WORD(offsetof(decltype(entry), sid) + sidSize);
    for (const bool withEntry : {false, true}) {
        alignas(DWORD) BYTE list[128];
        const auto acl = reinterpret_cast<PACL>(list);
        SECURITY_DESCRIPTOR descriptor; // owned by the administrators
        ASSERT_TRUE(InitializeAcl(acl, sizeof(list), ACL_REVISION_DS) &&
                    (!withEntry || AddAce(acl, ACL_REVISION_DS, MAXDWORD, &entry, entry.header.AceSize)) &&
                    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                    SetSecurityDescriptorOwner(&descriptor, entry.sid, FALSE) &&
                    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE));
        EXPECT_EQ(fw::OnlyAdministratorsMay(&descriptor, base::kFolderChangeRights), !withEntry);
    }
}

} // namespace
