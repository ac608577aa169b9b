// IUnknown for objects owned by their references alone: the Direct3D object and
// the device. Resources count through DeviceChild, which also holds their device.
#pragma once

#include <d3d9.h>

namespace platform::d3d9 {

template <class Interface>
class ComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        if (references_ == 0) return 0;
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    ULONG references_ = 1;
};

}  // namespace platform::d3d9
