// No Windows function: the one way a finished frame reaches the window (PresentFrame).
#include "win32/frame_output.h"

#include <SDL.h>

#include <memory>

#include "win32/picture_fit.h"
#include "win32/present_path.h"
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
void PresentToSurface(WindowRecord& record, const FrameView& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(record.sdlWindow.get());
    if (target && CopyToSurface(frame, target, record.fullScreen)) {
        SDL_UpdateWindowSurface(record.sdlWindow.get());
    }
}

// A surface whose memory a frame of this size can be drawn into as it stands.
bool HoldsFrame(const SDL_Surface* surface, int width, int height) {
    return surface != nullptr && surface->w == width && surface->h == height &&
           surface->pitch == width * 4 && surface->format->format == SDL_PIXELFORMAT_XRGB8888;
}

// The lender and its surface while the loan stands. SDL frees a window's surface
// only when it makes a new one or destroys the window, so a loan whose memory is no
// longer the surface's is taken back here.
SDL_Surface* LentSurface(const FrameMemoryLoan& loan, WindowRecord** lender) {
    WindowRecord* record = FindWindowRecord(loan.hwnd);
    if (record == nullptr || loan.number == 0 || record->frameLoan.number != loan.number) {
        return nullptr;
    }
    *lender = record;
    // A new surface may sit where the old one was, at another size.
    SDL_Surface* surface = SDL_GetWindowSurface(record->sdlWindow.get());
    if (surface == nullptr || surface->pixels != record->frameLoan.pixels ||
        !HoldsFrame(surface, record->frameLoan.width, record->frameLoan.height)) {
        record->frameLoan.number = 0;
        return nullptr;
    }
    return surface;
}

}  // namespace

FrameMemoryLoan LendFrameMemory(HWND hwnd, int width, int height) {
    WindowRecord* record = FindWindowRecord(hwnd);
    // A GPU path without a renderer has fallen back to the surface.
    const bool gpu = ActivePresentPath() == PresentPath::GpuRenderer &&
                     (!record || !record->presenter || record->presenter->HasRenderer());
    if (record == nullptr || gpu) return {};
    SDL_Surface* surface = SDL_GetWindowSurface(record->sdlWindow.get());
    if (!HoldsFrame(surface, width, height)) return {};
    static uint64_t loans = 0;
    record->frameLoan = {++loans, surface->pixels, width, height};
    return {hwnd, record->frameLoan.number};
}

uint32_t* LentFrameMemory(const FrameMemoryLoan& loan) {
    WindowRecord* lender = nullptr;
    SDL_Surface* surface = LentSurface(loan, &lender);
    return surface ? static_cast<uint32_t*>(surface->pixels) : nullptr;
}

void PresentLentFrame(HWND hwnd, const FrameMemoryLoan& loan) {
    WindowRecord* lender = nullptr;
    SDL_Surface* surface = LentSurface(loan, &lender);
    if (lender) lender->frameLoan.number = 0;
    if (surface == nullptr) return;
    if (hwnd == loan.hwnd) {
        SDL_UpdateWindowSurface(lender->sdlWindow.get());
    } else {
        PresentFrame(hwnd, {static_cast<const uint32_t*>(surface->pixels), surface->w, surface->h,
                            surface->pitch});
    }
}

void EndFrameMemoryLoan(const FrameMemoryLoan& loan) {
    WindowRecord* record = FindWindowRecord(loan.hwnd);
    if (record != nullptr && loan.number != 0 && record->frameLoan.number == loan.number) {
        record->frameLoan.number = 0;
    }
}

void PresentFrame(HWND hwnd, const FrameView& frame) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || frame.pixels == nullptr) return;
    if (ActivePresentPath() == PresentPath::GpuRenderer && PresentThroughGpu(*record, frame)) {
        return;
    }
    PresentToSurface(*record, frame);
}

}  // namespace platform::win32
