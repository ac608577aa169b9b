// The window's memory when a frame is drawn straight into it: the window family
// lends it for one frame and may take it back at any time, so it is asked for at
// each use and no pointer into it is kept.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win32/frame_output.h"

namespace platform::d3d9 {

class WindowFrameMemory {
public:
    WindowFrameMemory() = default;
    WindowFrameMemory(const WindowFrameMemory&) = delete;
    WindowFrameMemory& operator=(const WindowFrameMemory&) = delete;
    ~WindowFrameMemory() { GiveBack(); }

    // Borrows the memory of `window` for a frame of this size; nothing where the
    // window cannot lend it.
    void Borrow(HWND window, int width, int height) {
        GiveBack();
        loan_ = platform::win32::LendFrameMemory(window, width, height);
    }
    // This frame is drawn in the window, though its memory may have been taken back.
    bool Borrowed() const { return loan_.number != 0; }
    // Null when nothing is borrowed or the window took the memory back.
    uint32_t* Pixels() const {
        return Borrowed() ? platform::win32::LentFrameMemory(loan_) : nullptr;
    }
    // Shows the frame drawn in it in `window` and gives the memory back.
    void Present(HWND window) {
        platform::win32::PresentLentFrame(window, loan_);
        loan_ = {};
    }
    void GiveBack() {
        if (Borrowed()) platform::win32::EndFrameMemoryLoan(loan_);
        loan_ = {};
    }

private:
    platform::win32::FrameMemoryLoan loan_;
};

}  // namespace platform::d3d9
