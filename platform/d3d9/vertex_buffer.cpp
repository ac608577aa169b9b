#include "d3d9/vertex_buffer.h"

#include "d3d9/out_of_memory.h"

namespace platform::d3d9 {

using platform::testing::D3DCall;

HRESULT VertexBuffer::Create(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** vertexBuffer) {
    if (!vertexBuffer) return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    const bool knownPool =
        pool == D3DPOOL_DEFAULT || pool == D3DPOOL_SYSTEMMEM || pool == D3DPOOL_MANAGED;
    if (length == 0 || !knownPool) return D3DERR_INVALIDCALL;
    return FailingWhenOutOfMemory(OutOfMemoryFor(pool), [&] {
        *vertexBuffer = new VertexBuffer(device, length, usage, fvf, pool);
        return D3D_OK;
    });
}

VertexBuffer::VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceChild(device, pool == D3DPOOL_DEFAULT),
      usage_(usage),
      fvf_(fvf),
      pool_(pool),
      bytes_(length, 0) {}

HRESULT VertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD /*flags*/) {
    if (const HRESULT failure = InjectedFailure(D3DCall::VertexBufferLock); failure != S_OK) {
        return failure;
    }
    if (!data) return D3DERR_INVALIDCALL;
    const size_t length = bytes_.size();
    if (offsetToLock >= length) return D3DERR_INVALIDCALL;
    const size_t size = sizeToLock == 0 ? length - offsetToLock : sizeToLock;
    if (size > length - offsetToLock) return D3DERR_INVALIDCALL;
    ++locks_;
    *data = bytes_.data() + offsetToLock;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (locks_ == 0) return D3DERR_INVALIDCALL;
    --locks_;
    return D3D_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    desc->Format = D3DFMT_VERTEXDATA;
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = usage_;
    desc->Pool = pool_;
    desc->Size = static_cast<UINT>(bytes_.size());
    desc->FVF = fvf_;
    return D3D_OK;
}

}  // namespace platform::d3d9
