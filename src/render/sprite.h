// A texture seen as a grid of equal frames from its top-left corner; draws frame 0.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "render/sprite_batch.h"

class Sprite {
public:
    Sprite();
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // Takes its own reference to the texture; a null texture leaves the sprite empty.
    void Create(IDirect3DTexture9* texture, float frameWidth, float frameHeight);
    // Queues frame 0 with its top-left corner at (x, y).
    void Draw(SpriteBatch* batch, float x, float y);
    // Releases the texture reference if one is held and zeroes every field.
    void Empty();

    IDirect3DTexture9* texture;
    float frameWidth;
    float frameHeight;
    UINT columns;
};
