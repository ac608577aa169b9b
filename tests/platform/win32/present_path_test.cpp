#include "win32/present_path.h"
#include "win32/picture_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using platform::win32::ChoosePresentPath;
using platform::win32::PresentPath;
using platform::win32::PresentPathInputs;

// Inputs on a machine with a GPU node whose probe answers `renderer`; counts probes.
PresentPathInputs MachineWith(const std::string& renderer, int* probes) {
    PresentPathInputs inputs;
    inputs.gpuDeviceNodes = true;
    inputs.probeGlRenderer = [renderer, probes] { return ++*probes, renderer; };
    return inputs;
}

TEST(PresentPath, OnlyAHardwareRendererFoundByTheProbeChoosesTheGpu) {
    const std::pair<const char*, PresentPath> cases[] = {
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
         PresentPath::GpuRenderer},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", PresentPath::GpuRenderer},
        {"virgl (Mesa Intel(R) Xe Graphics)", PresentPath::GpuRenderer},
        {"llvmpipe (LLVM 15.0.6, 256 bits)", PresentPath::WindowSurface},
        {"zink (llvmpipe (LLVM 15.0.6, 256 bits))", PresentPath::WindowSurface},
        {"Gallium 0.4 on softpipe", PresentPath::WindowSurface},
        {"Software Rasterizer", PresentPath::WindowSurface},
        {"D3D12 (Microsoft Basic Render Driver)", PresentPath::WindowSurface},
        {"", PresentPath::WindowSurface},  // no GL context could be made
    };
    for (const auto& [renderer, expected] : cases) {
        int probes = 0;
        EXPECT_EQ(ChoosePresentPath(MachineWith(renderer, &probes)), expected) << renderer;
        EXPECT_EQ(probes, 1);
    }
    EXPECT_TRUE(platform::win32::IsSoftwareGlRenderer("LLVMPIPE"));
}

TEST(PresentPath, TheEnvironmentAndAMachineWithoutAGpuDecideWithoutAProbe) {
    int probes = 0;
    // Each case: what is forced, whether SDL's framebuffer hint is set, whether the
    // machine has GPU nodes, the probe's answer and the path chosen without probing.
    struct Case {
        const char* forced;
        bool hint, nodes;
        const char* renderer;
        PresentPath expected;
    };
    const Case cases[] = {
        {"gpu", false, true, "llvmpipe (LLVM 15.0.6, 256 bits)", PresentPath::GpuRenderer},
        {"surface", false, true, "AMD Radeon RX 6600", PresentPath::WindowSurface},
        {"", true, true, "AMD Radeon RX 6600",
         PresentPath::WindowSurface},  // the hint asks for SDL's surface
        {"", false, false, "AMD Radeon RX 6600", PresentPath::WindowSurface},
    };
    for (const Case& c : cases) {
        PresentPathInputs inputs = MachineWith(c.renderer, &probes);
        inputs.forced = c.forced;
        inputs.framebufferHintSet = c.hint;
        inputs.gpuDeviceNodes = c.nodes;
        EXPECT_EQ(ChoosePresentPath(inputs), c.expected) << c.forced << c.hint << c.nodes;
    }
    EXPECT_EQ(probes, 0);
    PresentPathInputs unknownForce = MachineWith("AMD Radeon RX 6600", &probes);
    unknownForce.forced = "fast";
    EXPECT_EQ(ChoosePresentPath(unknownForce), PresentPath::GpuRenderer)
        << "an unknown value is ignored";
    EXPECT_EQ(probes, 1);
}

}  // namespace

TEST(FitPicture, LargestScaleThatFitsCentredWithTheSameScaleOnBothAxes) {
    struct Case {
        int displayWidth, displayHeight;
        SDL_Rect expected;
    };
    const Case cases[] = {
        {1024, 768, {0, 0, 1024, 768}},  // 4:3 fills the display: nothing changes
        {640, 480, {0, 0, 640, 480}},
        {1280, 720, {160, 0, 960, 720}},     // 16:9, scale 1.5: bars left and right
        {1920, 1200, {160, 0, 1600, 1200}},  // 16:10, scale 2.5
        {1365, 768, {170, 0, 1024, 768}},    // odd spare width: the extra pixel goes right
        {1280, 1024, {0, 32, 1280, 960}},    // 5:4, scale 2: bars top and bottom
        {300, 1000, {0, 387, 300, 225}},     // the rounded-down height leaves 388 below
    };
    for (const Case& c : cases) {
        const SDL_Rect fit = platform::win32::FitPicture(640, 480, c.displayWidth, c.displayHeight);
        EXPECT_EQ(std::tuple(fit.x, fit.y, fit.w, fit.h),
                  std::tuple(c.expected.x, c.expected.y, c.expected.w, c.expected.h))
            << c.displayWidth << "x" << c.displayHeight;
    }
}
