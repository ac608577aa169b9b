// Clear, Present and frame capture through the device.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <SDL.h>

#include <cstring>
#include <tuple>

#include "read_back_buffer.h"
#include "test_device.h"
#include "win32/window_registry.h"

namespace {

using platform::testing::Frame;
using Probes = std::initializer_list<std::tuple<int, int, uint32_t>>;

class ClearAndPresent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(device, nullptr);
        platform::testing::CapturePresentedFrames(true);
    }

    HRESULT ClearTo(D3DCOLOR color) {
        return device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0);
    }
    HRESULT Present() { return device->Present(nullptr, nullptr, nullptr, nullptr); }

    // The window's pixel as 0xRRGGBB, read from SDL's window surface.
    uint32_t WindowPixel(int x, int y) {
        SDL_Surface* surface = SDL_GetWindowSurface(platform::win32::SdlWindowOf(test.window()));
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        uint32_t raw = 0;
        std::memcpy(&raw, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
        uint8_t r = 0, g = 0, b = 0;
        SDL_GetRGB(raw, surface->format, &r, &g, &b);
        return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    }
    void ExpectWindowPixels(Probes probes) {
        for (auto [x, y, color] : probes)
            EXPECT_EQ(WindowPixel(x, y), color) << "at " << x << ", " << y;
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

// Every swap effect shows the frame in the window and the capture; the back buffer
// then keeps it (COPY), holds the frame shown before (FLIP), or, for DISCARD at the
// window's size, is the window's own memory, so the next frame is drawn over the
// shown one, though not over the capture.
class SwapEffects : public ClearAndPresent, public ::testing::WithParamInterface<D3DSWAPEFFECT> {};

TEST_P(SwapEffects, PresentShowsTheFrameAndLeavesTheBackBufferAsTheEffectSays) {
    const D3DSWAPEFFECT effect = GetParam();
    D3DPRESENT_PARAMETERS params = test.presentParameters();
    params.SwapEffect = effect;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    const int presents = platform::testing::PresentCount();
    for (D3DCOLOR color : {0xFF102030u, 0xFF405060u}) {
        ASSERT_EQ(ClearTo(color), D3D_OK);
        ASSERT_EQ(Present(), D3D_OK);
    }
    EXPECT_EQ(platform::testing::PresentCount(), presents + 2);
    const Frame shown = platform::testing::LastPresentedFrame();
    ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(640, 480));
    EXPECT_EQ(shown.At(320, 240), 0xFF405060u);
    ExpectWindowPixels({{0, 0, 0x405060}, {639, 479, 0x405060}});
    if (effect != D3DSWAPEFFECT_DISCARD) {
        EXPECT_EQ(ReadBackBuffer(device).At(320, 240),
                  effect == D3DSWAPEFFECT_COPY ? 0xFF405060u : 0xFF102030u);
    }

    const D3DRECT corner{0, 0, 10, 10};
    ASSERT_EQ(device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF708090, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(5, 5), 0xFF708090u);
    const bool drawnInPlace = effect == D3DSWAPEFFECT_DISCARD;
    EXPECT_EQ(WindowPixel(5, 5), drawnInPlace ? 0x708090u : 0x405060u);
    EXPECT_EQ(platform::testing::LastPresentedFrame().At(5, 5), 0xFF405060u);
    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(platform::testing::LastPresentedFrame().At(5, 5), 0xFF708090u);
}

INSTANTIATE_TEST_SUITE_P(Each, SwapEffects,
                         ::testing::Values(D3DSWAPEFFECT_DISCARD, D3DSWAPEFFECT_FLIP,
                                           D3DSWAPEFFECT_COPY));

// The window makes its surface again at the new size (here when the test reads it):
// the frame begun in the old one is dropped and nothing is drawn there any more.
TEST_F(ClearAndPresent, AFrameWhoseWindowMemoryIsRemadeMidFrameIsDropped) {
    ASSERT_EQ(ClearTo(0xFF102030u), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    ASSERT_EQ(ClearTo(0xFF405060u), D3D_OK);
    SetWindowPos(test.window(), nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
    const uint32_t remade = WindowPixel(5, 5);
    ASSERT_EQ(ClearTo(0xFF708090u), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(WindowPixel(5, 5), remade);
    EXPECT_EQ(platform::testing::LastPresentedFrame().At(5, 5), 0xFF102030u);
}

TEST_F(ClearAndPresent, PresentStretchesASmallerBackBufferOverTheClientArea) {
    D3DPRESENT_PARAMETERS params = test.presentParameters();
    params.BackBufferWidth = 320;
    params.BackBufferHeight = 240;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    ASSERT_EQ(ClearTo(0xFFFF0000), D3D_OK);
    const D3DRECT right{160, 0, 320, 240}, bottomPixel{0, 239, 1, 240};
    ASSERT_EQ(device->Clear(1, &right, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(1, &bottomPixel, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(platform::testing::LastPresentedFrame().width, 320);
    // One back-buffer pixel covers two by two window pixels.
    // clang-format off
    ExpectWindowPixels({{0, 0, 0xFF0000}, {319, 200, 0xFF0000}, {320, 200, 0x0000FF},
                        {639, 0, 0x0000FF}, {0, 477, 0xFF0000}, {0, 478, 0x00FF00},
                        {1, 479, 0x00FF00}, {2, 479, 0xFF0000}});
    // clang-format on
    // As tall as the client area and half as wide: stretched across only.
    params.BackBufferHeight = 480;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    ASSERT_EQ(ClearTo(0xFF00FF00), D3D_OK);
    ASSERT_EQ(device->Clear(1, &right, D3DCLEAR_TARGET, 0xFFFFFF00, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    ExpectWindowPixels({{319, 479, 0x00FF00}, {320, 0, 0xFFFF00}, {639, 0, 0xFFFF00}});
}

}  // namespace
