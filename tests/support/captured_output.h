// The debugger lines and message boxes the code under test produces, for fixtures
// that check them; Capture installs the hooks (ResetAllHooks removes them).
#pragma once

#include <gtest/gtest.h>
#include <platform_testing.h>

#include <string>
#include <tuple>
#include <vector>

class CapturedOutput {
protected:
    void Capture() {
        platform::testing::SetDebugSink(
            [this](const std::wstring& text) { debugLines.push_back(text); });
        platform::testing::SetMessageBoxHandler(
            [this](const platform::testing::MessageBoxCall& call) {
                boxes.push_back(call);
                return IDOK;
            });
    }
    // Exactly one ownerless OK box with this text and caption.
    void ExpectOneBox(const wchar_t* text, const wchar_t* caption) const {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(std::tuple(boxes[0].owner, boxes[0].text, boxes[0].caption, boxes[0].type),
                  std::tuple(HWND{}, std::wstring(text), std::wstring(caption), UINT{MB_OK}));
    }

    std::vector<std::wstring> debugLines;
    std::vector<platform::testing::MessageBoxCall> boxes;
};
