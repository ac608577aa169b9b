// The device's render targets: the back buffer, its 16-bit depth buffer and the
// buffer last presented.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "d3d9/raster/color_tiles.h"
#include "d3d9/raster/depth_tiles.h"
#include "d3d9/raster/pipeline.h"
#include "d3d9/surface.h"
#include "d3d9/window_frame_memory.h"

namespace platform::d3d9 {

class SwapChain {
public:
    // `params` holds resolved values (sizes and format set); `window` is the one the
    // device presents to unless Present names another.
    SwapChain(Device& device, HWND window, const D3DPRESENT_PARAMETERS& params);
    SwapChain(const SwapChain&) = delete;
    SwapChain& operator=(const SwapChain&) = delete;
    ~SwapChain();

    // Shows the back buffer in `window`. D3DSWAPEFFECT_DISCARD draws each frame
    // straight into the window's memory where it has the back buffer's size and
    // layout, and trades buffers otherwise, leaving the back buffer undefined;
    // FLIP trades buffers, so the back buffer then holds the frame shown before;
    // COPY copies, so the back buffer keeps its contents.
    void Present(HWND window);

    Surface& BackBuffer() { return *backBuffer_; }
    // The back buffer's pixels as they stand, for reading; clears held back are
    // written out first.
    const uint32_t* Pixels();
    bool HasDepth() const { return !depth_.empty(); }
    int Width() const { return backBuffer_->Memory().width; }
    int Height() const { return backBuffer_->Memory().height; }
    raster::ColorTarget ColorTarget();
    raster::DepthTarget DepthTarget();
    // Sets the pixels of `area` (x2, y2 exclusive, inside the buffers) to the given
    // colour and depth; a missing value leaves that buffer alone.
    void Fill(const D3DRECT& area, std::optional<D3DCOLOR> color, std::optional<uint16_t> depth);

private:
    // Where this frame is drawn; the first call after a Present picks the place.
    uint32_t* DrawPixels();
    // Writes out the clears the colour tiles hold back.
    void MaterialiseColor();

    // The memory is had at creation, so that Reset can answer when it runs short;
    // the back buffer comes last, so that nothing made before it can leak it.
    SurfaceMemory presented_;
    std::vector<uint16_t> depth_;
    raster::DepthTiles depthTiles_;
    raster::ColorTiles colorTiles_;
    D3DSWAPEFFECT swapEffect_;
    HWND window_;
    bool drawing_ = false;  // drawn into since the last Present
    // From the first drawing of a frame drawn in place to its Present.
    WindowFrameMemory windowMemory_;
    Surface* backBuffer_;  // bound by the swap chain for its whole life
};

}  // namespace platform::d3d9
