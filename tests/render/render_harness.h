// The shared test device plus what sprite and scene tests need on top of it: a
// texture filled texel by texel and a whole frame read back after Present.
#pragma once

#include <d3d9.h>
#include <platform_testing.h>
#include <test_device.h>

#include <cstdint>
#include <functional>

class RenderHarness {
public:
    static constexpr D3DCOLOR kClearColor = 0xFF8080FF;

    IDirect3DDevice9* device() const { return testDevice.device(); }

    // A default-pool texture filled through a system-memory one, as the loader does;
    // texel(x, y) gives 0xAARRGGBB. The caller owns the one reference; null on failure.
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                   const std::function<uint32_t(int x, int y)>& texel);

    // Clear, BeginScene, `draw`, EndScene and, if asked, Present.
    void DrawFrame(const std::function<void()>& draw, bool present = true);
    // DrawFrame with Present; the presented frame.
    platform::testing::Frame RenderFrame(const std::function<void()>& draw);

    TestDevice testDevice;
};
