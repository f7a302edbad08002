#include "fw/security_manager_win.h"

#include <atomic>
#include <bitset>
#include <cstring>
#include <mutex>
#include <span>
#include <string>

#include "base/trace_win.h"
#include "fw/process_com_object_win.h"

namespace fw {

namespace {

std::atomic<AddressRule> g_rule{nullptr};

AddressClass Classify(const wchar_t* url) {
    const AddressRule rule = g_rule.load();
    return rule && url ? rule(url) : AddressClass::Other;
}

// An action missing from the table leaves one line the first time it is asked: the refusal is
// a decision nobody made on purpose, and the list of them says which rows the table lacks.
void TraceUnknownOnce(DWORD action) {
    static std::mutex lock;
    static std::bitset<0x10000> seen;
    const std::lock_guard guard(lock);
    if (action >= seen.size() || seen.test(action)) return;
    seen.set(action);
    base::Trace(L"url action refused, no rule", action);
}

// Stateless apart from the rule: one object serves every control of the process.
class SecurityManager final
    : public ProcessComObject<IInternetSecurityManager, IID_IInternetSecurityManager> {
public:
    // The site is only for prompts, and this manager never prompts.
    STDMETHODIMP SetSecuritySite(IInternetSecurityMgrSite*) override { return S_OK; }
    STDMETHODIMP GetSecuritySite(IInternetSecurityMgrSite** site) override {
        if (!site) return E_INVALIDARG;
        *site = nullptr;
        return S_OK;
    }

    STDMETHODIMP MapUrlToZone(LPCWSTR url, DWORD* zone, DWORD) override {
        if (!url || !zone) return E_INVALIDARG;
        *zone = ZoneOf(Classify(url));
        return S_OK;
    }

    // The origin and the zone, as the system's own manager lays out a security id, with the
    // zone this manager gives.
    STDMETHODIMP GetSecurityId(LPCWSTR url, BYTE* id, DWORD* size, DWORD_PTR) override {
        if (!url || !id || !size) return E_INVALIDARG;
        const std::string origin = SecurityOrigin(url);
        const DWORD zone = ZoneOf(Classify(url));
        if (origin.empty()) return E_INVALIDARG;
        const DWORD needed = static_cast<DWORD>(origin.size() + sizeof zone);
        if (*size < needed) {
            *size = needed;
            return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        }
        std::memcpy(id, origin.data(), origin.size());
        std::memcpy(id + origin.size(), &zone, sizeof zone);
        *size = needed;
        return S_OK;
    }

    STDMETHODIMP ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy, DWORD policySize, BYTE* context,
                                  DWORD contextSize, DWORD, DWORD) override {
        const std::span<const std::byte> contextBytes(reinterpret_cast<const std::byte*>(context),
                                                      context ? contextSize : 0);
        const UrlActionAnswer answer = UrlActionPolicy(Classify(url), action, contextBytes);
        if (!answer.known) TraceUnknownOnce(action);
        if (policy && policySize >= sizeof(DWORD)) {
            const DWORD value = answer.policy;
            std::memcpy(policy, &value, sizeof value);
        }
        return answer.allowed ? S_OK : S_FALSE;
    }

    // Asked whether a control that is not marked safe may still be loaded and scripted; every
    // other custom policy is refused. Never the zone manager's answer.
    STDMETHODIMP QueryCustomPolicy(LPCWSTR url, REFGUID key, BYTE** policy, DWORD* policySize, BYTE* context,
                                   DWORD contextSize, DWORD) override {
        if (!policy || !policySize) return E_INVALIDARG;
        bool allowed = false;
        if (key == kGuidConfirmObjectSafety && context && contextSize >= sizeof(CONFIRMSAFETY)) {
            ClassId id;
            std::memcpy(&id, &reinterpret_cast<const CONFIRMSAFETY*>(context)->clsid, sizeof id);
            allowed = MayUseControl(Classify(url), id);
        }
        auto* value = static_cast<DWORD*>(CoTaskMemAlloc(sizeof(DWORD)));
        if (!value) return E_OUTOFMEMORY;
        *value = allowed ? kPolicyAllow : kPolicyDisallow;
        *policy = reinterpret_cast<BYTE*>(value);
        *policySize = sizeof(DWORD);
        return allowed ? S_OK : S_FALSE;
    }

    // The zones' site lists are not this manager's to change, nor do they decide anything here.
    STDMETHODIMP SetZoneMapping(DWORD, LPCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetZoneMappings(DWORD, IEnumString** mappings, DWORD) override {
        if (mappings) *mappings = nullptr;
        return E_NOTIMPL;
    }
};

SecurityManager g_manager;

} // namespace

void SetPageAddressRule(AddressRule rule) {
    g_rule.store(rule);
}

IInternetSecurityManager* ProcessSecurityManager() {
    return &g_manager;
}

} // namespace fw
