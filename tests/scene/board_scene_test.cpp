// The scene on a real device: what it draws, what it loads and gives back.
#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/frame_rate_text.h"
#include "text/text_renderer.h"
#include "scene_fixture.h"

namespace {

using platform::testing::Frame;

constexpr int kCellPixels = 64;

int CellLeft(int cell) {
    return 16 + kCellPixels * cell;
}

uint8_t AlphaOf(uint32_t pixel) {
    return static_cast<uint8_t>(pixel >> 24);
}

class BoardSceneFrame : public SceneFixture {
protected:
    BoardSceneFrame() : cell(ReadAsset("Velmo_Grid.png")), piece(ReadAsset("Kai_Orisa05.png")),
                        cursor(ReadAsset("TBX_Cursor.png")) {}

    // Checks the 64 x 64 pixels of one board cell against the images stacked on it:
    // the cell, then the piece if present, then the cursor if present. Pixels where
    // an upper image is partly transparent blend, and are left out.
    void ExpectCell(const Frame& frame, int col, int row, bool withPiece, bool withCursor) {
        SCOPED_TRACE("cell (" + std::to_string(col) + ", " + std::to_string(row) + ")");
        int wrong = 0;
        for (int j = 0; j < kCellPixels; ++j) {
            for (int k = 0; k < kCellPixels; ++k) {
                uint32_t expected = cell.At(k, j);
                const uint32_t pieceTexel = piece.At(k, j);
                const uint32_t cursorTexel = cursor.At(k, j);
                if (withPiece && AlphaOf(pieceTexel) == 255) {
                    expected = pieceTexel;
                } else if (withPiece && AlphaOf(pieceTexel) != 0) {
                    continue;
                }
                if (withCursor && AlphaOf(cursorTexel) == 255) {
                    expected = cursorTexel;
                } else if (withCursor && AlphaOf(cursorTexel) != 0) {
                    continue;
                }
                const int x = CellLeft(col) + k;
                const int y = CellLeft(row) + j;
                if (InTextArea(x, y)) {
                    continue;
                }
                if (frame.At(x, y) != expected && ++wrong <= 3) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                                  << frame.At(x, y) << ", expected " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    // The frame-rate digits cover the top-left corner.
    static bool InTextArea(int x, int y) { return x < 240 && y < 40; }

    void ExpectBoard(const Frame& frame) {
        ASSERT_EQ(frame.width, 640);
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 7; ++col) {
                ExpectCell(frame, col, row, col == scene.pieceCol && row == scene.pieceRow,
                           col == scene.cursorCol && row == scene.cursorRow);
            }
        }
        // Off the board the clear colour stays.
        EXPECT_EQ(frame.At(500, 300), TestDevice::kClearColour);
        EXPECT_EQ(frame.At(CellLeft(7), CellLeft(6)), TestDevice::kClearColour);
        EXPECT_EQ(frame.At(CellLeft(3), CellLeft(7)), TestDevice::kClearColour);
    }

    AssetImage cell;
    AssetImage piece;
    AssetImage cursor;
};

TEST_F(BoardSceneFrame, ShowsTheBoardWithTheCursorOverThePiece) {
    scene.LoadResources(gpu.device);
    ExpectBoard(RenderFrame());
}

TEST_F(BoardSceneFrame, ShowsAMovedPieceUnderTheCursor) {
    scene.LoadResources(gpu.device);
    for (WPARAM key : {VK_SPACE, VK_RIGHT, VK_RIGHT, VK_SPACE, VK_DOWN}) {
        scene.OnKey(key);
    }
    const Frame frame = RenderFrame();
    ExpectCell(frame, 0, 0, false, false);
    ExpectCell(frame, 2, 0, true, false);
    ExpectCell(frame, 2, 1, false, true);
}

TEST_F(BoardSceneFrame, AMissingImageShowsNothingInItsPlace) {
    std::remove("Kai_Orisa05.png");
    scene.LoadResources(gpu.device);
    const Frame frame = RenderFrame();
    ExpectCell(frame, 0, 0, false, true);
    ExpectCell(frame, 4, 4, false, false);
}

TEST_F(BoardSceneFrame, TexturesTheDeviceRefusesLeaveTheirSpritesEmpty) {
    int boxes = 0;
    platform::testing::SetMessageBoxHandler([&](const platform::testing::MessageBoxCall&) {
        ++boxes;
        return IDOK;
    });
    const int texturesBefore = platform::testing::CountD3DLiveObjects().textures;
    platform::testing::FailD3DCall(platform::testing::D3DCall::CreateTexture,
                                   D3DERR_OUTOFVIDEOMEMORY, -1);
    scene.LoadResources(gpu.device);
    platform::testing::ClearD3DFailures();
    EXPECT_GE(boxes, 3);
    EXPECT_EQ(scene.pieceSprite.texture, nullptr);
    EXPECT_EQ(scene.cellSprite.texture, nullptr);
    EXPECT_EQ(scene.cursorSprite.texture, nullptr);
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().textures, texturesBefore);

