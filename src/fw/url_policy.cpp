#include "fw/url_policy.h"

#include <array>
#include <cstring>

#include "base/text.h"

namespace fw {

namespace {

// Which kinds of address a row allows its action for: a set of AddressClass bits that rows
// combine with |, hence plain flags rather than a scoped enum.
enum AllowedFor : uint8_t {
    kNowhere = 0,
    kPublisherOnly = 1 << static_cast<int>(AddressClass::Publisher),
    kAnyWebPage = kPublisherOnly | 1 << static_cast<int>(AddressClass::OtherWeb),
    kEverywhere = kAnyWebPage | 1 << static_cast<int>(AddressClass::Other),
};

struct Row {
    uint32_t first, last;
    uint8_t allowedFor;
    bool pluginOnly = false; // allowed only for the game's plug-in (its class id as context)
    uint32_t allowed = kPolicyAllow;
    uint32_t refused = kPolicyDisallow;
};

constexpr Row kRows[] = {
    // Controls are never installed from a page: the install would run as administrator.
    {kActionDownloadActiveXFirst, kActionDownloadActiveXLast, kNowhere},
    // The game page's plug-in runs on the publisher's pages; no other control does, not even one
    // marked safe: every control is code running elevated on a plain-HTTP page's say.
    {kActionActiveXRun, kActionActiveXRun, kPublisherOnly, true},
    // Initialising or scripting a control that is not marked safe (the shell's objects) and
    // confirming one: never, whatever the zone levels say.
    {kActionActiveXOverrideObjectSafety, kActionActiveXConfirmNoObjectSafety, kNowhere},
    // The plug-in runs without the first-use question: this host has no bar to ask it on, and
    // the game needs it.
    {kActionActiveXOverrideOptIn, kActionActiveXOverrideOptIn, kPublisherOnly, true},
    // The pages are script, an advertisement in a frame too.
    {kActionScriptRun, kActionScriptRun, kAnyWebPage},
    // Script may not override a control's safety, nor use Java.
    {kActionScriptOverrideSafety, kActionScriptJavaUse, kNowhere},
    // The game page talks to its plug-in; other controls do not run anyway.
    {kActionScriptSafeActiveX, kActionScriptSafeActiveX, kPublisherOnly, true},
    // A page reads no data source of another domain.
    {kActionCrossDomainData, kActionCrossDomainData, kNowhere},
    // "Allowed" switches the cross-site-script filter on: the safer answer, for every page.
    {kActionScriptXssFilter, kActionScriptXssFilter, kEverywhere},
    // The login form posts to the publisher; frames of others submit nothing.
    {kActionSubmitForms, kActionSubmitFormsTo, kPublisherOnly},
    // No Java applets.
    {kActionHtmlJavaRun, kActionHtmlJavaRun, kNowhere},
    // No desktop items installed from a page.
    {kActionShellInstallDesktopItems, kActionShellInstallDesktopItems, kNowhere},
    // No downloads through the control: the program fetches game clients itself, signed.
    {kActionShellFileDownload, kActionShellFileDownload, kNowhere},
    // No program or file launched from a page, whatever its risk class.
    {kActionShellVerb, kActionShellExecuteLowRisk, kNowhere},
    // "Allowed" switches the pop-up blocker on.
    {kActionShellPopupManager, kActionShellPopupManager, kEverywhere},
    // The administrator's Windows logon is never handed to a web server.
    {kActionCredentialsUse, kActionCredentialsUse, kNowhere, false, kPolicyAllow,
     kPolicyCredentialsAnonymousOnly},
    // Cookies keep the login of the publisher's pages and of their frames.
    {kActionCookies, kActionCookiesSession, kAnyWebPage},
    {kActionCookiesThirdParty, kActionCookiesSessionThirdParty, kAnyWebPage},
    {kActionCookiesEnabled, kActionCookiesEnabled, kAnyWebPage},
    // No Java; its "refused" has a value of its own.
    {kActionJavaPermissions, kActionJavaPermissions, kNowhere, false, kPolicyAllow, kPolicyJavaProhibit},
    // No software-update channels installing from a page.
    {kActionSoftwareChannel, kActionSoftwareChannel, kNowhere, false, kPolicyAllow,
     kPolicySoftwareChannelProhibit},
    // No .NET code from a page.
    {kActionManagedCodeFirst, kActionManagedCodeLast, kNowhere},
};

constexpr std::array<ClassId, 2> kGamePlugin = {{
    {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}, // the player
    {0xD27CDB70, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}, // its factory
}};

constexpr std::wstring_view kFetchable[] = {L"http", L"https", L"about", L"javascript", L"app"};

// urlmon serves these itself; other schemes it finds in the registry.
constexpr std::wstring_view kBuiltIn[] = {L"file",     L"ftp",   L"gopher",  L"mk",
                                          L"res",      L"its",   L"ms-its",  L"mhtml",
                                          L"vbscript", L"local", L"ms-help", L"ms-settings"};

bool Allows(uint8_t allowedFor, AddressClass address) {
    return (allowedFor >> static_cast<int>(address)) & 1;
}

bool ContextIsPlugin(std::span<const std::byte> context) {
    if (context.size() != sizeof(ClassId)) return false;
    ClassId id;
    std::memcpy(&id, context.data(), sizeof id);
    return IsGamePlugin(id);
}

} // namespace

bool IsGamePlugin(const ClassId& id) {
    for (const ClassId& plugin : kGamePlugin)
        if (id == plugin) return true;
    return false;
}

UrlActionAnswer UrlActionPolicy(AddressClass address, uint32_t action, std::span<const std::byte> context) {
    for (const Row& row : kRows) {
        if (action < row.first || action > row.last) continue;
        const bool allowed = Allows(row.allowedFor, address) && (!row.pluginOnly || ContextIsPlugin(context));
        return {allowed, allowed ? row.allowed : row.refused, true};
    }
    return {};
}

bool MayUseControl(AddressClass address, const ClassId& id) {
    return address == AddressClass::Publisher && IsGamePlugin(id);
}

uint32_t ZoneOf(AddressClass address) {
    return address == AddressClass::Publisher ? kZoneInternet : kZoneRestricted;
}

std::string SecurityOrigin(std::wstring_view url) {
    const size_t colon = url.find(L':');
    if (colon == std::wstring_view::npos) return {};
    const auto lower = [](std::wstring_view text) {
        std::string out;
        for (wchar_t c : text) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            // Hosts are ASCII (international names travel encoded); anything else can't match one.
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return out;
    };
    std::string origin = lower(url.substr(0, colon)) + ":";
    std::wstring_view rest = url.substr(colon + 1);
    if (rest.substr(0, 2) != L"//") return origin;
    rest.remove_prefix(2);
    rest = rest.substr(0, rest.find_first_of(L"/\\?#"));
    if (const size_t at = rest.rfind(L'@'); at != std::wstring_view::npos) rest.remove_prefix(at + 1);
    // A port follows the last ":" unless that lies inside a bracketed IPv6 literal.
    if (const size_t port = rest.rfind(L':');
        port != std::wstring_view::npos && rest.find(L']', port) == rest.npos)
        rest = rest.substr(0, port);
    return origin + lower(rest);
}

bool IsFetchableScheme(std::wstring_view scheme) {
    for (std::wstring_view allowed : kFetchable)
        if (base::EqualsNoCase(scheme, allowed)) return true;
    return false;
}

std::span<const std::wstring_view> BuiltInSchemes() {
    return kBuiltIn;
}

} // namespace fw
