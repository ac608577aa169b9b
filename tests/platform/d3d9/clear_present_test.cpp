#include <gtest/gtest.h>
#include <platform_testing.h>
#include <png.h>

#include <SDL.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "read_back_buffer.h"
#include "test_device.h"
#include "win32/window_bridge.h"

namespace {

using platform::testing::Frame;

class ClearAndPresent : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }

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

    // Each {x, y, colour} of the probes, read by `read`.
    template <typename Read>
    static void ExpectPixels(Read read, std::initializer_list<std::tuple<int, int, uint32_t>> probes) {
        for (auto [x, y, colour] : probes) EXPECT_EQ(read(x, y), colour) << "at " << x << ", " << y;
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
};

TEST_F(ClearAndPresent, ClearFillsTheViewportAndTheGivenRectanglesWithinIt) {
    ASSERT_EQ(ClearTo(0xFF8080FF), D3D_OK);
    Frame frame = ReadBackBuffer(device);
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    ExpectPixels([&](int x, int y) { return frame.At(x, y); }, {{0, 0, 0xFF8080FF}, {639, 479, 0xFF8080FF}});

    const D3DVIEWPORT9 viewport{100, 50, 200, 100, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(ClearTo(0xFF00FF00), D3D_OK);
    const D3DRECT rects[] = {{0, 0, 150, 60}, {290, 140, 400, 400}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    frame = ReadBackBuffer(device);
    ExpectPixels([&](int x, int y) { return frame.At(x, y); },
                 {{99, 50, 0xFF8080FF}, {100, 49, 0xFF8080FF}, {300, 149, 0xFF8080FF},  // outside the viewport
                  {100, 50, 0xFF0000FF}, {149, 59, 0xFF0000FF}, {299, 149, 0xFF0000FF},  // the rectangles
                  {150, 59, 0xFF00FF00}, {289, 149, 0xFF00FF00}, {200, 100, 0xFF00FF00}});
}

TEST_F(ClearAndPresent, ClearRefusesWhatTheBuffersCannotTake) {
    EXPECT_EQ(device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS params = test.presentParameters();
    params.EnableAutoDepthStencil = FALSE;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    DWORD zenable = D3DZB_TRUE;
    device->GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(zenable, static_cast<DWORD>(D3DZB_FALSE));
}

TEST_F(ClearAndPresent, PresentShowsTheFrameAndKeepsItForCapture) {
    const int presents = platform::testing::PresentCount();
    ASSERT_EQ(ClearTo(0xFF102030), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(platform::testing::PresentCount(), presents + 1);
    // Drawing the next frame must not change the one already shown.
    ASSERT_EQ(ClearTo(0xFF405060), D3D_OK);
    Frame shown = platform::testing::LastPresentedFrame();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 480);
    EXPECT_EQ(shown.At(320, 240), 0xFF102030u);
    ExpectPixels([&](int x, int y) { return WindowPixel(x, y); }, {{320, 240, 0x102030}, {639, 479, 0x102030}});

    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(platform::testing::LastPresentedFrame().At(0, 0), 0xFF405060u);
}

TEST_F(ClearAndPresent, PresentStretchesASmallerBackBufferOverTheClientArea) {
    D3DPRESENT_PARAMETERS params = test.presentParameters();
    params.BackBufferWidth = 320;
    params.BackBufferHeight = 240;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    ASSERT_EQ(ClearTo(0xFFFF0000), D3D_OK);
    const D3DRECT right{160, 0, 320, 240};
    const D3DRECT bottomPixel{0, 239, 1, 240};
    ASSERT_EQ(device->Clear(1, &right, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(1, &bottomPixel, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Present(), D3D_OK);
    EXPECT_EQ(platform::testing::LastPresentedFrame().width, 320);
    // One back-buffer pixel covers two by two window pixels.
    ExpectPixels([&](int x, int y) { return WindowPixel(x, y); },
                 {{0, 0, 0xFF0000}, {319, 200, 0xFF0000}, {320, 200, 0x0000FF}, {639, 0, 0x0000FF},
                  {0, 477, 0xFF0000}, {0, 478, 0x00FF00}, {1, 479, 0x00FF00}, {2, 479, 0xFF0000}});
}

TEST_F(ClearAndPresent, FramesWriteToPngFilesThatReadBackTheSame) {
    const Frame frame{3, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00102030, 0xFFFFFFFF, 0xFF000000}};
    const std::string path = ::testing::TempDir() + "frame_png_test.png";
    ASSERT_TRUE(platform::testing::WriteFramePng(frame, path));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(6);
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    // Written opaque: a frame's alpha means nothing on screen.
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(pixels[i], frame.pixels[i] | 0xFF000000u) << i;
    std::remove(path.c_str());

    EXPECT_FALSE(platform::testing::WriteFramePng(Frame{}, path));
    EXPECT_FALSE(platform::testing::WriteFramePng(frame, "/nonexistent-dir/x.png"));
}

}  // namespace