    const Frame frame = RenderFrame();  // draws what there is: nothing, and no crash
    EXPECT_EQ(frame.At(CellLeft(3) + 32, CellLeft(3) + 32), TestDevice::kClearColour);
    scene.ReleaseResources();
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().textures, texturesBefore);
}

int CountWhite(const Frame& frame, int left, int top, int right, int bottom) {
    int white = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            white += frame.At(x, y) == 0xFFFFFFFFu ? 1 : 0;
        }
    }
    return white;
}

TEST_F(BoardSceneFrame, DrawsTheFrameRateInWhiteOverTheBoard) {
    scene.LoadResources(gpu.device);
    // The clock has not moved: no sample yet, and the figure is 0.
    Frame frame = RenderFrame();
    EXPECT_EQ(CountDebugLines(L"0\n"), 1);
    EXPECT_GT(CountWhite(frame, 0, 0, 20, 40), 0);
    EXPECT_EQ(CountWhite(frame, 40, 0, 640, 480), 0);

    // One frame per millisecond: a five-digit figure reaching well into the board.
    clockMs += 1;
    frame = RenderFrame();
    const std::wstring figure = FrameRateText(scene.meter.average);
    ASSERT_EQ(figure.size(), 5u) << figure;
    for (wchar_t digit : figure) {
        EXPECT_EQ(CountDebugLines(std::wstring(1, digit) + L"\n"), 1) << static_cast<char>(digit);
    }
    EXPECT_GT(CountWhite(frame, 24, 16, 100, 40), 20);  // over cells (0, 0) and (1, 0)
    EXPECT_EQ(CountWhite(frame, 0, 40, 640, 480), 0);   // one line, nothing below it
    ExpectCell(frame, 1, 1, false, false);
}

class BoardSceneResources : public SceneFixture {};

TEST_F(BoardSceneResources, LoadMakesEverythingAndReleaseGivesItAllBack) {
    const auto d3dBefore = platform::testing::CountD3DLiveObjects();
    const auto gdiBefore = platform::testing::CountGdiLiveObjects();
    scene.LoadResources(gpu.device);
    ASSERT_NE(scene.spriteBatch, nullptr);
    EXPECT_NE(scene.spriteBatch->vertexBuffer, nullptr);
    ASSERT_NE(scene.textRenderer, nullptr);
    EXPECT_NE(scene.textRenderer->atlasTexture, nullptr);
    for (const Sprite* sprite : {&scene.pieceSprite, &scene.cellSprite, &scene.cursorSprite}) {
        EXPECT_NE(sprite->texture, nullptr);
        EXPECT_EQ(sprite->frameWidth, 64.0f);
        EXPECT_EQ(sprite->frameHeight, 64.0f);
        EXPECT_EQ(sprite->columns, 1u);
    }
    const auto d3dLoaded = platform::testing::CountD3DLiveObjects();
    EXPECT_GE(d3dLoaded.textures, d3dBefore.textures + 3);
    EXPECT_EQ(d3dLoaded.vertexBuffers, d3dBefore.vertexBuffers + 1);

    scene.ReleaseResources();
    EXPECT_EQ(scene.spriteBatch, nullptr);
    EXPECT_EQ(scene.textRenderer, nullptr);
    for (const Sprite* sprite : {&scene.pieceSprite, &scene.cellSprite, &scene.cursorSprite}) {
        EXPECT_EQ(sprite->texture, nullptr);
        EXPECT_EQ(sprite->frameWidth, 0.0f);
        EXPECT_EQ(sprite->columns, 0u);
    }
    EXPECT_EQ(std::filesystem::file_size("text.bmp"), 4194358u);  // the renderer's dump
    const auto d3dAfter = platform::testing::CountD3DLiveObjects();
    const auto gdiAfter = platform::testing::CountGdiLiveObjects();
    EXPECT_EQ(d3dAfter.textures, d3dBefore.textures);
    EXPECT_EQ(d3dAfter.surfaces, d3dBefore.surfaces);
    EXPECT_EQ(d3dAfter.vertexBuffers, d3dBefore.vertexBuffers);
    EXPECT_EQ(gdiAfter.deviceContexts, gdiBefore.deviceContexts);
    EXPECT_EQ(gdiAfter.fonts, gdiBefore.fonts);
    EXPECT_EQ(gdiAfter.bitmaps, gdiBefore.bitmaps);
    EXPECT_EQ(gdiAfter.brushes, gdiBefore.brushes);

    scene.ReleaseResources();  // nothing loaded: nothing to do
    EXPECT_EQ(platform::testing::CountD3DLiveObjects().textures, d3dBefore.textures);
}

