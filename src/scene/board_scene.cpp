#include "scene/board_scene.h"

#include "image/texture_loader.h"
#include "render/release_interface.h"
#include "scene/frame_rate_text.h"
#include "text/text_renderer.h"

namespace {

constexpr int kBoardCells = 7;
constexpr int kLastCell = kBoardCells - 1;
constexpr float kBoardOrigin = 16.0f;
constexpr float kCellSize = 64.0f;

float CellCorner(int cell) { return kBoardOrigin + kCellSize * static_cast<float>(cell); }

}  // namespace

BoardScene::BoardScene()
    : textRenderer(NULL),
      spriteBatch(NULL),
      cursorCol(0),
      cursorRow(0),
      pieceCol(0),
      pieceRow(0),
      selected(0) {}

// The sprites release what they still hold; the renderer and the batch were freed
// by ReleaseResources before.
BoardScene::~BoardScene() {}

void BoardScene::LoadResources(IDirect3DDevice9* device) {
    CreateSpriteBatch(spriteBatch, device);
    CreateTextRenderer(device, &textRenderer);

    IDirect3DTexture9* pieceTexture = NULL;
    IDirect3DTexture9* cellTexture = NULL;
    IDirect3DTexture9* cursorTexture = NULL;
    LoadTexture(device, L"Kai_Orisa05.png", &pieceTexture);
    LoadTexture(device, L"Velmo_Grid.png", &cellTexture);
    pieceSprite.Create(pieceTexture, kCellSize, kCellSize);
    cellSprite.Create(cellTexture, kCellSize, kCellSize);
    LoadTexture(device, L"TBX_Cursor.png", &cursorTexture);
    cursorSprite.Create(cursorTexture, kCellSize, kCellSize);

    // The sprites hold their own references now.
    ReleaseInterface(pieceTexture);
    ReleaseInterface(cellTexture);
    ReleaseInterface(cursorTexture);
}

void BoardScene::ReleaseResources() {
    if (textRenderer) {
        ReleaseInterface(textRenderer->atlasTexture);
    }
    if (spriteBatch) {
        spriteBatch->ReleaseDeviceObjects();
    }
    // The renderer's destruction writes the glyph bitmap dump.
    if (textRenderer) {
        delete textRenderer;
        textRenderer = NULL;
    }
    if (spriteBatch) {
        delete spriteBatch;
        spriteBatch = NULL;
    }
    pieceSprite.Empty();
    cellSprite.Empty();
    cursorSprite.Empty();
}

void BoardScene::Draw() {
    meter.Update();
    spriteBatch->Begin();
    for (int row = 0; row < kBoardCells; ++row) {
        for (int col = 0; col < kBoardCells; ++col) {
            cellSprite.Draw(spriteBatch, CellCorner(col), CellCorner(row));
        }
    }
    pieceSprite.Draw(spriteBatch, CellCorner(pieceCol), CellCorner(pieceRow));
    cursorSprite.Draw(spriteBatch, CellCorner(cursorCol), CellCorner(cursorRow));
    const std::wstring frameRate = FrameRateText(meter.average);
    textRenderer->DrawString(frameRate.c_str(), spriteBatch);
    spriteBatch->End();
}

void BoardScene::OnKey(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_LEFT:
            if (cursorCol > 0) {
                --cursorCol;
            }
            break;
        case VK_RIGHT:
            if (cursorCol < kLastCell) {
                ++cursorCol;
            }
            break;
        case VK_UP:
            if (cursorRow > 0) {
                --cursorRow;
            }
            break;
        case VK_DOWN:
            if (cursorRow < kLastCell) {
                ++cursorRow;
            }
            break;
        case VK_SPACE: {
            const bool onPiece = cursorCol == pieceCol && cursorRow == pieceRow;
            if (!selected) {
                if (onPiece) {
                    selected = 1;
                }
            } else if (!onPiece) {
                pieceCol = cursorCol;
                pieceRow = cursorRow;
                selected = 0;
            }
            break;
        }
        default:
            break;
    }
}
