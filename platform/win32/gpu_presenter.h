// Shows frames through an accelerated SDL renderer: each frame is uploaded into a
// streaming texture and the GPU stretches it over the given part of the client area.
#pragma once

#include <SDL.h>

#include <memory>

#include "win32/frame_output.h"

namespace platform::win32 {

class GpuPresenter {
public:
    // Without an accelerated renderer for the window the presenter stays empty and
    // every Present answers false, so the window is not asked again each frame.
    explicit GpuPresenter(SDL_Window* window);

    // False when the window has no accelerated renderer.
    bool HasRenderer() const { return renderer_ != nullptr; }

    // Over the whole client area, or at the frame's own aspect ratio between black
    // bars. False when nothing was shown and the frame must go another way.
    bool Present(const FrameView& frame, bool keepAspect);

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

}  // namespace platform::win32
