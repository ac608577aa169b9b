// The scene on the real device, in a scratch directory holding the program's three
// images: what it draws, what it loads and gives back across resets; and its key rules.
#include "scene/board_scene.h"

#include <gtest/gtest.h>
#include <platform_testing.h>
#include <png.h>
#include <scratch_working_directory.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "live_objects.h"
#include "render_harness.h"
#include "scene/frame_rate_text.h"
#include "text/text_renderer.h"

namespace {

using platform::testing::Frame;

const std::filesystem::path kAssets = CORVANE_ASSETS_DIR;

// A 64 x 64 image file as 0xAARRGGBB values, rows from the top.
std::vector<uint32_t> ReadAsset(const char* name) {
    std::vector<uint32_t> pixels(64 * 64);
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    const bool read = png_image_begin_read_from_file(&png, (kAssets / name).c_str()) &&
                      png.width == 64 && png.height == 64;
    png.format = PNG_FORMAT_BGRA;  // little-endian BGRA bytes are 0xAARRGGBB words
    EXPECT_TRUE(read && png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) << name;
    png_image_free(&png);
    return pixels;
}

int CountWhite(const Frame& frame, int left, int top, int right, int bottom) {
    int white = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) white += frame.At(x, y) == 0xFFFFFFFFu;
    return white;
}

class BoardSceneTest : public testing::Test {
protected:
    // Full screen needs the focus.
    BoardSceneTest() { platform::testing::SetWindowFocus(gpu.testDevice.window(), true); }
    ~BoardSceneTest() override {
        scene.ReleaseResources();
        platform::testing::ResetAllHooks();
    }
    void SetUp() override { ASSERT_NE(gpu.device(), nullptr) << "no device"; }

    Frame RenderFrame() {
        return gpu.RenderFrame([&] { scene.Draw(); });
    }
    void ResetRound() {
        scene.ReleaseResources();
        ASSERT_EQ(gpu.device()->Reset(&gpu.testDevice.presentParameters()), D3D_OK);
        scene.LoadResources(gpu.device());
    }
    // Whole debug lines equal to `line` (ending in "\n"), however the writer split them.
    int CountDebugLines(const std::wstring& line) const {
        int count = 0;
        for (size_t at = debugText.find(L"\n" + line); at != std::wstring::npos;
             at = debugText.find(L"\n" + line, at + 1))
            ++count;
        return count;
    }

