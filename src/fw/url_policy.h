// What the program's browser controls may do, decided by the program alone: a fixed table from
// (the kind of address, the URL action the control asks about) to the policy it gets, the zone
// each kind of address is put in, and the schemes a page may fetch anything from. The player's
// Internet settings (zone levels, trusted sites) decide nothing: a program running with the
// player's rights could change them, and the pages run in an elevated process.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fw {

// URL actions the table names, with urlmon's documented numbers (the control passes them).
inline constexpr uint32_t kActionDownloadActiveXFirst = 0x1000; // signed and unsigned controls
inline constexpr uint32_t kActionDownloadActiveXLast = 0x11FF;
inline constexpr uint32_t kActionActiveXRun = 0x1200;
inline constexpr uint32_t kActionActiveXOverrideObjectSafety = 0x1201;
inline constexpr uint32_t kActionActiveXConfirmNoObjectSafety = 0x1204;
inline constexpr uint32_t kActionActiveXOverrideOptIn = 0x1208;
inline constexpr uint32_t kActionScriptRun = 0x1400;
inline constexpr uint32_t kActionScriptOverrideSafety = 0x1401;
inline constexpr uint32_t kActionScriptJavaUse = 0x1402;
inline constexpr uint32_t kActionScriptSafeActiveX = 0x1405;
inline constexpr uint32_t kActionCrossDomainData = 0x1406;
inline constexpr uint32_t kActionScriptXssFilter = 0x1409;
inline constexpr uint32_t kActionSubmitForms = 0x1601;
inline constexpr uint32_t kActionSubmitFormsTo = 0x1603;
inline constexpr uint32_t kActionHtmlJavaRun = 0x1605;
inline constexpr uint32_t kActionShellInstallDesktopItems = 0x1800;
inline constexpr uint32_t kActionShellFileDownload = 0x1803;
inline constexpr uint32_t kActionShellVerb = 0x1804;
inline constexpr uint32_t kActionShellExecuteLowRisk = 0x1808;
inline constexpr uint32_t kActionShellPopupManager = 0x1809;
inline constexpr uint32_t kActionCredentialsUse = 0x1A00;
inline constexpr uint32_t kActionCookies = 0x1A02;
inline constexpr uint32_t kActionCookiesSession = 0x1A03;
inline constexpr uint32_t kActionCookiesThirdParty = 0x1A05;
inline constexpr uint32_t kActionCookiesSessionThirdParty = 0x1A06;
inline constexpr uint32_t kActionCookiesEnabled = 0x1A10;
inline constexpr uint32_t kActionJavaPermissions = 0x1C00;
inline constexpr uint32_t kActionSoftwareChannel = 0x1E05;
inline constexpr uint32_t kActionManagedCodeFirst = 0x2001; // .NET code, signed or not, controls
inline constexpr uint32_t kActionManagedCodeLast = 0x2005;

// URL policies (the low byte of the answer for most actions; some actions have values of their
// own, named where the table uses them).
inline constexpr uint32_t kPolicyAllow = 0x0;
inline constexpr uint32_t kPolicyDisallow = 0x3;
inline constexpr uint32_t kPolicyJavaProhibit = 0x0;
inline constexpr uint32_t kPolicyCredentialsAnonymousOnly = 0x30000;
inline constexpr uint32_t kPolicySoftwareChannelProhibit = 0x10000;

// Zones as urlmon numbers them.
inline constexpr uint32_t kZoneInternet = 3;
inline constexpr uint32_t kZoneRestricted = 4;

// What an address is to the pages' rules.
enum class AddressClass : uint8_t {
    Publisher, // http(s) on one of the publisher's hosts
    OtherWeb,  // any other http(s) page: only ever inside a frame of a publisher page
    Other,     // everything else (file:, shares, about:, other protocols)
};

// A COM class id in the memory layout of a GUID.
struct ClassId {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    bool operator==(const ClassId&) const = default;
};

// The game's plug-in: the Flash player's control and its factory object.
bool IsGamePlugin(const ClassId& id);

struct UrlActionAnswer {
    bool allowed = false;
    uint32_t policy = kPolicyDisallow; // the value handed to the control
    bool known = false;                // false: the table has no row, the refusal is the default
};

// The policy of action for a page at an address of the class. context: what the control passes
// beside the action (a control's class id for the ActiveX actions; anything else is ignored).
// Actions without a row are refused.
UrlActionAnswer UrlActionPolicy(AddressClass address, uint32_t action,
                                std::span<const std::byte> context = {});

// Whether a control of class id may be created and scripted at an address of the class (asked
// beside the URL actions when a control is not marked safe).
bool MayUseControl(AddressClass address, const ClassId& id);

// The zone the control is told an address lies in: the publisher's pages the Internet zone,
// everything else Restricted.
uint32_t ZoneOf(AddressClass address);

// The origin part of a security id: the scheme in lower case, ":" and, where the address has an
// authority ("//"), its host in lower case without user information or port.
std::string SecurityOrigin(std::wstring_view url);

// Whether a page may fetch anything (a frame, an image, a style sheet, a script) from an address
// of this scheme (the text before ":", any letter case): http, https, about, javascript and the
// program's own "app:" only.
bool IsFetchableScheme(std::wstring_view scheme);

// Schemes the system may serve without saying so in the registry; refused beside those it
// lists.
std::span<const std::wstring_view> BuiltInSchemes();

} // namespace fw
