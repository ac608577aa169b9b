// The device's render targets: the back buffer, its 16-bit depth buffer and the
// buffer last presented.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "d3d9/raster/pipeline.h"
#include "d3d9/surface.h"

namespace d3d9sw {

class SwapChain {
public:
    // `params` holds resolved values (sizes and format set).
    SwapChain(Device& device, const D3DPRESENT_PARAMETERS& params);
    SwapChain(const SwapChain&) = delete;
    SwapChain& operator=(const SwapChain&) = delete;
    ~SwapChain();

    // Shows the back buffer in `window`. With D3DSWAPEFFECT_DISCARD the buffers trade
    // places instead of being copied, leaving the back buffer's contents undefined.
    void Present(HWND window);

    Surface& BackBuffer() { return *backBuffer_; }
    bool HasDepth() const { return !depth_.empty(); }
    int Width() const { return backBuffer_->Memory().width; }
    int Height() const { return backBuffer_->Memory().height; }
    raster::ColorTarget ColorTarget();
    raster::DepthTarget DepthTarget();
    // Sets the pixels of `area` (x2, y2 exclusive, inside the buffers) to the given
    // colour and depth; a missing value leaves that buffer alone. False when the
    // buffers cannot be wrapped for filling.
    void Fill(const D3DRECT& area, std::optional<D3DCOLOR> color, std::optional<uint16_t> depth);

private:
    // The memory is had at creation, so that Reset can answer when it runs short;
    // the back buffer comes last, so that nothing made before it can leak it.
    SurfaceMemory presented_;
    std::vector<uint16_t> depth_;
    bool discard_;
    Surface* backBuffer_;  // bound by the swap chain for its whole life
};

}  // namespace d3d9sw
