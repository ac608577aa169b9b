// No Windows function: the process ends on a lost display, a signal closes the window
// and ends an open message box.
#include "win32/process_ending.h"

#include <windows.h>

#include <platform_testing.h>

#include <SDL.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
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

// The parent in /proc/<pid>/stat, after the state, which follows the command name
// (it may hold spaces and parentheses); 0 when it cannot be read.
long ParentOf(long pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return 0;
    char text[512] = {};
    const ssize_t size = read(file, text, sizeof text - 1);
    close(file);
    const char* nameEnd = size > 0 ? std::strrchr(text, ')') : nullptr;
    char state = 0;
    long parent = 0;
    if (nameEnd == nullptr || std::sscanf(nameEnd + 1, " %c %ld", &state, &parent) != 2) return 0;
    return parent;
}

// A forked child keeps this process's handlers, so only SIGKILL is sure to end it.
void EndChildProcesses() {
    DIR* processes = opendir("/proc");
    if (processes == nullptr) return;
    const long self = getpid();
    while (const dirent* entry = readdir(processes)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && *end == '\0' && ParentOf(pid) == self)
            kill(static_cast<pid_t>(pid), SIGKILL);
    }
    closedir(processes);
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

bool WaitUnlessTerminated(const std::function<void()>& wait) {
    std::mutex mutex;
    std::condition_variable over;
    bool waiting = true;
    std::thread watcher;
    try {
        // The box's child may not exist yet when the signal comes: look again until
        // the wait is over.
        watcher = std::thread([&] {
            std::unique_lock lock(mutex);
            while (waiting) {
                if (terminationSignals.load() > 0) EndChildProcesses();
                over.wait_for(lock, std::chrono::milliseconds(20));
            }
        });
    } catch (const std::system_error&) {
        // Without a thread the box waits for its answer.
    }
    wait();
    {
        std::lock_guard lock(mutex);
        waiting = false;
    }
    over.notify_one();
    if (watcher.joinable()) watcher.join();
    return terminationSignals.load() > 0;
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
