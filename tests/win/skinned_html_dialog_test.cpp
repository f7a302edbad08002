// A real SkinnedHtmlDialog under Wine: live browser control, navigation screening and its cancel flags,
// the navigate-error cancel, the site's host flags, context menu, external object and message
// box hooks, and the element behaviour wired to the dialog's mouse capture.
#include "web/skinned_html_dialog_win.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browser_events.h"
#include "win_test_support.h"

namespace {

using wintest::InvokeBeforeNavigate;
constexpr wchar_t kClosedPortUrl[] = L"http://127.0.0.1:1/login.htm";

// An empty popup dialog template, as the HTML dialogs use.
const DLGTEMPLATE* EmptyPopupTemplate() {
    struct alignas(4) Template {
        DLGTEMPLATE dlg;
        WORD menu, windowClass, title;
    };
    static const Template t{{WS_POPUP, 0, 0, 0, 0, 300, 200}, 0, 0, 0};
    return &t.dlg;
}

// A second DWebBrowserEvents2 sink, connected after the dialog's: it sees the cancel flags as
// the dialog left them.
class Observer : public IDispatch {
public:
    struct Seen {
        DISPID id;
        std::wstring url;
        bool cancel;
    };
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2)
            return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; } // lives on the test's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == DISPID_BEFORENAVIGATE2 && p->cArgs == 7)
            seen.push_back({id, Url(p->rgvarg[5]), *p->rgvarg[0].pboolVal != VARIANT_FALSE});
        if (id == DISPID_NAVIGATEERROR && p->cArgs == 5)
            seen.push_back({id, Url(p->rgvarg[3]), *p->rgvarg[0].pboolVal != VARIANT_FALSE});
        if (id == DISPID_NAVIGATECOMPLETE2) seen.push_back({id, Url(p->rgvarg[0]), false});
        return S_OK;
    }
    bool Connect(IWebBrowser2* browser) {
        base::ComPtr<IConnectionPointContainer> container;
        if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) return false;
        return SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_point.Put())) &&
               SUCCEEDED(m_point->Advise(this, &m_cookie));
    }
    void Disconnect() {
        if (m_point && m_cookie) m_point->Unadvise(m_cookie);
        m_point.Reset();
        m_cookie = 0;
    }
    const Seen* Find(DISPID id, const std::wstring& url) const {
        for (const auto& s : seen)
            if (s.id == id && s.url == url) return &s;
        return nullptr;
    }
    std::vector<Seen> seen;

private:
    static std::wstring Url(const VARIANT& v) {
        const VARIANT* u = v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : &v;
        return u->vt == VT_BSTR && u->bstrVal ? u->bstrVal : L"";
    }
    base::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

class FakeElement : public web::HtmlElement {
public:
    FakeElement(std::wstring cls, std::wstring tag, bool disabled = false)
        : m_class(std::move(cls)), m_tag(std::move(tag)), m_disabled(disabled) {}
    std::wstring ClassName() const override { return m_class; }
    std::wstring TagName() const override { return m_tag; }
    bool AttributeIsTrue(std::wstring_view name) const override { return name == L"disabled" && m_disabled; }
    void SetBackgroundPositionX(int px) override { positionX = px; }
    base::Box OffsetBox() const override { return {20, 10, 60, 24}; }
    void Click() override { ++clicks; }
    int positionX = 1;
    int clicks = 0;

private:
    std::wstring m_class, m_tag;
    bool m_disabled;
};

// Pages leaving the publisher's hosts are recorded instead of opened.
std::vector<std::wstring> g_opened;
bool RecordOpen(const std::wstring& url) {
    g_opened.push_back(url);
    return true;
}

