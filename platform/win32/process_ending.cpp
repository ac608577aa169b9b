// No Windows function: the process ends on a lost display, a signal closes the window.
#include "win32/process_ending.h"

#include <windows.h>

#include <platform_testing.h>

#include <SDL.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <unistd.h>

#include "win32/message_queue.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

constexpr int kLostDisplayExitCode = 1;

// Written by the signal handler, read by the message queue.
std::atomic<int> terminationSignals{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");
bool closeDelivered = false;

// True for the first signal; a second one, while the first is served, ends the process.
bool CountTerminationSignal() { return terminationSignals.fetch_add(1) == 0; }

// Async-signal-safe only: the message queue does the rest.
void OnTerminationSignal(int signal) {
    if (!CountTerminationSignal()) {
        std::signal(signal, SIG_DFL);
        raise(signal);
    }
}

void WriteToStandardError(const char* text) {
    for (size_t left = std::strlen(text); left > 0;) {
        const ssize_t written = write(STDERR_FILENO, text, left);
        if (written <= 0) return;
        text += written;
        left -= static_cast<size_t>(written);
    }
}

// Xlib's own handler calls exit(): the static destructors then destroy the SDL
// windows, and SDL waits on the dead connection for ever. _exit runs none of them.
int OnDisplayConnectionLost(Display* display) {
    WriteToStandardError(program_invocation_short_name);
    WriteToStandardError(": lost the connection to the X display ");
    WriteToStandardError(DisplayString(display));
    WriteToStandardError("\n");
    _exit(kLostDisplayExitCode);
}

}  // namespace

void CloseOnTerminationSignals() {
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void DeliverSignalledClose() {
    if (closeDelivered || terminationSignals.load() == 0) {
        return;
    }
    // Kept for later when no window exists yet.
    if (const WindowRecord* record = FocusedOrOnlyWindow()) {
        QueueMessage(record->hwnd, WM_CLOSE, 0, 0);
        closeDelivered = true;
    }
}

void EndWhenDisplayIsLost() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        XSetIOErrorHandler(OnDisplayConnectionLost);
    }
}

}  // namespace platform::win32

namespace platform::testing {

bool DeliverTerminationSignal() { return win32::CountTerminationSignal(); }

void ClearTerminationSignals() {
    win32::terminationSignals.store(0);
    win32::closeDelivered = false;
}

}  // namespace platform::testing
