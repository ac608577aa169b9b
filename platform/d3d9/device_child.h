// The life of every object a device makes (textures, surfaces, vertex buffers).
#pragma once

#include <d3d9.h>

namespace platform::d3d9 {

class Device;

// The caller's references are the count that AddRef and Release return; while the
// caller holds any, the object holds one on its device, as on Windows. The device's
// own bindings (a bound texture, the stream source, the swap chain's back buffer)
// keep the object alive without showing in that count, so a resource the caller
// has released while it is still bound neither dangles nor blocks Reset.
// The device may be gone by the time an unused child is destroyed, so a
// destructor touches it only while the child still holds it (see ~ChildLife).
class ChildLife {
public:
    // `blocksReset`: Reset is refused while the caller holds a reference.
    ChildLife(Device& device, bool blocksReset, ULONG callerReferences, int bindings);
    ChildLife(const ChildLife&) = delete;
    ChildLife& operator=(const ChildLife&) = delete;
    // References are left only when the object's constructor threw (its memory
    // could not be had): the device they held is given back.
    ~ChildLife();

    ULONG AddRef();
    ULONG Release();
    void Bind() { ++bindings_; }
    void Unbind() { --bindings_; }
    bool Unused() const { return references_ == 0 && bindings_ == 0; }
    ULONG References() const { return references_; }
    Device& OwnerDevice() const { return device_; }
    HRESULT GetDevice(IDirect3DDevice9** device) const;

private:
    void HoldDevice();
    void DropDevice();

    Device& device_;
    bool blocksReset_;
    ULONG references_ = 0;
    int bindings_;
};

template <class Interface>
class DeviceChild : public Interface {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return life_.AddRef(); }
    ULONG Release() override {
        const ULONG left = life_.Release();
        DeleteIfUnused();
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return life_.GetDevice(device); }

    void Bind() { life_.Bind(); }
    void Unbind() {
        life_.Unbind();
        DeleteIfUnused();
    }
    ULONG CallerReferences() const { return life_.References(); }
    Device& OwnerDevice() const { return life_.OwnerDevice(); }

protected:
    DeviceChild(Device& device, bool blocksReset, ULONG callerReferences = 1, int bindings = 0)
        : life_(device, blocksReset, callerReferences, bindings) {}
    virtual ~DeviceChild() = default;

private:
    void DeleteIfUnused() {
        if (life_.Unused()) delete this;
    }

    ChildLife life_;
};

}  // namespace platform::d3d9
