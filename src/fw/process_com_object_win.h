// A COM object that lives as long as the process and serves every caller: its reference count
// means nothing, it is never part of an aggregate, and it answers for IUnknown and the interfaces
// it names (all reached through the one it implements).
#pragma once
#include <windows.h>

namespace fw {

template <class Interface, const IID&... kAnswersFor> class ProcessComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && ((iid != kAnswersFor) && ...)) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

} // namespace fw
