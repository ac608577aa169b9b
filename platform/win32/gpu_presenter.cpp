// No Windows function: frames shown through an accelerated SDL renderer.
#include "win32/gpu_presenter.h"

#include "win32/picture_fit.h"

namespace platform::win32 {

GpuPresenter::GpuPresenter(SDL_Window* window)
    : renderer_(SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) {}

bool GpuPresenter::FitTexture(int width, int height) {
    if (texture_ && textureWidth_ == width && textureHeight_ == height) return true;
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!texture_) return false;
    // Alpha means nothing on screen, and the stretch matches the surface path's
    // nearest-neighbour blit.
    SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture_.get(), SDL_ScaleModeNearest);
    textureWidth_ = width;
    textureHeight_ = height;
    return true;
}

bool GpuPresenter::Present(const FrameView& frame, bool keepAspect) {
    if (!renderer_ || !FitTexture(frame.width, frame.height)) return false;
    SDL_Rect fit{};
    const SDL_Rect* area = nullptr;
    int width = 0;
    int height = 0;
    if (keepAspect && SDL_GetRendererOutputSize(renderer_.get(), &width, &height) == 0) {
        fit = FitPicture(frame.width, frame.height, width, height);
        area = &fit;
    }
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 0xFF);
    if (SDL_UpdateTexture(texture_.get(), nullptr, frame.pixels, frame.pitchBytes) != 0 ||
        (area && SDL_RenderClear(renderer_.get()) != 0) ||
        SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, area) != 0) {
        return false;
    }
    SDL_RenderPresent(renderer_.get());
    return true;
}

}  // namespace platform::win32
