#include "d3d9/swap_chain.h"

#include <algorithm>
#include <utility>

#include <SDL.h>

#include "d3d9/hooks.h"
#include "d3d9/window_presenter.h"

namespace d3d9sw {

SwapChain::SwapChain(Device& device, const D3DPRESENT_PARAMETERS& params)
    : backBuffer_(Surface::CreateBackBuffer(device, params.BackBufferWidth,
                                            params.BackBufferHeight, params.BackBufferFormat)),
      presented_(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat),
      depth_(params.EnableAutoDepthStencil
                 ? static_cast<size_t>(params.BackBufferWidth) * params.BackBufferHeight
                 : 0,
             uint16_t{0xFFFF}),
      discard_(params.SwapEffect == D3DSWAPEFFECT_DISCARD) {}

SwapChain::~SwapChain() {
    WithdrawPresentedFrame(&presented_);
    backBuffer_->Unbind();
}

void SwapChain::Present(HWND window) {
    SurfaceMemory& back = backBuffer_->Memory();
    if (discard_) {
        std::swap(back.pixels, presented_.pixels);
    } else {
        std::copy(back.pixels.begin(), back.pixels.end(), presented_.pixels.begin());
    }
    PublishPresentedFrame(&presented_);
    CountPresent();
    PresentToWindow(window, presented_);
}

bool SwapChain::Fill(const D3DRECT& area, std::optional<D3DCOLOR> color,
                     std::optional<uint16_t> depth) {
    const SDL_Rect rect{area.x1, area.y1, area.x2 - area.x1, area.y2 - area.y1};
    if (rect.w <= 0 || rect.h <= 0) return true;
    // SDL's fill is vectorised; the buffers are wrapped as surfaces for it.
    SurfaceMemory& back = backBuffer_->Memory();
    bool filled = true;
    if (color) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            back.pixels.data(), back.width, back.height, 32, back.PitchBytes(),
            SDL_PIXELFORMAT_ARGB8888);
        filled = surface && SDL_FillRect(surface, &rect, *color) == 0;
        SDL_FreeSurface(surface);
    }
    if (depth && filled) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            depth_.data(), back.width, back.height, 16, back.width * 2, SDL_PIXELFORMAT_RGB565);
        filled = surface && SDL_FillRect(surface, &rect, *depth) == 0;
        SDL_FreeSurface(surface);
    }
    return filled;
}

raster::ColorTarget SwapChain::ColorTarget() {
    SurfaceMemory& back = backBuffer_->Memory();
    return raster::ColorTarget{back.pixels.data(), back.width, back.height, back.width};
}

raster::DepthTarget SwapChain::DepthTarget() {
    return raster::DepthTarget{depth_.data(), Width(), Height(), Width()};
}

}  // namespace d3d9sw
