// The program's own IInternetSecurityManager, which every browser site of the program hands to
// its control: it answers from fw::UrlActionPolicy's fixed table and never asks the zone
// settings, which a program running with the player's rights could change.
#pragma once
#include <windows.h>
#include <urlmon.h>

#include <string_view>

#include "fw/url_policy.h"

namespace fw {

// GUID_CUSTOM_CONFIRMOBJECTSAFETY, which the import libraries do not carry.
inline constexpr GUID kGuidConfirmObjectSafety = {
    0x10200490, 0xFA38, 0x11D0, {0xAC, 0x0E, 0x00, 0xA0, 0xC9, 0x0F, 0xFF, 0xC0}};

using AddressRule = AddressClass (*)(std::wstring_view url);

// Sets how the manager tells the publisher's pages from others; once per process, before its
// first browser control. Until then every address counts as AddressClass::Other: everything
// the table refuses anywhere is refused, so a process that forgets it shows dead pages rather
// than trusting them.
void SetPageAddressRule(AddressRule rule);

// The process's one manager. It lives as long as the process; its count means nothing.
IInternetSecurityManager* ProcessSecurityManager();

} // namespace fw
