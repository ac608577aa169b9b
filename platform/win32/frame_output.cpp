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
// shared memory rather than a texture, but SDL waits for the server at each update.
bool PresentToSurface(WindowRecord& record, const FrameView& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(record.sdlWindow.get());
    return target && CopyToSurface(frame, target, record.fullScreen) &&
           SDL_UpdateWindowSurface(record.sdlWindow.get()) == 0;
}

ShmPresenter* ShmPresenterOf(WindowRecord& record) {
    if (!record.shmPresenterTried) {
        record.shmPresenterTried = true;
        record.shmPresenter = ShmPresenter::Create(record.sdlWindow.get());
    }
    return record.shmPresenter.get();
}

bool ClientSizeIs(const WindowRecord& record, int width, int height) {
    int clientWidth = 0;
    int clientHeight = 0;
    SDL_GetWindowSize(record.sdlWindow.get(), &clientWidth, &clientHeight);
    return clientWidth == width && clientHeight == height;
}

// The presenter reports the frame once the server has shown it.
bool PresentThroughShm(WindowRecord& record, ShmPresenter& presenter, const FrameView& frame) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(record.sdlWindow.get(), &width, &height);
    uint32_t* pixels = presenter.BackPixels(width, height);
    if (pixels == nullptr) return false;
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4,
                                                             SDL_PIXELFORMAT_XRGB8888);
    const bool copied = target && CopyToSurface(frame, target, record.fullScreen);
    SDL_FreeSurface(target);
    if (copied) presenter.Show();
    return copied;
}

// A surface whose memory a frame of this size can be drawn into as it stands.
bool HoldsFrame(const SDL_Surface* surface, int width, int height) {
    return surface != nullptr && surface->w == width && surface->h == height &&
           surface->pitch == width * 4 && surface->format->format == SDL_PIXELFORMAT_XRGB8888;
}

// The memory a frame of this size can be drawn into in the window as it stands.
void* FrameMemoryOf(WindowRecord& record, int width, int height) {
    if (record.shmPresenter) {
        return ClientSizeIs(record, width, height)
                   ? const_cast<uint32_t*>(record.shmPresenter->CurrentBackPixels())
                   : nullptr;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(record.sdlWindow.get());
    return HoldsFrame(surface, width, height) ? surface->pixels : nullptr;
}

// The lender and the lent memory while the loan stands. SDL frees a window's surface
// only when it makes a new one or destroys the window, and the presenter changes its
// image only when shown or resized, so a loan whose memory is no longer the
// window's is taken back here.
uint32_t* LentPixels(const FrameMemoryLoan& loan, WindowRecord** lender) {
    WindowRecord* record = FindWindowRecord(loan.hwnd);
    if (record == nullptr || loan.number == 0 || record->frameLoan.number != loan.number) {
        return nullptr;
    }
    *lender = record;
    // New memory may sit where the old one was, at another size.
    void* pixels = FrameMemoryOf(*record, record->frameLoan.width, record->frameLoan.height);
    if (pixels == nullptr || pixels != record->frameLoan.pixels) {
        record->frameLoan.number = 0;
        return nullptr;
    }
    return static_cast<uint32_t*>(pixels);
}

}  // namespace

FrameMemoryLoan LendFrameMemory(HWND hwnd, int width, int height) {
    WindowRecord* record = FindWindowRecord(hwnd);
    // A GPU path without a renderer has fallen back to the surface.
    const bool gpu = ActivePresentPath() == PresentPath::GpuRenderer &&
                     (!record || !record->presenter || record->presenter->HasRenderer());
    if (record == nullptr || gpu) return {};
    void* pixels = nullptr;
    if (ShmPresenter* presenter = ShmPresenterOf(*record)) {
        // Waits here, before the frame is drawn, while the server still reads the image.
        if (ClientSizeIs(*record, width, height)) pixels = presenter->BackPixels(width, height);
    } else {
        pixels = FrameMemoryOf(*record, width, height);
    }
    if (pixels == nullptr) return {};
    static uint64_t loans = 0;
    record->frameLoan = {++loans, pixels, width, height};
    return {hwnd, record->frameLoan.number};
}

uint32_t* LentFrameMemory(const FrameMemoryLoan& loan) {
    WindowRecord* lender = nullptr;
    return LentPixels(loan, &lender);
}

void PresentLentFrame(HWND hwnd, const FrameMemoryLoan& loan) {
    WindowRecord* lender = nullptr;
    const uint32_t* pixels = LentPixels(loan, &lender);
    if (lender) lender->frameLoan.number = 0;
    if (pixels == nullptr) return;
    if (hwnd != loan.hwnd) {
        const int width = lender->frameLoan.width;
        PresentFrame(hwnd, {pixels, width, lender->frameLoan.height, width * 4});
    } else if (lender->shmPresenter) {
        lender->shmPresenter->Show();
    } else if (SDL_UpdateWindowSurface(lender->sdlWindow.get()) == 0) {
        ReportPresented(PresentPath::WindowSurface);
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
        ReportPresented(PresentPath::GpuRenderer);
        return;
    }
    ShmPresenter* presenter = ShmPresenterOf(*record);
    if (presenter != nullptr && PresentThroughShm(*record, *presenter, frame)) return;
    if (PresentToSurface(*record, frame)) ReportPresented(PresentPath::WindowSurface);
}

}  // namespace platform::win32