class TestDlg : public web::SkinnedHtmlDialog {
public:
    TestDlg() : web::SkinnedHtmlDialog(EmptyPopupTemplate(), nullptr, {.shellOpen = RecordOpen}) {}
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // Page drags are recorded instead of entering the system's move loop.
        if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONUP || msg == WM_NCMOUSEMOVE) &&
            wParam == HTCAPTION) {
            drags.push_back({msg, lParam});
            return 0;
        }
        return web::SkinnedHtmlDialog::WindowProc(msg, wParam, lParam);
    }
    void NavigateError(IDispatch* frame, const std::wstring& url, const std::wstring& target, long status,
                       bool& cancel) override {
        errors.push_back(url);
        web::SkinnedHtmlDialog::NavigateError(frame, url, target, status, cancel);
    }
    fw::CBrowserControlSite* Site() { return BrowserHost().Site(); }
    struct Drag {
        UINT msg;
        LPARAM lParam;
    };
    std::vector<Drag> drags;
    std::vector<std::wstring> errors;
};

// A page dialog of its own: its element table replaces the host's, its override takes navigation
// errors and leaves before-navigate to the host.
class PageDlg : public TestDlg {
public:
    HRESULT OnTableElementEvent(web::ElementEvent, const web::ElementRef&) override {
        ++ownButtonEvents;
        return S_FALSE;
    }
    void NavigateError(IDispatch*, const std::wstring& url, const std::wstring&, long, bool&) override {
        ownErrors.push_back(url);
    }
    HRESULT ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                        DWORD helpContext, LRESULT* result) override {
        shown = {hwnd, text, caption, type, helpFile, helpContext};
        *result = IDOK;
        return S_OK;
    }
    std::span<const web::DHtmlEventEntry> GetElementEventTable() const override {
        static const web::DHtmlEventEntry table[] = {
            {web::ElementEvent::MouseDown, web::ElementMatch::Class, L"button"},
        };
        return table;
    }
    struct Shown {
        HWND hwnd;
        std::wstring text, caption;
        DWORD type;
        std::wstring helpFile;
        DWORD helpContext;
    } shown{};
    int ownButtonEvents = 0;
    std::vector<std::wstring> ownErrors;
};

template <class Dlg> class DHtmDlgExTest : public testing::Test {
protected:
    void SetUp() override {
        // The publisher's hosts are the loopback stand-in's.
        ASSERT_TRUE(wintest::SetTestSwitch(L"Publisher", L"127.0.0.1:1"));
        g_opened.clear();
        ASSERT_TRUE(dlg.Create());
        ASSERT_NE(dlg.Browser(), nullptr);
        ASSERT_TRUE(observer.Connect(dlg.Browser()));
        ASSERT_EQ(dlg.Site()->ClientSite()->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid()), S_OK);
    }
    void TearDown() override {
        observer.Disconnect();
        handler.Reset();
        dlg.DestroyWindow();
    }
    Dlg dlg;
    Observer observer;
    base::ComPtr<IDocHostUIHandler> handler;
};

using HostDialog = DHtmDlgExTest<TestDlg>;
using PageDialog = DHtmDlgExTest<PageDlg>;

} // namespace

TEST_F(HostDialog, OpensWithALiveSilentBrowserFillingTheDialog) {
    const HWND control = dlg.BrowserHost().ControlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsChild(dlg.m_hWnd, control));
    RECT client = dlg.GetClientRect(), rc{};
    GetWindowRect(control, &rc);
    EXPECT_EQ(rc.right - rc.left, client.right);
    EXPECT_EQ(rc.bottom - rc.top, client.bottom);
    VARIANT_BOOL silent = VARIANT_FALSE;
    ASSERT_EQ(dlg.Browser()->get_Silent(&silent), S_OK);
    EXPECT_EQ(silent, VARIANT_TRUE);
}

