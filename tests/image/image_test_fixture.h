// A device, a scratch folder, and the debugger lines and message boxes the code
// under test produces, captured instead of shown.
#pragma once

#include <platform_testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_files.h"
#include "test_device.h"

namespace image_test {

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
        platform::testing::SetMessageBoxHandler([this](const platform::testing::MessageBoxCall& call) {
            boxes.push_back(call);
            return IDOK;
        });
    }
    void TearDown() override { platform::testing::ResetAllHooks(); }

    IDirect3DDevice9* Device() { return testDevice.device(); }
    int LiveTextures() const { return platform::testing::CountD3DLiveObjects().textures; }

    TestDevice testDevice;
    ScratchFolder folder;
    std::vector<std::wstring> debugLines;
    std::vector<platform::testing::MessageBoxCall> boxes;
};

}  // namespace image_test
