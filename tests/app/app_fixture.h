// An AppWindow on the dummy video driver, in a scratch working directory (shutdown
// writes the glyph dump), with the debug output, message boxes and sleeps captured.
#pragma once

#include <windows.h>

#include <platform_testing.h>
#include <scratch_working_directory.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_window.h"

// The camera to the last bit: projection for 640 x 480, view from (0, 0, -3).
inline constexpr float kProjection[16] = {1.8106600f, 0, 0, 0, 0, 2.4142134f, 0, 0, 0, 0,
                                          std::bit_cast<float>(0x3F800347u), 1, 0, 0,
                                          std::bit_cast<float>(0xBDCCD20Bu), 0};
inline constexpr float kView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1};

inline void ExpectMatrixBits(const D3DMATRIX& actual, const float (&expected)[16]) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(std::bit_cast<uint32_t>(actual.m[i / 4][i % 4]), std::bit_cast<uint32_t>(expected[i]))
            << "element " << i / 4 + 1 << i % 4 + 1 << ": " << actual.m[i / 4][i % 4] << " vs " << expected[i];
    }
}

// What every created or reset device must carry: a reset returns states to defaults.
inline void ExpectProgramCamera(IDirect3DDevice9* device) {
    D3DMATRIX projection{};
    D3DMATRIX view{};
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_VIEW, &view);
    ExpectMatrixBits(projection, kProjection);
    ExpectMatrixBits(view, kView);
    DWORD lighting = TRUE;
    device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, DWORD{FALSE});
}

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::ResetAllHooks();
        platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
        platform::testing::SetMessageBoxHandler([this](const platform::testing::MessageBoxCall& call) {
            boxes.push_back(call);
            return IDOK;
        });
        platform::testing::SetSleepHandler([this](DWORD milliseconds) { sleeps.push_back(milliseconds); });
    }
    void TearDown() override {
        Destroy();
        platform::testing::ResetAllHooks();
    }

    bool Create() { return app.Create(GetModuleHandleW(nullptr)); }
    // Everything WinMain's end and the process exit would release, so Create can run again.
    void Destroy() {
        app.Shutdown();
        if (IsWindow(app.hwnd)) DestroyWindow(app.hwnd);
        UnregisterClassW(L"CorvaneGame", GetModuleHandleW(nullptr));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Posts a key-down (bit 30 marks an auto-repeat) and runs WinMain's drain.
    void Press(WPARAM virtualKey, bool autoRepeat = false) {
        PostMessageW(app.hwnd, WM_KEYDOWN, virtualKey, (autoRepeat ? LPARAM{1} << 30 : 0) | 1);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    int Count(const std::wstring& line) const {
        return static_cast<int>(std::count(debugLines.begin(), debugLines.end(), line));
    }

    ScratchWorkingDirectory directory;
    AppWindow app;
    std::vector<std::wstring> debugLines;
    std::vector<platform::testing::MessageBoxCall> boxes;
    std::vector<DWORD> sleeps;
};
