// A window with a windowed 640 x 480 device on it, set up as the program sets up its
// own, for rendering through the real pipeline and reading the presented frame.
// `device` stays null when any step of the set-up fails.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <platform_testing.h>

#include <cstdint>
#include <functional>

#include "render/sprite_batch.h"

class TestDevice {
public:
    static constexpr D3DCOLOR kClearColour = 0xFF8080FF;

    TestDevice();
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    // A default-pool texture filled through a system-memory one, as the loader does;
    // texel(x, y) gives 0xAARRGGBB. The caller owns the one reference; null on failure.
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                   const std::function<uint32_t(int x, int y)>& texel);

    // Clear, BeginScene, a batch pass filled by `addQuads`, EndScene and Present;
    // returns the presented frame.
    platform::testing::Frame RenderPass(const std::function<void(SpriteBatch& batch)>& addQuads);

    HWND window = NULL;
    IDirect3D9* direct3d = NULL;
    IDirect3DDevice9* device = NULL;
    D3DPRESENT_PARAMETERS presentParams = {};
};
