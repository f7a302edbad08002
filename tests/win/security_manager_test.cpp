// The browser site hands its control the program's own security manager, which keeps its
// answers whatever the player's zone settings say; the schemes a page may not fetch from fail
// every request. Wine's control has no HTML engine here and asks no URL action, so the manager
// and the handler are asked directly, as the control would.
#include "fw/browser_host_win.h"
#include "fw/scheme_refusal_win.h"
#include "fw/security_manager_win.h"

#include <gtest/gtest.h>

#include <string>

#include "web/page_security.h"

namespace {

constexpr wchar_t kZoneKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\";
constexpr wchar_t kGamePage[] = L"http://s1.vexatarn.com/game.html";
constexpr CLSID kShell = {0x72C24DD5, 0xD70A, 0x438B, {0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8}};
constexpr CLSID kPlugin = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Sets action 1201 ("initialize and script controls not marked safe") to "allow" in the
// Internet and Restricted zones of this prefix's user, and removes it again.
struct ZonesAllowUnsafeControls {
    ZonesAllowUnsafeControls() {
        for (const wchar_t* zone : {L"3", L"4"}) {
            const DWORD allow = 0;
            ok = RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kZoneKey) + zone).c_str(), L"1201",
                                 REG_DWORD, &allow, sizeof allow) == ERROR_SUCCESS &&
                 ok;
        }
    }
    ~ZonesAllowUnsafeControls() {
        for (const wchar_t* zone : {L"3", L"4"})
            RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kZoneKey) + zone).c_str(), L"1201");
    }
    bool ok = true;
};

HRESULT Ask(IInternetSecurityManager* manager, const wchar_t* url, DWORD action, const CLSID& control,
            DWORD& policy) {
    policy = 0xFFFF;
    return manager->ProcessUrlAction(url, action, reinterpret_cast<BYTE*>(&policy), sizeof policy,
                                     reinterpret_cast<BYTE*>(const_cast<CLSID*>(&control)), sizeof control, 0,
                                     0);
}

// The program loads urlmon by its full path; the tests take it as it comes.
template <class Fn> Fn Urlmon(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"urlmon.dll"), name)));
}

HRESULT Fetch(const std::wstring& url) {
    using OpenStreamFn = HRESULT(WINAPI*)(IUnknown*, LPCWSTR, IStream**, DWORD, IBindStatusCallback*);
    static const auto open = Urlmon<OpenStreamFn>("URLOpenBlockingStreamW");
    base::ComPtr<IStream> stream;
    return open ? open(nullptr, url.c_str(), stream.Put(), 0, nullptr) : E_NOTIMPL;
}

} // namespace

TEST(SecurityManager, TheSiteHandsItOutAndZoneSettingsChangeNoAnswer) {
    fw::SetPageAddressRule([](std::wstring_view url) { return web::ClassifyPageAddress(url, L""); });
    auto* site = new fw::CBrowserControlSite(nullptr, nullptr);
    base::ComPtr<IServiceProvider> provider;
    ASSERT_EQ(site->ClientSite()->QueryInterface(IID_IServiceProvider, provider.PutVoid()), S_OK);
    site->Release();
    base::ComPtr<IInternetSecurityManager> manager;
    ASSERT_EQ(
        provider->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager, manager.PutVoid()),
        S_OK);
    base::ComPtr<IInternetSecurityManager> system;
    using CreateFn = HRESULT(WINAPI*)(IServiceProvider*, IInternetSecurityManager**, DWORD);
    const auto create = Urlmon<CreateFn>("CoInternetCreateSecurityManager");
    ASSERT_NE(create, nullptr);
    ASSERT_EQ(create(nullptr, system.Put(), 0), S_OK);

    const ZonesAllowUnsafeControls zones;
    ASSERT_TRUE(zones.ok);
    DWORD policy = 0;
    // The system's own manager follows the setting: that is what a page could exploit.
    EXPECT_EQ(Ask(system.Get(), kGamePage, URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY, kShell, policy), S_OK);
    EXPECT_EQ(Ask(manager.Get(), kGamePage, URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY, kShell, policy),
              S_FALSE);
    EXPECT_EQ(policy, DWORD{URLPOLICY_DISALLOW});
    EXPECT_EQ(Ask(manager.Get(), kGamePage, URLACTION_ACTIVEX_RUN, kShell, policy), S_FALSE);
    EXPECT_EQ(Ask(manager.Get(), kGamePage, URLACTION_ACTIVEX_RUN, kPlugin, policy), S_OK);
    EXPECT_EQ(policy, DWORD{URLPOLICY_ALLOW});

    CONFIRMSAFETY confirm{kShell, nullptr, 0};
    BYTE* custom = nullptr;
    DWORD customSize = 0;
    EXPECT_EQ(manager->QueryCustomPolicy(kGamePage, fw::kGuidConfirmObjectSafety, &custom, &customSize,
                                         reinterpret_cast<BYTE*>(&confirm), sizeof confirm, 0),
              S_FALSE);
    ASSERT_EQ(customSize, sizeof(DWORD));
    EXPECT_EQ(*reinterpret_cast<DWORD*>(custom), DWORD{URLPOLICY_DISALLOW});
    CoTaskMemFree(custom);

    DWORD zone = 0;
    EXPECT_EQ(manager->MapUrlToZone(kGamePage, &zone, 0), S_OK);
    EXPECT_EQ(zone, DWORD{URLZONE_INTERNET});
    EXPECT_EQ(manager->MapUrlToZone(L"file:///C:/windows/win.ini", &zone, 0), S_OK);
    EXPECT_EQ(zone, DWORD{URLZONE_UNTRUSTED});
    BYTE id[MAX_SIZE_SECURITY_ID];
    DWORD idSize = sizeof id;
    ASSERT_EQ(manager->GetSecurityId(kGamePage, id, &idSize, 0), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(id), idSize),
              std::string("http:s1.vexatarn.com\3\0\0\0", 24));
}

TEST(SchemeRefusal, FileAndShareRequestsFail) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file = L"file:///" + std::wstring(path);
    ASSERT_EQ(Fetch(file), S_OK) << "the request is served before the refusal";

    ASSERT_TRUE(fw::RefuseUnfetchableSchemes());
    EXPECT_EQ(Fetch(file), fw::kRequestRefused);
    EXPECT_EQ(Fetch(L"\\\\127.0.0.1\\share\\x.png"), fw::kRequestRefused);
    EXPECT_EQ(Fetch(L"file://127.0.0.1/share/x.png"), fw::kRequestRefused);
    EXPECT_NE(Fetch(L"http://127.0.0.1:1/x.png"), fw::kRequestRefused);
}
