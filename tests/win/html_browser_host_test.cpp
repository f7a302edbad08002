// The browser host in a plain window: the control comes up in place, its events reach the
// client, a cancel stops a navigation, and teardown lets the site go.
#include "fw/browser_host_win.h"
#include "fw/browser_features_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win_test_support.h"

namespace {

// Nothing listens on port 1 of the loopback address: the navigation fails at once.
constexpr wchar_t kClosedPortUrl[] = L"http://127.0.0.1:1/nothing.htm";

struct Recorder : fw::BrowserHostClient {
    void BeforeNavigate2(IDispatch*, const std::wstring& url, bool& cancel) override {
        before.push_back(url);
        if (url.rfind(L"app:", 0) == 0) cancel = true;
    }
    void NavigateComplete2(IDispatch*, const std::wstring& url) override { complete.push_back(url); }
    void NavigateError(IDispatch*, const std::wstring& url, const std::wstring&, long status,
                       bool& cancel) override {
        errors.push_back(url);
        lastStatus = status;
        cancel = true;
    }
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override {
        info->dwFlags = 0x0C;
        return S_OK;
    }
    std::vector<std::wstring> before, complete, errors;
    long lastStatus = 0;
};

// A site that counts its own lifetime and offers one extra interface through its hook.
struct CountedSite : fw::CBrowserControlSite {
    CountedSite(HWND window, fw::BrowserHostClient* client, bool* gone)
        : CBrowserControlSite(window, client), m_gone(gone) {}

protected:
    ~CountedSite() override { *m_gone = true; }
    HRESULT QueryInterfaceHook(REFIID iid, void** out) override {
        if (iid != IID_IOleCommandTarget) return E_NOINTERFACE;
        *out = static_cast<IOleClientSite*>(ClientSite()); // any part will do for the test
        AddRef();
        return S_OK;
    }

private:
    bool* m_gone;
};

class BrowserHostTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TnVexaBrowserHostTest";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, wc.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 50, 50, 640, 480, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        ASSERT_NE(parent, nullptr);
        site = new CountedSite(parent, &recorder, &siteGone);
        RECT rc{0, 0, 600, 400};
        ASSERT_TRUE(host.Create(parent, rc, &recorder, site));
    }
    void TearDown() override {
        host.Destroy();
        DestroyWindow(parent);
    }

    Recorder recorder;
    bool siteGone = false;
    CountedSite* site = nullptr;
    HWND parent = nullptr;
    fw::CBrowserHost host;
};

} // namespace

TEST_F(BrowserHostTest, ControlLivesInsideTheParent) {
    const HWND control = host.ControlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsChild(parent, control));
    EXPECT_TRUE(host.SetSilent(true));
    VARIANT_BOOL silent = VARIANT_FALSE;
    ASSERT_EQ(host.Browser()->get_Silent(&silent), S_OK);
    EXPECT_EQ(silent, VARIANT_TRUE);
}

TEST_F(BrowserHostTest, CancelledAppNavigationNeverCompletes) {
    ASSERT_TRUE(host.Navigate(L"app://loadgame?S1服-a-b|g"));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !recorder.before.empty(); }, 5000));
    EXPECT_EQ(recorder.before.front(), L"app://loadgame?S1服-a-b|g");
    // A navigation that went on would keep the browser busy until its end was reported.
    EXPECT_TRUE(wintest::PumpUntil(
        [&] {
            VARIANT_BOOL busy = VARIANT_TRUE;
            return host.Browser()->get_Busy(&busy) == S_OK && busy == VARIANT_FALSE;
        },
        5000));
    EXPECT_TRUE(recorder.complete.empty());
    EXPECT_TRUE(recorder.errors.empty());
}

TEST_F(BrowserHostTest, FailedHttpNavigationReportsAnError) {
    ASSERT_TRUE(host.Navigate(kClosedPortUrl));
    ASSERT_TRUE(wintest::PumpUntil([&] { return !recorder.errors.empty(); }, 15000));
    EXPECT_EQ(recorder.before.front(), kClosedPortUrl);
    EXPECT_EQ(recorder.errors.front(), kClosedPortUrl);
}

TEST_F(BrowserHostTest, SiteAnswersOneIdentityAndTheHook) {
    IOleClientSite* clientSite = site->ClientSite();
    base::ComPtr<IUnknown> fromClient, fromHandler;
    ASSERT_EQ(clientSite->QueryInterface(IID_IUnknown, fromClient.PutVoid()), S_OK);
    base::ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(clientSite->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid()), S_OK);
    ASSERT_EQ(handler->QueryInterface(IID_IUnknown, fromHandler.PutVoid()), S_OK);
    EXPECT_EQ(fromClient.Get(), fromHandler.Get());

    base::ComPtr<IOleInPlaceSite> inPlace;
    ASSERT_EQ(handler->QueryInterface(IID_IOleInPlaceSite, inPlace.PutVoid()), S_OK);
    HWND window = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(window, parent);

    base::ComPtr<IUnknown> hooked;
    EXPECT_EQ(handler->QueryInterface(IID_IOleCommandTarget, hooked.PutVoid()), S_OK);
    base::ComPtr<IUnknown> missing;
    EXPECT_EQ(handler->QueryInterface(fw::kIidDocHostShowUI, missing.PutVoid()), E_NOINTERFACE);

    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x0Cu);
}

TEST_F(BrowserHostTest, TeardownReleasesTheSiteAndSilencesIt) {
    ASSERT_TRUE(host.Navigate(kClosedPortUrl));
    host.Destroy();
    EXPECT_TRUE(wintest::PumpUntil([&] { return siteGone; }, 5000));
    EXPECT_TRUE(recorder.errors.empty());
    EXPECT_EQ(host.ControlWindow(), nullptr);
}

TEST_F(BrowserHostTest, KeysForOtherWindowsAreNotOffered) {
    MSG msg{parent, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(host.TranslateAccelerator(&msg));
    msg = {host.ControlWindow(), WM_MOUSEMOVE, 0, 0, 0, {}};
    EXPECT_FALSE(host.TranslateAccelerator(&msg));
}

TEST(BrowserFeatures, EverySecurityFeatureIsOnForTheProcess) {
    ASSERT_TRUE(fw::EnableBrowserSecurityFeatures());
    using IsEnabledFn = HRESULT(WINAPI*)(INTERNETFEATURELIST, DWORD);
    const auto isEnabled = reinterpret_cast<IsEnabledFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"urlmon.dll"), "CoInternetIsFeatureEnabled")));
    ASSERT_NE(isEnabled, nullptr);
    for (const INTERNETFEATURELIST feature : fw::BrowserSecurityFeatures())
        EXPECT_EQ(isEnabled(feature, GET_FEATURE_FROM_PROCESS), S_OK) << feature;
}
