// What the program's security manager answers the pages' browser control: (address, action,
// control) -> policy, the zones, the origins of security ids and the schemes a page may fetch.
#include "fw/url_policy.h"

#include <gtest/gtest.h>

#include <span>

#include "web/page_security.h"

namespace {

constexpr fw::ClassId kPlugin = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// WScript.Shell: a control marked nothing, the one a page would run programs with.
constexpr fw::ClassId kShell = {0x72C24DD5, 0xD70A, 0x438B, {0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8}};

constexpr wchar_t kGamePage[] = L"http://s1.vexatarn.com/game.html";
constexpr wchar_t kAdvert[] = L"https://ads.example.net/frame.html";
constexpr wchar_t kShare[] = L"file://host/share/x.png";

} // namespace

TEST(UrlPolicy, OnlyWhatIsAllowedOnPurposeIsAllowed) {
    struct Case {
        const wchar_t* url;
        uint32_t action;
        const fw::ClassId* control;
        bool allowed;
        uint32_t policy;
    };
    const Case cases[] = {
        // the plug-in, on the publisher's pages only, and no other control even there
        {kGamePage, fw::kActionActiveXRun, &kPlugin, true, fw::kPolicyAllow},
        {kGamePage, fw::kActionScriptSafeActiveX, &kPlugin, true, fw::kPolicyAllow},
        {kGamePage, fw::kActionActiveXRun, &kShell, false, fw::kPolicyDisallow},
        {kAdvert, fw::kActionActiveXRun, &kPlugin, false, fw::kPolicyDisallow},
        {kGamePage, fw::kActionActiveXOverrideObjectSafety, &kShell, false, fw::kPolicyDisallow},
        // script and cookies on any web page, forms on the publisher's
        {kGamePage, fw::kActionScriptRun, nullptr, true, fw::kPolicyAllow},
        {kAdvert, fw::kActionScriptRun, nullptr, true, fw::kPolicyAllow},
        {kShare, fw::kActionScriptRun, nullptr, false, fw::kPolicyDisallow},
        {kAdvert, fw::kActionCookiesThirdParty, nullptr, true, fw::kPolicyAllow},
        {kGamePage, fw::kActionSubmitFormsTo, nullptr, true, fw::kPolicyAllow},
        {kAdvert, fw::kActionSubmitForms, nullptr, false, fw::kPolicyDisallow},
        // refused everywhere, some with a refusal value of their own
        {kGamePage, fw::kActionJavaPermissions, nullptr, false, fw::kPolicyJavaProhibit},
        {kGamePage, fw::kActionShellExecuteLowRisk, nullptr, false, fw::kPolicyDisallow},
        {kGamePage, fw::kActionShellFileDownload, nullptr, false, fw::kPolicyDisallow},
        {kGamePage, fw::kActionCrossDomainData, nullptr, false, fw::kPolicyDisallow},
        {kGamePage, fw::kActionShellInstallDesktopItems, nullptr, false, fw::kPolicyDisallow},
        {kGamePage, fw::kActionCredentialsUse, nullptr, false, fw::kPolicyCredentialsAnonymousOnly},
        {kGamePage, fw::kActionSoftwareChannel, nullptr, false, fw::kPolicySoftwareChannelProhibit},
        // where "allowed" is the protection, everywhere
        {kShare, fw::kActionShellPopupManager, nullptr, true, fw::kPolicyAllow},
        // an action nobody named: refused
        {kGamePage, 0x1607, nullptr, false, fw::kPolicyDisallow},
    };
    for (const Case& c : cases) {
        const auto context =
            c.control ? std::as_bytes(std::span(c.control, 1)) : std::span<const std::byte>();
        const fw::UrlActionAnswer answer =
            fw::UrlActionPolicy(web::ClassifyPageAddress(c.url, L""), c.action, context);
        EXPECT_EQ(answer.allowed, c.allowed) << c.url << " " << std::hex << c.action;
        EXPECT_EQ(answer.policy, c.policy) << c.url << " " << std::hex << c.action;
    }
    EXPECT_FALSE(fw::UrlActionPolicy(fw::AddressClass::Publisher, 0x1607).known);
    EXPECT_TRUE(fw::MayUseControl(fw::AddressClass::Publisher, kPlugin));
    EXPECT_FALSE(fw::MayUseControl(fw::AddressClass::Publisher, kShell));
    EXPECT_FALSE(fw::MayUseControl(fw::AddressClass::OtherWeb, kPlugin));
}

TEST(UrlPolicy, ZonesAndOrigins) {
    const struct {
        const wchar_t* url;
        uint32_t zone;
        const char* origin;
    } cases[] = {
        {L"HTTP://S1.VexaTarn.com:8080/g?q", fw::kZoneInternet, "http:s1.vexatarn.com"},
        {L"http://u:pw@ads.example.net:81/", fw::kZoneRestricted, "http:ads.example.net"},
        {L"http://127.0.0.1:8080/x", fw::kZoneRestricted, "http:127.0.0.1"}, // only with the switch
        {L"https://[::1]/x", fw::kZoneRestricted, "https:[::1]"},
        {kAdvert, fw::kZoneRestricted, "https:ads.example.net"},
        {L"\\\\host\\share\\x.png", fw::kZoneRestricted, ""},
        {L"about:blank", fw::kZoneRestricted, "about:"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::ZoneOf(web::ClassifyPageAddress(c.url, L"")), c.zone) << c.url;
        EXPECT_EQ(fw::SecurityOrigin(c.url), c.origin) << c.url;
    }
    EXPECT_EQ(fw::ZoneOf(web::ClassifyPageAddress(L"http://127.0.0.1:8080/x", L"127.0.0.1:8080")),
              fw::kZoneInternet);
}

TEST(UrlPolicy, OnlyWebScriptAndOwnSchemesAreFetched) {
    for (const wchar_t* scheme : {L"http", L"HTTPS", L"about", L"javascript", L"app"})
        EXPECT_TRUE(fw::IsFetchableScheme(scheme)) << scheme;
    for (const wchar_t* scheme : {L"file", L"ftp", L"res", L"mk", L"vbscript", L"ms-its", L"", L"https2"})
        EXPECT_FALSE(fw::IsFetchableScheme(scheme)) << scheme;
}
