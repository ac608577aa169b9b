// The 7 x 7 board with one piece, a cursor and the frame-rate figure; owns every
// drawable device resource and can release and reload them around a device reset.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "render/sprite.h"
#include "render/sprite_batch.h"
#include "scene/frame_rate_meter.h"

class TextRenderer;

class BoardScene {
public:
    BoardScene();
    ~BoardScene();
    BoardScene(const BoardScene&) = delete;
    BoardScene& operator=(const BoardScene&) = delete;

    void LoadResources(IDirect3DDevice9* device);
    void ReleaseResources();
    void Draw();
    void OnKey(WPARAM virtualKey);

    TextRenderer* textRenderer;
    SpriteBatch* spriteBatch;
    Sprite pieceSprite;
    Sprite cellSprite;
    Sprite cursorSprite;
    FrameRateMeter meter;
    int cursorCol;
    int cursorRow;
    int pieceCol;
    int pieceRow;
    int selected;
};
