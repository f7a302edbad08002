// The IUnknown and type-information half of a small heap-allocated IDispatch object without
// a type library: a reference count that deletes the object, and QueryInterface answering
// IUnknown, IDispatch and, where a derived class names one, the dispinterface it stands for (an
// event sink's). Derived classes write GetIDsOfNames and Invoke.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace fw {

class CDispatchObject : public IDispatch {
public:
    explicit CDispatchObject(const IID& alsoAnswers = IID_IDispatch) : m_alsoAnswers(alsoAnswers) {}
    CDispatchObject(const CDispatchObject&) = delete;
    CDispatchObject& operator=(const CDispatchObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != m_alsoAnswers) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return refs;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

protected:
    // Created with one reference, released through Release only.
    virtual ~CDispatchObject() = default;

private:
    const IID m_alsoAnswers;
    LONG m_refs = 1;
};

} // namespace fw
