#include "d3d9/swap_chain.h"

#include <algorithm>
#include <utility>

#include "d3d9/raster/target_fill.h"

#include "d3d9/hooks.h"
#include "d3d9/window_presenter.h"

namespace d3d9sw {

SwapChain::SwapChain(Device& device, const D3DPRESENT_PARAMETERS& params)
    : presented_(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat,
                 Allocation::Now),
      depth_(params.EnableAutoDepthStencil
                 ? static_cast<size_t>(params.BackBufferWidth) * params.BackBufferHeight
                 : 0,
             uint16_t{0xFFFF}),
      discard_(params.SwapEffect == D3DSWAPEFFECT_DISCARD),
      backBuffer_(Surface::CreateBackBuffer(device, params.BackBufferWidth,
                                            params.BackBufferHeight, params.BackBufferFormat)) {}

SwapChain::~SwapChain() {
    WithdrawPresentedFrame(&presented_);
    backBuffer_->Unbind();
}

void SwapChain::Present(HWND window) {
    SurfaceMemory& back = backBuffer_->Memory();
    if (discard_) {
        std::swap(back.pixels, presented_.pixels);
    } else {
        std::copy_n(back.pixels.Read(), back.pixels.size(), presented_.pixels.Write());
    }
    PublishPresentedFrame(&presented_);
    CountPresent();
    PresentToWindow(window, presented_);
}

void SwapChain::Fill(const D3DRECT& area, std::optional<D3DCOLOR> color,
                     std::optional<uint16_t> depth) {
    const raster::PixelRect rect{area.x1, area.y1, area.x2, area.y2};
    if (color) raster::FillColor(ColorTarget(), rect, *color);
    if (depth) raster::FillDepth(DepthTarget(), rect, *depth);
}

raster::ColorTarget SwapChain::ColorTarget() {
    SurfaceMemory& back = backBuffer_->Memory();
    return raster::ColorTarget{back.pixels.Write(), back.width, back.height, back.width};
}

raster::DepthTarget SwapChain::DepthTarget() {
    return raster::DepthTarget{depth_.data(), Width(), Height(), Width()};
}

}  // namespace d3d9sw