TEST_F(HostDialog, LiveNavigationsAreScreened) {
    struct Case {
        const wchar_t* url;
        bool cancelled;
    } cases[] = {
        {L"app://loadgame?S1%E6%9C%8D-x-y|http://127.0.0.1:1/g", true},
        {L"app://minimize", true},
        {L"APP://loadgame?a|b", true}, // no command, and no web address
        {L"\\\\127.0.0.1\\share\\x.htm", true},
        {L"javascript:void(0)", false},
        {kClosedPortUrl, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(dlg.Navigate(c.url)) << c.url;
        ASSERT_TRUE(wintest::PumpUntil([&] { return observer.Find(DISPID_BEFORENAVIGATE2, c.url); }, 5000))
            << c.url;
        EXPECT_EQ(observer.Find(DISPID_BEFORENAVIGATE2, c.url)->cancel, c.cancelled) << c.url;
    }
    // A page that fails (nothing listens on the port) has its error cancelled: no error page.
    for (const wchar_t* url : {kClosedPortUrl}) {
        ASSERT_TRUE(wintest::PumpUntil([&] { return observer.Find(DISPID_NAVIGATEERROR, url); }, 15000))
            << url;
        EXPECT_TRUE(observer.Find(DISPID_NAVIGATEERROR, url)->cancel) << url;
        EXPECT_NE(std::find(dlg.errors.begin(), dlg.errors.end(), url), dlg.errors.end()) << url;
    }
    // The last navigation has failed: the first one's completion would have come before.
    EXPECT_EQ(observer.Find(DISPID_NAVIGATECOMPLETE2, cases[0].url), nullptr);
}

TEST_F(HostDialog, ScreeningSetsClearsOrLeavesTheCancelFlag) {
    struct Case {
        const wchar_t* url;
        bool cancelIn;
        bool cancelOut;
    } cases[] = {
        {L"app://exitgame", false, true},     {L"app:xyz", false, true},
        {L"javascript:void(0)", true, false}, {L"javascript", true, false},
        {L"javascrip", true, true},           {L"JAVASCRIPT:x", true, true},
        {L"http://127.0.0.1:1/", true, true}, {L"http://127.0.0.1:1/", false, false},
        {L"http://127.0.0.2/", false, true},  {L"file:///C:/windows/win.ini", false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InvokeBeforeNavigate(dlg.Site(), dlg.Browser(), c.url, c.cancelIn), c.cancelOut) << c.url;
    // A page leaving the publisher's hosts at the top goes to the player's own browser.
    EXPECT_EQ(g_opened, std::vector<std::wstring>{L"http://127.0.0.2/"});
}

TEST_F(HostDialog, SiteGivesDialogFlagsNoContextMenuAndTheExternalObject) {
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x0Du);
    POINT pt{5, 5};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr), S_OK);

    base::ComPtr<IDispatch> external;
    ASSERT_EQ(handler->GetExternal(external.Put()), S_OK);
    ASSERT_TRUE(external);
    LPOLESTR name = const_cast<LPOLESTR>(L"close");
    DISPID id = 0;
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(HostDialog, ScriptMessageBoxesAreLeftToTheBrowser) {
    base::ComPtr<IDocHostShowUI> showUI;
    ASSERT_EQ(handler->QueryInterface(fw::kIidDocHostShowUI, showUI.PutVoid()), S_OK);
    base::ComPtr<IDocHostShowUI> viaSite;
    EXPECT_EQ(dlg.Site()->QueryInterface(fw::kIidDocHostShowUI, viaSite.PutVoid()), S_OK);
    EXPECT_EQ(showUI.Get(), viaSite.Get());
    LRESULT result = 0;
    EXPECT_EQ(showUI->ShowMessage(dlg.m_hWnd, const_cast<LPOLESTR>(L"hi"), const_cast<LPOLESTR>(L"c"), MB_OK,
                                  nullptr, 0, &result),
              S_FALSE);
    EXPECT_EQ(showUI->ShowHelp(dlg.m_hWnd, nullptr, 0, 0, POINT{}, nullptr), S_FALSE);
}

TEST_F(HostDialog, HeldButtonIsReleasedByEitherMouseButton) {
    struct Case {
        UINT message;
        int x, y;
        int clicks;
        int frame;
    } cases[] = {
        {WM_LBUTTONUP, 30, 20, 1, -60},
        {WM_RBUTTONUP, 30, 20, 1, -60},
        {WM_RBUTTONUP, 200, 20, 0, 0},
    };
    for (const auto& c : cases) {
        auto button = std::make_shared<FakeElement>(L"button", L"IMG");
        EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseDown, button), S_FALSE);
        EXPECT_EQ(GetCapture(), dlg.m_hWnd);
        EXPECT_EQ(button->positionX, -120);
        EXPECT_EQ(dlg.SendMessage(c.message, 0, MAKELPARAM(c.x, c.y)), 0);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(button->clicks, c.clicks);
        EXPECT_EQ(button->positionX, c.frame);
        EXPECT_EQ(button.use_count(), 1);
    }
    auto disabled = std::make_shared<FakeElement>(L"button", L"IMG", true);
    dlg.OnElementEvent(web::ElementEvent::MouseDown, disabled);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(disabled->positionX, 1);
}

