// Scenes, clearing and drawing: the device's side of the rasteriser.
#include <algorithm>
#include <cmath>
#include <optional>

#include "d3d9/device.h"
#include "d3d9/out_of_memory.h"
#include "d3d9/texture.h"
#include "d3d9/vertex_buffer.h"

namespace platform::d3d9 {

namespace {

// Vertices read by `count` primitives of `type`; nothing for an unknown type.
std::optional<uint64_t> VerticesFor(D3DPRIMITIVETYPE type, UINT count) {
    const uint64_t n = count;
    switch (type) {
        case D3DPT_POINTLIST:
            return n;
        case D3DPT_LINELIST:
            return 2 * n;
        case D3DPT_LINESTRIP:
            return n + 1;
        case D3DPT_TRIANGLELIST:
            return 3 * n;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return n + 2;
        default:
            return std::nullopt;
    }
}

// The part of `rect` inside the viewport, as x1, y1, x2, y2 (exclusive).
D3DRECT ClipToViewport(const D3DRECT& rect, const D3DVIEWPORT9& viewport) {
    const LONG left = static_cast<LONG>(viewport.X);
    const LONG top = static_cast<LONG>(viewport.Y);
    const LONG right = left + static_cast<LONG>(viewport.Width);
    const LONG bottom = top + static_cast<LONG>(viewport.Height);
    return D3DRECT{std::clamp(rect.x1, left, right), std::clamp(rect.y1, top, bottom),
                   std::clamp(rect.x2, left, right), std::clamp(rect.y2, top, bottom)};
}

}  // namespace

HRESULT Device::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD /*stencil*/) {
    const bool target = (flags & D3DCLEAR_TARGET) != 0;
    const bool depth = (flags & D3DCLEAR_ZBUFFER) != 0;
    // No stencil buffer exists (the depth format is D16).
    if ((!target && !depth) || (flags & D3DCLEAR_STENCIL) || (depth && !swapChain_->HasDepth()) ||
        (count > 0 && !rects) || !(z >= 0.0f && z <= 1.0f)) {
        return D3DERR_INVALIDCALL;
    }
    const D3DVIEWPORT9& viewport = state_.Viewport();
    const D3DRECT whole{static_cast<LONG>(viewport.X), static_cast<LONG>(viewport.Y),
                        static_cast<LONG>(viewport.X + viewport.Width),
                        static_cast<LONG>(viewport.Y + viewport.Height)};
    const std::optional<D3DCOLOR> colorValue =
        target ? std::optional<D3DCOLOR>(color) : std::nullopt;
    const std::optional<uint16_t> depthValue =
        depth ? std::optional<uint16_t>(static_cast<uint16_t>(std::lround(z * 65535.0f)))
              : std::nullopt;
    const DWORD areas = count > 0 ? count : 1;
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        for (DWORD i = 0; i < areas; ++i) {
            const D3DRECT area = ClipToViewport(count > 0 ? rects[i] : whole, viewport);
            swapChain_->Fill(area, colorValue, depthValue);
        }
        return D3D_OK;
    });
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                              UINT primitiveCount) {
    if (!stream_ || streamStride_ == 0) return D3DERR_INVALIDCALL;
    const std::vector<uint8_t>& bytes = stream_->Bytes();
    const size_t offset = std::min<size_t>(streamOffset_, bytes.size());
    const raster::VertexStream stream{bytes.data() + offset, bytes.size() - offset, streamStride_,
                                      fvf_};
    return Draw(primitiveType, stream, startVertex, primitiveCount);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                const void* vertexStreamZeroData, UINT vertexStreamZeroStride) {
    const std::optional<uint64_t> vertices = VerticesFor(primitiveType, primitiveCount);
    if (!vertexStreamZeroData || vertexStreamZeroStride == 0 || !vertices) {
        return D3DERR_INVALIDCALL;
    }
    const raster::VertexStream stream{static_cast<const uint8_t*>(vertexStreamZeroData),
                                      static_cast<size_t>(*vertices * vertexStreamZeroStride),
                                      vertexStreamZeroStride, fvf_};
    const HRESULT result = Draw(primitiveType, stream, 0, primitiveCount);
    // As on Windows, drawing from user memory leaves stream 0 unset.
    BindStream(nullptr, 0, 0);
    return result;
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, const raster::VertexStream& stream, UINT startVertex,
                     UINT primitiveCount) {
    if (!inScene_ || fvf_ == 0 || !VerticesFor(type, primitiveCount) || primitiveCount == 0) {
        return D3DERR_INVALIDCALL;
    }
    // A default-pool texture that was never filled gets its pixels on first read.
    return FailingWhenOutOfMemory(E_OUTOFMEMORY, [&] {
        raster::FixedFunctionState& pipeline = state_.Pipeline();
        pipeline.texture = textures_[0] ? &textures_[0]->View() : nullptr;
        const raster::DepthTarget depth = swapChain_->DepthTarget();
        raster::DrawPrimitive(pipeline, swapChain_->ColorTarget(),
                              swapChain_->HasDepth() ? &depth : nullptr, type, stream, startVertex,
                              primitiveCount);
        CountDrawPrimitive();
        return D3D_OK;
    });
}

}  // namespace platform::d3d9
