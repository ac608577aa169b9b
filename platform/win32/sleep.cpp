// Sleep.
#include <windows.h>

#include <platform_testing.h>

#include <chrono>
#include <thread>
#include <utility>

namespace {

std::function<void(DWORD)>& SleepHandler() {
    static std::function<void(DWORD)> handler;
    return handler;
}

}  // namespace

void WINAPI Sleep(DWORD milliseconds) {
    if (SleepHandler()) {
        SleepHandler()(milliseconds);
        return;
    }
    if (milliseconds == 0) {
        std::this_thread::yield();  // gives up the rest of the time slice
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace platform::testing {

void SetSleepHandler(std::function<void(DWORD milliseconds)> handler) {
    SleepHandler() = std::move(handler);
}

}  // namespace platform::testing
