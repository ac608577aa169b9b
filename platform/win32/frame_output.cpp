// No Windows function: the one way a finished frame reaches the window (PresentFrame).
#include "win32/frame_output.h"

#include <SDL.h>

#include <memory>

#include "win32/picture_fit.h"
#include "win32/present_path.h"
#include "win32/present_report.h"
#include "win32/window_registry.h"

namespace platform::win32 {
namespace {

bool PresentThroughGpu(WindowRecord& record, const FrameView& frame) {
    if (!record.presenter) {
        record.presenter = std::make_unique<GpuPresenter>(record.sdlWindow.get());
    }
    return record.presenter->Present(frame, record.fullScreen);
}

// Black everywhere on the target outside `picture`.
void FillBars(SDL_Surface* target, const SDL_Rect& picture) {
    const int right = picture.x + picture.w;
    const int bottom = picture.y + picture.h;
    const SDL_Rect bars[] = {{0, 0, target->w, picture.y},
                             {0, bottom, target->w, target->h - bottom},
                             {0, picture.y, picture.x, picture.h},
                             {right, picture.y, target->w - right, picture.h}};
    SDL_FillRects(target, bars, 4, SDL_MapRGB(target->format, 0, 0, 0));
}

bool CopyToSurface(const FrameView& frame, SDL_Surface* target, bool keepAspect) {
    // Alpha means nothing on screen; as XRGB the frame usually matches the window's
    // own format and the 1:1 blit is a plain row copy.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(frame.pixels), frame.width, frame.height, 32, frame.pitchBytes,
        SDL_PIXELFORMAT_XRGB8888);
    if (!source) return false;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    int result = 0;
    if (source->w == target->w && source->h == target->h) {
        result = SDL_BlitSurface(source, nullptr, target, nullptr);
    } else if (keepAspect) {
        SDL_Rect picture = FitPicture(frame.width, frame.height, target->w, target->h);
        FillBars(target, picture);
        result = SDL_BlitScaled(source, nullptr, target, &picture);
    } else {
        result = SDL_BlitScaled(source, nullptr, target, nullptr);
    }
    SDL_FreeSurface(source);
    return result == 0;
}

// With framebuffer acceleration off (the shell's hint) the window surface is X
// shared memory rather than a texture, which is the fast path without a GPU.
bool PresentToSurface(WindowRecord& record, const FrameView& frame, bool drawnInPlace) {
    SDL_Surface* target = SDL_GetWindowSurface(record.sdlWindow.get());
    if (!target) return false;
    if (drawnInPlace) {
        // The window changed size since the memory was handed out: the surface was
        // made again and the frame went with the old one.
        if (target->pixels != frame.pixels) return false;
    } else if (!CopyToSurface(frame, target, record.fullScreen)) {
        return false;
    }
    return SDL_UpdateWindowSurface(record.sdlWindow.get()) == 0;
}

}  // namespace

uint32_t* WindowFrameMemory(HWND hwnd, int width, int height) {
    WindowRecord* record = FindWindowRecord(hwnd);
    // A GPU path without a renderer has fallen back to the surface.
    const bool gpu = ActivePresentPath() == PresentPath::GpuRenderer &&
                     (!record || !record->presenter || record->presenter->HasRenderer());
    if (record == nullptr || gpu) return nullptr;
    SDL_Surface* surface = SDL_GetWindowSurface(record->sdlWindow.get());
    if (surface == nullptr || surface->w != width || surface->h != height ||
        surface->pitch != width * 4 || surface->format->format != SDL_PIXELFORMAT_XRGB8888) {
        return nullptr;
    }
    record->framePixels = surface->pixels;
    return static_cast<uint32_t*>(surface->pixels);
}

void PresentFrame(HWND hwnd, const FrameView& frame) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || frame.pixels == nullptr) return;
    const bool drawnInPlace = frame.pixels == record->framePixels;
    record->framePixels = nullptr;
    if (ActivePresentPath() == PresentPath::GpuRenderer && PresentThroughGpu(*record, frame)) {
        ReportPresented(PresentPath::GpuRenderer);
    } else if (PresentToSurface(*record, frame, drawnInPlace)) {
        ReportPresented(PresentPath::WindowSurface);
    }
}

}  // namespace platform::win32
