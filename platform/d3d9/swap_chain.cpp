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
      swapEffect_(params.SwapEffect),
      window_(window),
      backBuffer_(Surface::CreateBackBuffer(device, params.BackBufferWidth, params.BackBufferHeight,
                                            params.BackBufferFormat)) {}

SwapChain::~SwapChain() {
    if (shown_) WithdrawPresentedFrame(shown_, true);
    backBuffer_->Unbind();
}

uint32_t* SwapChain::DrawPixels() {
    SurfaceMemory& back = backBuffer_->Memory();
    if (!drawing_) {
        drawing_ = true;
        // The window's memory is drawn over next, or may go with a change of size.
        if (shownInWindow_) WithdrawPresentedFrame(shown_, false);
        if (swapEffect_ == D3DSWAPEFFECT_DISCARD) {
            windowPixels_ = platform::win32::WindowFrameMemory(window_, back.width, back.height);
        }
    }
    return windowPixels_ ? windowPixels_ : back.pixels.Write();
}

const uint32_t* SwapChain::Pixels() const {
    return windowPixels_ ? windowPixels_ : backBuffer_->Memory().pixels.Read();
}

void SwapChain::Present(HWND window) {
    SurfaceMemory& back = backBuffer_->Memory();
    shownInWindow_ = windowPixels_ != nullptr;
    if (shownInWindow_) {
        shown_ = windowPixels_;
    } else {
        if (swapEffect_ == D3DSWAPEFFECT_COPY) {
            std::copy_n(back.pixels.Read(), back.pixels.size(), presented_.pixels.Write());
        } else {
            std::swap(back.pixels, presented_.pixels);
        }
        shown_ = presented_.pixels.Read();
    }
    PublishPresentedFrame(shown_, back.width, back.height);
    CountPresent();
    platform::win32::PresentFrame(window, {shown_, back.width, back.height, back.PitchBytes()});
    windowPixels_ = nullptr;
    drawing_ = false;
}

void SwapChain::Fill(const D3DRECT& area, std::optional<D3DCOLOR> color,
                     std::optional<uint16_t> depth) {
    const raster::PixelRect rect{area.x1, area.y1, area.x2, area.y2};
    if (color) raster::FillColor(ColorTarget(), rect, *color);
    if (depth) raster::FillDepth(DepthTarget(), rect, *depth);
}

raster::ColorTarget SwapChain::ColorTarget() {
    return raster::ColorTarget{DrawPixels(), Width(), Height(), Width()};
}

raster::DepthTarget SwapChain::DepthTarget() {
    return raster::DepthTarget{depth_.data(), Width(), Height(), Width()};
}

}  // namespace platform::d3d9
