#include "d3d9/window_presenter.h"

#include <SDL.h>

#include <memory>

#include "d3d9/gpu_presenter.h"
#include "win32/present_path.h"
#include "win32/window_bridge.h"

namespace d3d9sw {
namespace {

bool PresentThroughGpu(HWND window, SDL_Window* sdlWindow, const SurfaceMemory& frame) {
    auto* presenter = dynamic_cast<GpuPresenter*>(platform::win32::PresenterOf(window));
    if (!presenter) {
        presenter = static_cast<GpuPresenter*>(platform::win32::AttachPresenter(
            window, std::make_unique<GpuPresenter>(sdlWindow)));
    }
    return presenter && presenter->Present(frame);
}

void PresentToSurface(SDL_Window* sdlWindow, const SurfaceMemory& frame) {
    // With framebuffer acceleration off (the shell's hint) this surface is X shared
    // memory rather than a texture, which is the fast path without a GPU.
    SDL_Surface* target = SDL_GetWindowSurface(sdlWindow);
    if (!target) return;
    // Alpha means nothing on screen; as XRGB the frame usually matches the window's
    // own format and the 1:1 blit is a plain row copy.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(frame.pixels.Read()), frame.width, frame.height, 32,
        frame.PitchBytes(), SDL_PIXELFORMAT_XRGB8888);
    if (!source) return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    if (source->w == target->w && source->h == target->h) {
        SDL_BlitSurface(source, nullptr, target, nullptr);
    } else {
        SDL_BlitScaled(source, nullptr, target, nullptr);
    }
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(sdlWindow);
}

}  // namespace

void PresentToWindow(HWND window, const SurfaceMemory& frame) {
    SDL_Window* sdlWindow = platform::win32::SdlWindowOf(window);
    if (!sdlWindow) return;
    if (platform::win32::ActivePresentPath() == platform::win32::PresentPath::GpuRenderer &&
        PresentThroughGpu(window, sdlWindow, frame)) {
        return;
    }
    PresentToSurface(sdlWindow, frame);
}

}  // namespace d3d9sw
