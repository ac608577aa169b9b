#include "d3d9/device_child.h"

#include "d3d9/device.h"

namespace platform::d3d9 {

ChildLife::ChildLife(Device& device, bool blocksReset, ULONG callerReferences, int bindings)
    : device_(device), blocksReset_(blocksReset), bindings_(bindings) {
    for (ULONG i = 0; i < callerReferences; ++i) AddRef();
}

ChildLife::~ChildLife() {
    if (references_ > 0) DropDevice();
}

ULONG ChildLife::AddRef() {
    if (references_++ == 0) HoldDevice();
    return references_;
}

ULONG ChildLife::Release() {
    if (references_ == 0) return 0;
    if (--references_ == 0) {
        // Dropping the device may destroy it, and a dying device unbinds this
        // object: the extra binding keeps it alive until its own Release decides.
        ++bindings_;
        DropDevice();
        --bindings_;
    }
    return references_;
}

HRESULT ChildLife::GetDevice(IDirect3DDevice9** device) const {
    if (!device) return D3DERR_INVALIDCALL;
    device_.AddRef();
    *device = &device_;
    return D3D_OK;
}

void ChildLife::HoldDevice() {
    if (blocksReset_) device_.AddResetBlocker();
    device_.AddRef();
}

void ChildLife::DropDevice() {
    if (blocksReset_) device_.RemoveResetBlocker();
    device_.Release();
}

}  // namespace platform::d3d9
