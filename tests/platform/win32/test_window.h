// A window class whose procedure records every message, for the win32 tests.
#pragma once

#include <windows.h>

#include <vector>

namespace win32_test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LONG_PTR userDataAtArrival;
};

// Messages seen by RecordingProc since the last Clear, in order.
std::vector<Received>& Log();
std::vector<UINT> MessagesOf(const std::vector<Received>& log);

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the recording class for one test and unregisters it afterwards;
// windows still open at the end are destroyed.
class RecordingClass {
public:
    static constexpr const wchar_t* kName = L"RecordingWindow";
    RecordingClass();
    ~RecordingClass();
    RecordingClass(const RecordingClass&) = delete;
    RecordingClass& operator=(const RecordingClass&) = delete;

    HWND Create(DWORD style, int x, int y, int width, int height, void* param = nullptr);

private:
    std::vector<HWND> windows_;
};

// Pulls every queued message (PM_REMOVE) without dispatching it.
std::vector<MSG> DrainQueue(HWND filter = nullptr);

}  // namespace win32_test
