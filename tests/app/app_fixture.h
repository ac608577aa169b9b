// An AppWindow created on the dummy video driver, with the debug output, message
// boxes and sleeps captured, torn down completely after each test.
#pragma once

#include <windows.h>

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_window.h"

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    bool Create();
    // The run loop's drain: every queued message translated and dispatched.
    void Pump();
    void Press(WPARAM virtualKey, bool autoRepeat = false);
    int CountDebugLines(const std::wstring& line) const;

    AppWindow app;
    std::vector<std::wstring> debugLines;
    std::vector<platform::testing::MessageBoxCall> boxes;
    std::vector<DWORD> sleeps;
};
