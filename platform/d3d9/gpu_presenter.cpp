#include "d3d9/gpu_presenter.h"

namespace d3d9sw {

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

bool GpuPresenter::Present(const SurfaceMemory& frame) {
    if (!renderer_ || !FitTexture(frame.width, frame.height)) return false;
    if (SDL_UpdateTexture(texture_.get(), nullptr, frame.pixels.Read(), frame.PitchBytes()) != 0 ||
        SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr) != 0) {
        return false;
    }
    SDL_RenderPresent(renderer_.get());
    return true;
}

}  // namespace d3d9sw
