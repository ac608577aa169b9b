// IDirect3DVertexBuffer9: bytes the device reads vertices from.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "d3d9/device_child.h"
#include "d3d9/hooks.h"

namespace platform::d3d9 {

class VertexBuffer final : public DeviceChild<IDirect3DVertexBuffer9> {
public:
    // D3DERR_INVALIDCALL for a zero length or a pool other than DEFAULT, SYSTEMMEM
    // and MANAGED.
    static HRESULT Create(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                          IDirect3DVertexBuffer9** vertexBuffer);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~VertexBuffer() override = default;

    DWORD usage_;
    DWORD fvf_;
    D3DPOOL pool_;
    std::vector<uint8_t> bytes_;
    int locks_ = 0;  // vertex buffers may be locked more than once at a time
    LiveObject<LiveKind::VertexBuffer> live_;
};

}  // namespace platform::d3d9
