// Shows a window's frames by handing X shared-memory images straight to the server,
// two in turn, so that the next frame is drawn while the server copies the last one.
// Internal to the win32 family.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>

namespace platform::win32 {

// What decides whether frames can go to the X server this way.
struct ShmPresentInputs {
    bool x11 = false;
    // The server has the shared-memory extension and runs on this machine.
    bool sharedMemory = false;
    // The window's visual as a ZPixmap image.
    int bitsPerPixel = 0;
    unsigned long redMask = 0, greenMask = 0, blueMask = 0;
    bool leastSignificantByteFirst = false;
};

// True when a frame's own pixels are the image's, with nothing to convert.
bool CanPresentThroughShm(const ShmPresentInputs& inputs);

// Which of two images is drawn next and which the server may still be reading.
class ImagePair {
public:
    int Back() const { return back_; }
    bool InFlight(int image) const { return sent_[image] != 0; }
    // The back image went to the server; the other one is drawn next.
    void Sent(unsigned long segment) {
        sent_[back_] = segment;
        back_ ^= 1;
    }
    // The server has read the image in shared-memory segment `segment`.
    void Done(unsigned long segment) {
        for (unsigned long& sent : sent_) {
            if (sent == segment) sent = 0;
        }
    }
    // Returns once the server has read the back image, meanwhile taking its events
    // one at a time with `takeEvent`.
    template <typename TakeEvent>
    void AwaitBack(TakeEvent takeEvent) {
        while (InFlight(back_)) takeEvent();
    }

private:
    int back_ = 0;
    std::array<unsigned long, 2> sent_{};
};

class ShmPresenter {
public:
    // Null where the window is not on an X server this way suits: its frames then go
    // through SDL's window surface.
    static std::unique_ptr<ShmPresenter> Create(SDL_Window* window);
    struct Server;
    explicit ShmPresenter(std::unique_ptr<Server> server);
    ShmPresenter(const ShmPresenter&) = delete;
    ShmPresenter& operator=(const ShmPresenter&) = delete;
    ~ShmPresenter();

    // The image the next frame is drawn into, `width` x `height` in packed rows,
    // once the server has finished reading it. Null when no such image can be made.
    uint32_t* BackPixels(int width, int height);
    // The back image's memory as it stands: no wait, nothing made.
    const uint32_t* CurrentBackPixels() const;
    // Sends the back image, drawn whole, to the window.
    void Show();

private:
    struct Image;

    bool MakeImages(int width, int height);
    void DropImages();
    // Takes one event from the server, waiting for it when asked; false when none
    // had come.
    bool TakeCompletion(bool wait);

    std::unique_ptr<Server> server_;
    std::array<std::unique_ptr<Image>, 2> images_;
    ImagePair pair_;
};

}  // namespace platform::win32
