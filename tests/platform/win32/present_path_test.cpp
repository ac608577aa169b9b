#include "win32/present_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::win32::ChoosePresentPath;
using platform::win32::IsSoftwareGlRenderer;
using platform::win32::PresentPath;
using platform::win32::PresentPathInputs;

// Inputs on a machine with a GPU node whose probe answers `renderer`; counts probes.
PresentPathInputs MachineWith(const std::string& renderer, int* probes) {
    PresentPathInputs inputs;
    inputs.gpuDeviceNodes = true;
    inputs.probeGlRenderer = [renderer, probes] {
        ++*probes;
        return renderer;
    };
    return inputs;
}

TEST(PresentPath, OnlyAHardwareRendererFoundByTheProbeChoosesTheGpu) {
    struct Case {
        const char* renderer;
        PresentPath expected;
    };
    const Case cases[] = {
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", PresentPath::GpuRenderer},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", PresentPath::GpuRenderer},
        {"virgl (Mesa Intel(R) Xe Graphics)", PresentPath::GpuRenderer},
        {"llvmpipe (LLVM 15.0.6, 256 bits)", PresentPath::WindowSurface},
        {"zink (llvmpipe (LLVM 15.0.6, 256 bits))", PresentPath::WindowSurface},
        {"Gallium 0.4 on softpipe", PresentPath::WindowSurface},
        {"Software Rasterizer", PresentPath::WindowSurface},
        {"D3D12 (Microsoft Basic Render Driver)", PresentPath::WindowSurface},
        {"", PresentPath::WindowSurface},  // no GL context could be made
    };
    for (const Case& c : cases) {
        int probes = 0;
        EXPECT_EQ(ChoosePresentPath(MachineWith(c.renderer, &probes)), c.expected) << c.renderer;
        EXPECT_EQ(probes, 1);
    }
    EXPECT_TRUE(IsSoftwareGlRenderer("LLVMPIPE"));
}

TEST(PresentPath, TheEnvironmentAndAMachineWithoutAGpuDecideWithoutAProbe) {
    int probes = 0;
    PresentPathInputs forcedGpu = MachineWith("llvmpipe (LLVM 15.0.6, 256 bits)", &probes);
    forcedGpu.forced = "gpu";
    EXPECT_EQ(ChoosePresentPath(forcedGpu), PresentPath::GpuRenderer);

    PresentPathInputs forcedSurface = MachineWith("AMD Radeon RX 6600", &probes);
    forcedSurface.forced = "surface";
    EXPECT_EQ(ChoosePresentPath(forcedSurface), PresentPath::WindowSurface);

    PresentPathInputs sdlHint = MachineWith("AMD Radeon RX 6600", &probes);
    sdlHint.framebufferHintSet = true;
    EXPECT_EQ(ChoosePresentPath(sdlHint), PresentPath::WindowSurface)
        << "SDL_FRAMEBUFFER_ACCELERATION asks for SDL's window surface";

    PresentPathInputs noNodes = MachineWith("AMD Radeon RX 6600", &probes);
    noNodes.gpuDeviceNodes = false;
    EXPECT_EQ(ChoosePresentPath(noNodes), PresentPath::WindowSurface);
    EXPECT_EQ(probes, 0);

    PresentPathInputs unknownForce = MachineWith("AMD Radeon RX 6600", &probes);
    unknownForce.forced = "fast";
    EXPECT_EQ(ChoosePresentPath(unknownForce), PresentPath::GpuRenderer) << "an unknown value is ignored";
    EXPECT_EQ(probes, 1);
}

}  // namespace
