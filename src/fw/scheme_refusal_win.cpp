#include "fw/scheme_refusal_win.h"

#include <urlmon.h>

#include <string>
#include <vector>

#include "base/handle_win.h"
#include "base/library_load_win.h"
#include "base/trace_win.h"
#include "fw/process_com_object_win.h"
#include "fw/url_policy.h"

namespace fw {

namespace {

// The handler's class id: only names the registration, nothing creates it through COM.
constexpr CLSID kRefusingHandlerId = {
    0x14ED4CFA, 0x6084, 0x4332, {0x98, 0x64, 0xD8, 0x4D, 0x59, 0x62, 0xEF, 0xC6}};

// A request that fails as it starts. Stateless: one object serves every request.
class RefusedRequest final
    : public ProcessComObject<IInternetProtocol, IID_IInternetProtocolRoot, IID_IInternetProtocol> {
public:
    STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink*, IInternetBindInfo*, DWORD, HANDLE_PTR) override {
        // The scheme only: the rest of the address may carry anything.
        const std::wstring_view text = url ? url : L"";
        base::Trace(L"request refused, scheme", text.substr(0, text.find(L':') + 1), kRequestRefused);
        return kRequestRefused;
    }
    STDMETHODIMP Continue(PROTOCOLDATA*) override { return E_UNEXPECTED; }
    STDMETHODIMP Abort(HRESULT, DWORD) override { return S_OK; }
    STDMETHODIMP Terminate(DWORD) override { return S_OK; }
    STDMETHODIMP Suspend() override { return E_NOTIMPL; }
    STDMETHODIMP Resume() override { return E_NOTIMPL; }
    STDMETHODIMP Read(void*, ULONG, ULONG* read) override {
        if (read) *read = 0;
        return kRequestRefused;
    }
    STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP LockRequest(DWORD) override { return S_OK; }
    STDMETHODIMP UnlockRequest() override { return S_OK; }
};

RefusedRequest g_request;

class RefusedRequestFactory final : public ProcessComObject<IClassFactory, IID_IClassFactory> {
public:
    // urlmon may offer itself as the outer object; the refusal needs none of it, so the request
    // answers as a plain object either way.
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        return g_request.QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

RefusedRequestFactory g_factory;

using GetSessionFn = HRESULT(WINAPI*)(DWORD, IInternetSession**, DWORD);

// The schemes to refuse: the built-in ones and those the registry lists, the fetchable ones
// left out.
std::vector<std::wstring> SchemesToRefuse() {
    std::vector<std::wstring> schemes;
    const auto add = [&schemes](std::wstring_view scheme) {
        if (!scheme.empty() && !IsFetchableScheme(scheme)) schemes.emplace_back(scheme);
    };
    for (std::wstring_view scheme : BuiltInSchemes())
        add(scheme);
    base::RegKey key;
    const LONG opened =
        RegOpenKeyExW(HKEY_CLASSES_ROOT, L"PROTOCOLS\\Handler", 0, KEY_ENUMERATE_SUB_KEYS, key.Put());
    if (opened != ERROR_SUCCESS) {
        base::Trace(L"protocol handlers not listed", static_cast<unsigned long>(opened));
        return schemes;
    }
    wchar_t name[256]; // a key's name has at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LONG status = RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        add(std::wstring_view(name, length));
    }
    return schemes;
}

} // namespace

bool RefuseUnfetchableSchemes() {
    const HMODULE urlmon = base::LoadSystemLibrary(L"urlmon.dll");
    const auto getSession = urlmon ? reinterpret_cast<GetSessionFn>(reinterpret_cast<void*>(
                                         ::GetProcAddress(urlmon, "CoInternetGetSession")))
                                   : nullptr;
    base::ComPtr<IInternetSession> session;
    const HRESULT hr = getSession ? getSession(0, session.Put(), 0) : E_NOINTERFACE;
    if (FAILED(hr) || !session) {
        base::Trace(L"internet session not reached, schemes not refused", hr);
        return false;
    }
    bool all = true;
    for (const std::wstring& scheme : SchemesToRefuse()) {
        const HRESULT registered =
            session->RegisterNameSpace(&g_factory, kRefusingHandlerId, scheme.c_str(), 0, nullptr, 0);
        if (FAILED(registered)) {
            base::Trace(L"scheme not refused", scheme, registered);
            all = false;
        }
    }
    // The library stays loaded: the registrations live in it for the life of the process.
    return all;
}

} // namespace fw
