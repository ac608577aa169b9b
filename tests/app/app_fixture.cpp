#include "app_fixture.h"

#include <algorithm>

void AppFixture::SetUp() {
    platform::testing::ResetAllHooks();
    platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
    platform::testing::SetMessageBoxHandler([this](const platform::testing::MessageBoxCall& call) {
        boxes.push_back(call);
        return IDOK;
    });
    platform::testing::SetSleepHandler([this](DWORD milliseconds) { sleeps.push_back(milliseconds); });
}

void AppFixture::TearDown() {
    app.Shutdown();
    if (IsWindow(app.hwnd)) {
        DestroyWindow(app.hwnd);
    }
    UnregisterClassW(L"CorvaneGame", GetModuleHandleW(nullptr));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    platform::testing::ResetAllHooks();
}

bool AppFixture::Create() {
    return app.Create(GetModuleHandleW(nullptr));
}

void AppFixture::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void AppFixture::Press(WPARAM virtualKey, bool autoRepeat) {
    const LPARAM repeatBit = autoRepeat ? (LPARAM{1} << 30) : 0;
    PostMessageW(app.hwnd, WM_KEYDOWN, virtualKey, repeatBit | 1);
    Pump();
}

int AppFixture::CountDebugLines(const std::wstring& line) const {
    return static_cast<int>(std::count(debugLines.begin(), debugLines.end(), line));
}
