#include "win32/present_path.h"
#include "win32/picture_fit.h"
#include "win32/shm_presenter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using platform::win32::ChoosePresentPath;
using platform::win32::PresentPath;
using platform::win32::PresentPathInputs;
constexpr PresentPath kGpu = PresentPath::GpuRenderer, kSurface = PresentPath::WindowSurface;

// Inputs on a machine with a GPU node whose probe answers `renderer`; counts probes.
PresentPathInputs MachineWith(const std::string& renderer, int* probes) {
    PresentPathInputs inputs;
    inputs.gpuDeviceNodes = true;
    inputs.probeGlRenderer = [renderer, probes] { return ++*probes, renderer; };
    return inputs;
}

TEST(PresentPath, OnlyAHardwareRendererFoundByTheProbeChoosesTheGpu) {
    // clang-format off
    const std::pair<const char*, PresentPath> cases[] = {
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", kGpu},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", kGpu},
        {"virgl (Mesa Intel(R) Xe Graphics)", kGpu}, {"llvmpipe (LLVM 15.0.6, 256 bits)", kSurface},
        {"zink (llvmpipe (LLVM 15.0.6, 256 bits))", kSurface},
        {"Gallium 0.4 on softpipe", kSurface}, {"Software Rasterizer", kSurface},
        {"D3D12 (Microsoft Basic Render Driver)", kSurface},
        {"", kSurface},  // no GL context could be made
    };
    // clang-format on
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
    // clang-format off
    const std::tuple<const char*, bool, bool, const char*, PresentPath> cases[] = {
        {"gpu", false, true, "llvmpipe (LLVM 15.0.6, 256 bits)", kGpu},
        {"surface", false, true, "AMD Radeon RX 6600", kSurface},
        {"", true, true, "AMD Radeon RX 6600", kSurface},  // the hint asks for SDL's surface
        {"", false, false, "AMD Radeon RX 6600", kSurface}};
    // clang-format on
    for (const auto& [forced, hint, nodes, renderer, expected] : cases) {
        PresentPathInputs inputs = MachineWith(renderer, &probes);
        inputs.forced = forced;
        inputs.framebufferHintSet = hint;
        inputs.gpuDeviceNodes = nodes;
        EXPECT_EQ(ChoosePresentPath(inputs), expected) << forced << hint << nodes;
    }
    EXPECT_EQ(probes, 0);
    PresentPathInputs unknownForce = MachineWith("AMD Radeon RX 6600", &probes);
    unknownForce.forced = "fast";
    EXPECT_EQ(ChoosePresentPath(unknownForce), kGpu) << "an unknown value is ignored";
    EXPECT_EQ(probes, 1);
}

TEST(PresentPath, FramesGoStraightToTheXServerOnlyInImagesThatHoldThemAsTheyAre) {
    using platform::win32::ShmPresentInputs;
    const ShmPresentInputs xrgb{true, true, 32, 0xFF0000, 0xFF00, 0xFF, true};
    EXPECT_TRUE(platform::win32::CanPresentThroughShm(xrgb));
    // clang-format off
    const ShmPresentInputs others[] = {
        {false, true, 32, 0xFF0000, 0xFF00, 0xFF, true},  // Wayland, the dummy driver
        {true, false, 32, 0xFF0000, 0xFF00, 0xFF, true},  // no shared memory, a remote server
        {true, true, 24, 0xFF0000, 0xFF00, 0xFF, true}, {true, true, 16, 0xF800, 0x7E0, 0x1F, true},
        {true, true, 32, 0xFF, 0xFF00, 0xFF0000, true}, {true, true, 32, 0xFF0000, 0xFF00, 0xFF, false}};
    // clang-format on
    for (const ShmPresentInputs& inputs : others) {
        EXPECT_FALSE(platform::win32::CanPresentThroughShm(inputs)) << "case " << &inputs - others;
    }
}

// Drawing into an image the server still reads would show a torn frame.
TEST(PresentPath, TheImageDrawnNextIsNeverOneTheServerMayStillRead) {
    platform::win32::ImagePair pair;
    const int first = pair.Back();
    pair.Sent(0x400001);
    EXPECT_NE(pair.Back(), first);
    pair.Sent(0x400002);
    ASSERT_EQ(pair.Back(), first);
    // The server's events, the other image's first: both are taken before drawing.
    std::vector<unsigned long> events{0x400002, 0x400001};
    size_t taken = 0;
    pair.AwaitBack([&] { pair.Done(events.at(taken++)); });
    EXPECT_EQ(taken, 2u);
    pair.AwaitBack([&] { ++taken; });
    EXPECT_EQ(taken, 2u) << "no wait for an image already read";
}

}  // namespace

TEST(FitPicture, LargestScaleThatFitsCentredWithTheSameScaleOnBothAxes) {
    // The display's width and height, and where the picture goes.
    const std::tuple<int, int, SDL_Rect> cases[] = {
        {1024, 768, {0, 0, 1024, 768}},  // 4:3 fills the display: nothing changes
        {640, 480, {0, 0, 640, 480}},
        {1280, 720, {160, 0, 960, 720}},     // 16:9, scale 1.5: bars left and right
        {1920, 1200, {160, 0, 1600, 1200}},  // 16:10, scale 2.5
        {1365, 768, {170, 0, 1024, 768}},    // odd spare width: the extra pixel goes right
        {1280, 1024, {0, 32, 1280, 960}},    // 5:4, scale 2: bars top and bottom
        {300, 1000, {0, 387, 300, 225}},     // the rounded-down height leaves 388 below
    };
    for (const auto& [width, height, expected] : cases) {
        const SDL_Rect fit = platform::win32::FitPicture(640, 480, width, height);
        EXPECT_EQ(std::tuple(fit.x, fit.y, fit.w, fit.h),
                  std::tuple(expected.x, expected.y, expected.w, expected.h))
            << width << "x" << height;
    }
}