    // Every pixel against the images stacked on its cell: the cell, the piece at its
    // cell and the cursor over it (absent ones not drawn), the clear colour off the
    // board. Blended pixels and the frame-rate figure's corner are left out.
    void ExpectFrame(const Frame& frame, bool cell = true, bool piece = true, bool cursor = true) {
        ASSERT_EQ(frame.width, 640);
        int wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = y < 40 ? 240 : 0; x < 640; ++x) {
                const int col = (x - 16) / 64, row = (y - 16) / 64,
                          texel = (y - 16) % 64 * 64 + (x - 16) % 64;
                uint32_t expected = RenderHarness::kClearColor;
                bool blended = false;
                if (x >= 16 && y >= 16 && col < 7 && row < 7) {
                    const bool drawn[3] = {
                        cell, piece && col == scene.pieceCol && row == scene.pieceRow,
                        cursor && col == scene.cursorCol && row == scene.cursorRow};
                    for (int layer = 0; layer < 3; ++layer) {
                        const uint32_t alpha = drawn[layer] ? images[layer][texel] >> 24 : 0;
                        if (alpha == 255) expected = images[layer][texel];
                        blended |= alpha != 0 && alpha != 255;
                    }
                }
                if (!blended && frame.At(x, y) != expected && ++wrong <= 3)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                                  << frame.At(x, y);
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    // Made before the device and the scene, so that the meter starts on clockMs.
    ScratchWorkingDirectory scratch{kAssets / "Kai_Orisa05.png", kAssets / "Velmo_Grid.png",
                                    kAssets / "TBX_Cursor.png"};
    std::wstring debugText = L"\n";
    DWORD clockMs = 1000;  // the millisecond clock the meter reads
    bool hooked = [this] {
        platform::testing::SetClock([this] { return clockMs; });
        platform::testing::SetDebugSink([this](const std::wstring& text) { debugText += text; });
        return true;
    }();
    RenderHarness gpu;
    BoardScene scene;
    const std::vector<uint32_t> images[3] = {
        ReadAsset("Velmo_Grid.png"), ReadAsset("Kai_Orisa05.png"), ReadAsset("TBX_Cursor.png")};
};

// The figure's corner too: no sample yet shows "0", then one frame per millisecond
// shows five digits reaching over the board.
TEST_F(BoardSceneTest, ShowsTheBoardThePieceTheCursorOverItAndTheFigureOnTop) {
    scene.LoadResources(gpu.device());
    Frame frame = RenderFrame();
    ExpectFrame(frame);
    EXPECT_EQ(CountDebugLines(L"0\n"), 1);
    EXPECT_GT(CountWhite(frame, 0, 0, 20, 40), 0);
    EXPECT_EQ(CountWhite(frame, 40, 0, 640, 480), 0);

    for (WPARAM key : {VK_SPACE, VK_RIGHT, VK_RIGHT, VK_SPACE, VK_DOWN}) scene.OnKey(key);
    ASSERT_EQ(scene.pieceCol, 2);
    clockMs += 1;
    frame = RenderFrame();
    ExpectFrame(frame);
    const std::wstring figure = FrameRateText(scene.meter.average);
    ASSERT_EQ(figure.size(), 5u);
    for (wchar_t digit : figure)
        EXPECT_EQ(CountDebugLines(std::wstring(1, digit) + L"\n"), 1) << char(digit);
    EXPECT_GT(CountWhite(frame, 24, 16, 100, 40), 20);  // over cells (0, 0) and (1, 0)
    EXPECT_EQ(CountWhite(frame, 0, 40, 640, 480), 0);   // one line, nothing below it
}

TEST_F(BoardSceneTest, AMissingImageLeavesItsPlaceEmptyAndTheRestDrawn) {
    std::remove("Kai_Orisa05.png");
    scene.LoadResources(gpu.device());
    ExpectFrame(RenderFrame(), true, false, true);  // the probe's fresh texture shows nothing
}

// A full-screen switch and a lost-device recovery both bracket a Reset with a release
// and a reload; fifty of each must leave the live counts where one left them, keep
// the game's state and read the images again (bench/app's soak runs thousands).
// After the last release nothing the scene made is left.
TEST_F(BoardSceneTest, RepeatedResetsLeakNothingAndKeepTheGame) {
    const auto before = LiveObjects();
    scene.LoadResources(gpu.device());
    for (WPARAM key : {VK_SPACE, VK_RIGHT, VK_DOWN}) scene.OnKey(key);
    const int readsBefore = CountDebugLines(L"OK\n");
    ResetRound();
    EXPECT_EQ(CountDebugLines(L"OK\n"), readsBefore + 3);  // one per image
    // Each release writes its 4 MiB dump; sent to nowhere, as storing them took most
    // of the loop's time.
    std::filesystem::remove("text.bmp");
    std::filesystem::create_symlink("/dev/null", "text.bmp");
    const auto steady = LiveObjects();
    D3DPRESENT_PARAMETERS& params = gpu.testDevice.presentParameters();
    for (int toggle = 0; toggle < 50; ++toggle) {
        params.Windowed = !params.Windowed;
        ResetRound();
        ASSERT_NE(scene.spriteBatch, nullptr) << "toggle " << toggle;
        ASSERT_EQ(platform::testing::IsWindowFullScreen(gpu.testDevice.window()), !params.Windowed);
    }
    for (int recovery = 0; recovery < 50; ++recovery) {
        platform::testing::LoseDevice(gpu.device());
        platform::testing::RestoreLostDevice(gpu.device());
        ResetRound();
    }
    EXPECT_EQ(LiveObjects(), steady);
    EXPECT_EQ(std::tuple(scene.cursorCol, scene.cursorRow, scene.selected), std::tuple(1, 1, 1));
    ExpectFrame(RenderFrame());

    scene.ReleaseResources();
    scene.ReleaseResources();  // nothing loaded: nothing to do
    EXPECT_TRUE(scene.spriteBatch == nullptr && scene.textRenderer == nullptr);
    for (const Sprite* sprite : {&scene.pieceSprite, &scene.cellSprite, &scene.cursorSprite})
        EXPECT_EQ(sprite->texture, nullptr);
    // The last frame's texture and stream stay bound to the device until its reset.
    ASSERT_EQ(gpu.device()->Reset(&params), D3D_OK);
    EXPECT_EQ(LiveObjects(), before);
}

const WPARAM L = VK_LEFT, R = VK_RIGHT, U = VK_UP, D = VK_DOWN, S = VK_SPACE;

// The key rules on a scene that never touches a device.
TEST(BoardRules, KeySequencesLeaveTheExpectedState) {
    // Keys from the start, then cursor column and row, piece column and row, held.
    // clang-format off
    const struct {
        const char* name;
        std::vector<WPARAM> keys;
        std::tuple<int, int, int, int, int> after;
    } cases[] = {
        {"start on the first cell, nothing held", {}, {0, 0, 0, 0, 0}},
        {"left and up stop at the first cell", {L, U}, {0, 0, 0, 0, 0}},
        {"right and down stop at the last cell",
         {R, R, R, R, R, R, R, D, D, D, D, D, D, D}, {6, 6, 0, 0, 0}},
        {"left and up step back", {R, R, D, D, L, U}, {1, 1, 0, 0, 0}},
        {"space on the piece picks it up", {S}, {0, 0, 0, 0, 1}},
        {"space on the piece again keeps it held", {S, S}, {0, 0, 0, 0, 1}},
        {"space on another cell sets it down there", {S, R, R, S}, {2, 0, 2, 0, 0}},
        {"a piece set down can be picked up again", {S, R, S, S}, {1, 0, 1, 0, 1}},
        {"space off the piece with nothing held does nothing", {D, S}, {0, 1, 0, 0, 0}},
        {"moving keeps the piece held", {S, D}, {0, 1, 0, 0, 1}},
        {"a held piece may go anywhere",
         {S, R, R, R, R, R, R, D, D, D, D, D, D, S}, {6, 6, 6, 6, 0}},
        {"other keys change nothing",
         {R, D, VK_RETURN, VK_ESCAPE, VK_F1, 'A', 0, VK_HOME, R + 0x100}, {1, 1, 0, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        BoardScene scene;
        for (WPARAM key : c.keys) scene.OnKey(key);
        EXPECT_EQ(std::tuple(scene.cursorCol, scene.cursorRow, scene.pieceCol, scene.pieceRow,
                             scene.selected),
                  c.after)
            << c.name;
    }
}

}  // namespace