TEST_F(HostDialog, PageBackgroundDragsTheDialogFromTheCursor) {
    SetCursorPos(321, 123);
    POINT cursor{};
    GetCursorPos(&cursor);
    auto cell = std::make_shared<FakeElement>(L"", L"TD");
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseDown, cell), S_FALSE);
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseMove, cell), S_FALSE);
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::ContextMenu, cell), S_FALSE);
    ASSERT_EQ(dlg.drags.size(), 2u);
    EXPECT_EQ(dlg.drags[0].msg, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(dlg.drags[1].msg, static_cast<UINT>(WM_NCMOUSEMOVE));
    EXPECT_EQ(dlg.drags[0].lParam, MAKELPARAM(cursor.x, cursor.y));
    auto span = std::make_shared<FakeElement>(L"", L"SPAN");
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseDown, span), S_OK);
}

TEST_F(PageDialog, OwnTablesReplaceElementsAndComeFirstForEvents) {
    auto button = std::make_shared<FakeElement>(L"button", L"IMG");
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseDown, button), S_FALSE);
    EXPECT_EQ(dlg.ownButtonEvents, 1);
    EXPECT_EQ(GetCapture(), nullptr); // the host's sprite behaviour is gone
    auto body = std::make_shared<FakeElement>(L"", L"BODY");
    EXPECT_EQ(dlg.OnElementEvent(web::ElementEvent::MouseDown, body), S_OK);
    EXPECT_TRUE(dlg.drags.empty());

    // Navigation errors go to the page's own entry only; before-navigate is still the host's.
    ASSERT_TRUE(dlg.Navigate(kClosedPortUrl));
    ASSERT_TRUE(
        wintest::PumpUntil([&] { return observer.Find(DISPID_NAVIGATEERROR, kClosedPortUrl); }, 15000));
    EXPECT_EQ(dlg.ownErrors, std::vector<std::wstring>{kClosedPortUrl});
    EXPECT_TRUE(dlg.errors.empty());
    EXPECT_TRUE(InvokeBeforeNavigate(dlg.Site(), dlg.Browser(), L"app://x", false));
}

TEST_F(PageDialog, DerivedMessageBoxHookGetsEveryArgument) {
    base::ComPtr<IDocHostShowUI> showUI;
    ASSERT_EQ(handler->QueryInterface(fw::kIidDocHostShowUI, showUI.PutVoid()), S_OK);
    LRESULT result = 0;
    EXPECT_EQ(showUI->ShowMessage(dlg.m_hWnd, const_cast<LPOLESTR>(L"text"), const_cast<LPOLESTR>(L"cap"),
                                  MB_OKCANCEL, const_cast<LPOLESTR>(L"help.chm"), 42, &result),
              S_OK);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.shown.hwnd, dlg.m_hWnd);
    EXPECT_EQ(dlg.shown.text, L"text");
    EXPECT_EQ(dlg.shown.caption, L"cap");
    EXPECT_EQ(dlg.shown.type, static_cast<DWORD>(MB_OKCANCEL));
    EXPECT_EQ(dlg.shown.helpFile, L"help.chm");
    EXPECT_EQ(dlg.shown.helpContext, 42u);
}

TEST(BrowserSite, MessageBoxHookOfAnotherDialogClassShowsNothing) {
    web::HtmlDialog plain(EmptyPopupTemplate());
    auto* site = new web::PageBrowserSite(nullptr, &plain);
    LRESULT result = 0;
    EXPECT_EQ(
        site->ShowUI()->ShowMessage(nullptr, const_cast<LPOLESTR>(L"x"), nullptr, 0, nullptr, 0, &result),
        S_OK);
    EXPECT_EQ(site->ShowUI()->ShowHelp(nullptr, nullptr, 0, 0, POINT{}, nullptr), S_OK);
    site->Release();
}