TEST_F(BoardSceneResources, GameStateSurvivesAResetAndTheImagesAreReadAgain) {
    scene.LoadResources(gpu.device);
    for (WPARAM key : {VK_SPACE, VK_RIGHT, VK_DOWN}) {
        scene.OnKey(key);
    }
    const int readsBefore = CountDebugLines(L"OK\n");
    ResetRound();
    EXPECT_EQ(CountDebugLines(L"OK\n"), readsBefore + 3);  // one per image
    EXPECT_EQ(scene.cursorCol, 1);
    EXPECT_EQ(scene.cursorRow, 1);
    EXPECT_EQ(scene.pieceCol, 0);
    EXPECT_EQ(scene.pieceRow, 0);
    EXPECT_EQ(scene.selected, 1);
    EXPECT_NE(scene.pieceSprite.texture, nullptr);
}

// A full-screen switch and a lost-device recovery both bracket a Reset with a release
// and a reload; a thousand of each must leave the live counts where one left them.
TEST_F(BoardSceneResources, ThousandsOfResetsLeakNothing) {
    scene.LoadResources(gpu.device);
    ResetRound();
    const auto d3dSteady = platform::testing::CountD3DLiveObjects();
    const auto gdiSteady = platform::testing::CountGdiLiveObjects();
    for (int toggle = 0; toggle < 1000; ++toggle) {
        gpu.presentParams.Windowed = !gpu.presentParams.Windowed;
        ResetRound();
        ASSERT_NE(scene.spriteBatch, nullptr) << "toggle " << toggle;
    }
    gpu.presentParams.Windowed = TRUE;
    ResetRound();
    for (int recovery = 0; recovery < 1000; ++recovery) {
        platform::testing::LoseDevice(gpu.device);
        ASSERT_EQ(gpu.device->TestCooperativeLevel(), D3DERR_DEVICELOST);
        platform::testing::RestoreLostDevice(gpu.device);
        ASSERT_EQ(gpu.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        ResetRound();
    }
    const auto d3dAfter = platform::testing::CountD3DLiveObjects();
    const auto gdiAfter = platform::testing::CountGdiLiveObjects();
    EXPECT_EQ(d3dAfter.textures, d3dSteady.textures);
    EXPECT_EQ(d3dAfter.surfaces, d3dSteady.surfaces);
    EXPECT_EQ(d3dAfter.vertexBuffers, d3dSteady.vertexBuffers);
    EXPECT_EQ(gdiAfter.deviceContexts, gdiSteady.deviceContexts);
    EXPECT_EQ(gdiAfter.fonts, gdiSteady.fonts);
    EXPECT_EQ(gdiAfter.bitmaps, gdiSteady.bitmaps);
    EXPECT_EQ(gdiAfter.brushes, gdiSteady.brushes);
    const int drawsBefore = platform::testing::DrawPrimitiveCount();
    RenderFrame();
    EXPECT_GE(platform::testing::DrawPrimitiveCount() - drawsBefore, 49 + 2);
}

}  // namespace
