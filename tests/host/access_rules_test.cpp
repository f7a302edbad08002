#include "base/access_rules.h"

#include <gtest/gtest.h>

namespace {

using base::AccessEntry;
using base::Trustee;

constexpr uint32_t kReadAndRun = 0x1200a9;
constexpr uint32_t kAddFile = 0x2, kDeleteChild = 0x40, kWriteDac = 0x40000, kGenericAll = 0x10000000;

TEST(AccessRules, OnlyTheSystemAndAdministratorsMayChangeATrustedFolder) {
    const AccessEntry system{true, Trustee::System, 0x1f01ff},
        admins{true, Trustee::Administrators, 0x1f01ff};
    struct Case {
        const char* what;
        Trustee owner;
        bool hasList;
        std::vector<AccessEntry> entries;
        bool trusted;
    } cases[] = {
        {"the install folders' list",
         Trustee::Administrators,
         true,
         {system, admins, {true, Trustee::Other, kReadAndRun}},
         true},
        {"owned by the system", Trustee::System, true, {system}, true},
        {"owned by a user", Trustee::Other, true, {system, admins}, false},
        {"no list lets everyone in", Trustee::Administrators, false, {}, false},
        {"users may add files",
         Trustee::Administrators,
         true,
         {admins, {true, Trustee::Other, kAddFile}},
         false},
        {"users may delete children", Trustee::System, true, {{true, Trustee::Other, kDeleteChild}}, false},
        {"users may change the list", Trustee::System, true, {{true, Trustee::Other, kWriteDac}}, false},
        {"users hold every generic right",
         Trustee::System,
         true,
         {{true, Trustee::Other, kGenericAll}},
         false},
        {"a denying entry narrows only",
         Trustee::Administrators,
         true,
         {{false, Trustee::Other, kGenericAll}, admins},
         true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(base::OnlyAdministratorsMay(c.owner, c.hasList, c.entries, base::kFolderChangeRights),
                  c.trusted)
            << c.what;
    // A named object: reading its state is access too.
    EXPECT_FALSE(base::OnlyAdministratorsMay(Trustee::Administrators, true,
                                             {{true, Trustee::Other, 0x100000}}, base::kAnyRight));
}

TEST(AccessRules, OnlyTheAdministratorsOwnPlainFolderStaysWhereItIs) {
    using enum base::FoundFolderStep;
    using Found = base::FoundObject;
    const std::vector<AccessEntry> tight{{true, Trustee::System, kGenericAll}},
        loose{{true, Trustee::Other, kAddFile}}; // as the shared data folder's entry is inherited
    const std::tuple<Found, Trustee, const std::vector<AccessEntry>*, base::FoundFolderStep> cases[] = {
        {Found::Folder, Trustee::Administrators, &tight, Use},
        {Found::Folder, Trustee::System, &loose, Reprotect},
        {Found::Folder, Trustee::Other, &tight, MoveAside},
        {Found::Link, Trustee::Administrators, &tight, MoveAside},
        {Found::Other, Trustee::System, &tight, MoveAside}};
    for (const auto& [object, owner, entries, step] : cases)
        EXPECT_EQ(base::FoundFolderStepFor(object, owner, true, *entries, base::kFolderChangeRights), step);
}

} // namespace
