#include "d3d9/swap_chain.h"

#include <algorithm>
#include <utility>

#include "d3d9/raster/target_fill.h"

#include "d3d9/hooks.h"
#include "win32/frame_output.h"

namespace platform::d3d9 {

SwapChain::SwapChain(Device& device, HWND window, const D3DPRESENT_PARAMETERS& params)
    : presented_(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat,
                 Allocation::Now),
      depth_(params.EnableAutoDepthStencil
                 ? static_cast<size_t>(params.BackBufferWidth) * params.BackBufferHeight
                 : 0,
             uint16_t{0xFFFF}),
      depthTiles_(static_cast<int>(params.BackBufferWidth),
                  static_cast<int>(params.BackBufferHeight), 0xFFFF),
      colorTiles_(static_cast<int>(params.BackBufferWidth),
                  static_cast<int>(params.BackBufferHeight)),
      swapEffect_(params.SwapEffect),
      window_(window),
      backBuffer_(Surface::CreateBackBuffer(device, params.BackBufferWidth, params.BackBufferHeight,
                                            params.BackBufferFormat)) {}

SwapChain::~SwapChain() {
    windowMemory_.GiveBack();
    backBuffer_->Unbind();
}

uint32_t* SwapChain::DrawPixels() {
    SurfaceMemory& back = backBuffer_->Memory();
    if (!drawing_) {
        drawing_ = true;
        if (swapEffect_ == D3DSWAPEFFECT_DISCARD) {
            windowMemory_.Borrow(window_, back.width, back.height);
        }
    }
    uint32_t* lent = windowMemory_.Pixels();
    return lent ? lent : back.pixels.Write();
}

void SwapChain::MaterialiseColor() {
    // Tiles are only ever marked while a frame is drawn, so this picks no new place.
    if (drawing_) colorTiles_.MaterialiseAll(ColorTarget());
}

const uint32_t* SwapChain::Pixels() {
    MaterialiseColor();
    const uint32_t* lent = windowMemory_.Pixels();
    return lent ? lent : backBuffer_->Memory().pixels.Read();
}

void SwapChain::Present(HWND window) {
    MaterialiseColor();
    SurfaceMemory& back = backBuffer_->Memory();
    if (windowMemory_.Borrowed()) {
        // Null when the window took its memory back: the frame went with it.
        if (const uint32_t* lent = windowMemory_.Pixels()) {
            CapturePresentedFrame(lent, back.width, back.height);
        }
        windowMemory_.Present(window);
    } else {
        if (swapEffect_ == D3DSWAPEFFECT_COPY) {
            std::copy_n(back.pixels.Read(), back.pixels.size(), presented_.pixels.Write());
        } else {
            std::swap(back.pixels, presented_.pixels);
        }
        const uint32_t* shown = presented_.pixels.Read();
        CapturePresentedFrame(shown, back.width, back.height);
        platform::win32::PresentFrame(window, {shown, back.width, back.height, back.PitchBytes()});
    }
    CountPresent();
    drawing_ = false;
}

void SwapChain::Fill(const D3DRECT& area, std::optional<D3DCOLOR> color,
                     std::optional<uint16_t> depth) {
    const raster::PixelRect rect{area.x1, area.y1, area.x2, area.y2};
    if (color) raster::FillColor(ColorTarget(), rect, *color);
    if (depth) raster::FillDepth(DepthTarget(), rect, *depth);
}

raster::ColorTarget SwapChain::ColorTarget() {
    return raster::ColorTarget{DrawPixels(), Width(), Height(), Width(), &colorTiles_};
}

raster::DepthTarget SwapChain::DepthTarget() {
    return raster::DepthTarget{depth_.data(), Width(), Height(), Width(), &depthTiles_};
}

}  // namespace platform::d3d9
