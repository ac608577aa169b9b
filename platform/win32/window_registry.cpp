// No Windows function: every live window and its state in the Windows model.
#include "win32/window_registry.h"

#include <map>

namespace platform::win32 {

namespace {

std::map<HWND, std::unique_ptr<WindowRecord>>& Windows() {
    static std::map<HWND, std::unique_ptr<WindowRecord>> windows;
    return windows;
}

HWND NextHandle() {
    // Small distinct values like USER32's; a stale handle never names a new window.
    static uintptr_t next = 0x10010;
    next += 4;
    return reinterpret_cast<HWND>(next);
}

}  // namespace

HWND AddWindowRecord(std::unique_ptr<WindowRecord> record) {
    const HWND hwnd = NextHandle();
    record->hwnd = hwnd;
    Windows().emplace(hwnd, std::move(record));
    return hwnd;
}

void RemoveWindowRecord(HWND hwnd) { Windows().erase(hwnd); }

WindowRecord* FindWindowRecord(HWND hwnd) {
    const auto found = Windows().find(hwnd);
    return found == Windows().end() ? nullptr : found->second.get();
}

SDL_Window* SdlWindowOf(HWND hwnd) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record != nullptr ? record->sdlWindow.get() : nullptr;
}

WindowRecord* FindWindowRecordBySdlId(uint32_t windowId) {
    for (auto& [hwnd, record] : Windows()) {
        if (record->sdlWindow && SDL_GetWindowID(record->sdlWindow.get()) == windowId) {
            return record.get();
        }
    }
    return nullptr;
}

WindowRecord* FocusedOrOnlyWindow() {
    for (auto& [hwnd, record] : Windows()) {
        if (record->focused) {
            return record.get();
        }
    }
    return Windows().size() == 1 ? Windows().begin()->second.get() : nullptr;
}

}  // namespace platform::win32
