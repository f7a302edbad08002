#include "fw/shell_open_win.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlguid.h>

#include "base/handle_win.h"
#include "base/rate_limit.h"
#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/library_init_win.h"
#include "fw/web_address.h"

namespace fw {

namespace {

// The interfaces on the way, by their IIDs: the import libraries carry some of them only.
constexpr IID kIidShellWindows = {
    0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellFolderViewDual = {
    0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellDispatch2 = {
    0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

// The Explorer desktop's shell automation object: its ShellExecute runs in Explorer's process,
// with Explorer's (the player's) token. Empty when there is no such desktop.
base::ComPtr<IShellDispatch2> DesktopShell() {
    base::ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, kIidShellWindows,
                                  windows.PutVoid())))
        return {};
    VARIANT desktop, empty;
    VariantInit(&desktop);
    VariantInit(&empty);
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    long hwnd = 0;
    base::ComPtr<IDispatch> found;
    if (windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, found.Put()) != S_OK ||
        !found)
        return {};
    base::ComPtr<IServiceProvider> services;
    if (FAILED(found->QueryInterface(IID_IServiceProvider, services.PutVoid()))) return {};
    base::ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid()))) return {};
    base::ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Put())) || !view) return {};
    base::ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) || !background)
        return {};
    base::ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(kIidShellFolderViewDual, folderView.PutVoid()))) return {};
    base::ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.Put())) || !application) return {};
    base::ComPtr<IShellDispatch2> shell;
    if (FAILED(application->QueryInterface(kIidShellDispatch2, shell.PutVoid()))) return {};
    return shell;
}

} // namespace

bool OpenAsPlayer(const std::wstring& url, int show) {
    if (!IsWebAddress(url)) return false;
    // A page can ask in a loop; the player's browser gets one window a second at most.
    static base::RateLimit opens(1000);
    if (!opens.Allow(::GetTickCount64())) {
        base::Trace(L"player browser open dropped: one a second", base::AddressForTrace(url), 0);
        return false;
    }
    // COM for the length of the call: a start-up mode without it (the channel launch) opens too.
    const ComSession com = ComSession::StartCom();
    const base::ComPtr<IShellDispatch2> shell = DesktopShell();
    if (!shell) {
        base::Trace(L"no desktop shell to open", base::AddressForTrace(url), 0);
        return false;
    }
    const base::Bstr file = base::MakeBstr(url);
    base::Variant none, operation, showCommand;
    VARIANT* verb = operation.Put();
    verb->vt = VT_BSTR;
    verb->bstrVal = ::SysAllocString(L"open"); // freed with the value
    VARIANT* how = showCommand.Put();
    how->vt = VT_I4;
    how->lVal = show;
    const HRESULT hr =
        file && operation.Get().bstrVal
            ? shell->ShellExecute(file.Get(), none.Get(), none.Get(), operation.Get(), showCommand.Get())
            : E_OUTOFMEMORY;
    if (FAILED(hr)) base::Trace(L"not opened in the player's browser", base::AddressForTrace(url), hr);
    return SUCCEEDED(hr);
}

} // namespace fw
