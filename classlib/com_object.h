// A heap object that serves one interface besides IUnknown: its reference count starts
// at 1 for its maker, and the last Release deletes it.
#pragma once
#include <windows.h>
#include <ole2.h>

template <typename Interface>
class SingleInterfaceObject : public Interface {
public:
    explicit SingleInterfaceObject(const IID& iid) : iid_(iid) {}
    virtual ~SingleInterfaceObject() = default;
    SingleInterfaceObject(const SingleInterfaceObject&) = delete;
    SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, iid_)) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    const IID& iid_;
    ULONG refs_ = 1;
};
