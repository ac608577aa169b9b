// A board scene on a real device, run in a scratch directory that holds the
// program's three images, with the debugger output captured.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "scene/board_scene.h"
#include "test_device.h"

// An image file as 0xAARRGGBB values, rows from the top.
struct AssetImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
AssetImage ReadAsset(const std::string& name);

class SceneFixture : public testing::Test {
protected:
    SceneFixture();
    ~SceneFixture() override;
    void SetUp() override { ASSERT_NE(gpu.device, nullptr) << "no device"; }

    // Clear, BeginScene, the scene's draw, EndScene, Present; the presented frame.
    platform::testing::Frame RenderFrame();
    // Releases, resets the device with its own parameters and loads again.
    void ResetRound();
    // Whole lines of debugger output equal to `line` (which ends in "\n"), however
    // the writer split them into calls.
    int CountDebugLines(const std::wstring& line) const;

    std::filesystem::path previousDirectory;
    std::filesystem::path scratch;
    std::vector<std::wstring> debugLines;
    DWORD clockMs = 1000;  // the millisecond clock the meter reads

private:
    // Runs before the device and the scene exist, so the meter starts on clockMs.
    bool EnterScratchWithHooks();
    bool enteredScratch = EnterScratchWithHooks();

protected:
    TestDevice gpu;
    BoardScene scene;
};
