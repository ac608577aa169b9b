// Shows frames through an accelerated SDL renderer: each frame is uploaded into a
// streaming texture and the GPU stretches it over the client area.
#pragma once

#include <SDL.h>

#include <memory>

#include "d3d9/surface_memory.h"
#include "win32/window_bridge.h"

namespace d3d9sw {

class GpuPresenter final : public platform::win32::WindowPresenter {
public:
    // Without an accelerated renderer for the window the presenter stays empty and
    // every Present answers false, so the window is not asked again each frame.
    explicit GpuPresenter(SDL_Window* window);

    // False when nothing was shown and the frame must go another way.
    bool Present(const SurfaceMemory& frame);

private:
    struct RendererDeleter {
        void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
    };
    struct TextureDeleter {
        void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
    };

    bool FitTexture(int width, int height);

    std::unique_ptr<SDL_Renderer, RendererDeleter> renderer_;
    std::unique_ptr<SDL_Texture, TextureDeleter> texture_;  // goes before its renderer
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};

}  // namespace d3d9sw
