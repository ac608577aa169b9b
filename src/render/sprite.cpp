#include "render/sprite.h"

#include "render/release_interface.h"

namespace {

// A frame width of zero, a negative one or a tiny one would give a quotient that no
// 32-bit count holds; such a sprite has no whole frame across.
UINT WholeFramesAcross(UINT textureWidth, float frameWidth) {
    const double frames = static_cast<double>(textureWidth) / static_cast<double>(frameWidth);
    if (!(frameWidth > 0.0f) || !(frames < 4294967296.0)) {
        return 0;
    }
    return static_cast<UINT>(frames);
}

}  // namespace

Sprite::Sprite() : texture(NULL), frameWidth(0.0f), frameHeight(0.0f), columns(0) {}

Sprite::~Sprite() { ReleaseInterface(texture); }

void Sprite::Empty() {
    ReleaseInterface(texture);
    frameWidth = 0.0f;
    frameHeight = 0.0f;
    columns = 0;
}

void Sprite::Create(IDirect3DTexture9* newTexture, float newFrameWidth, float newFrameHeight) {
    // The new reference is taken first: re-creating from the texture the sprite
    // already holds must not let its last reference go in between.
    if (newTexture) {
        newTexture->AddRef();
    }
    Empty();
    if (!newTexture) {
        return;
    }
    D3DSURFACE_DESC description = {};
    if (SUCCEEDED(newTexture->GetLevelDesc(0, &description))) {
        frameWidth = newFrameWidth;
        frameHeight = newFrameHeight;
        columns = WholeFramesAcross(description.Width, newFrameWidth);
    }
    texture = newTexture;
}

void Sprite::Draw(SpriteBatch* batch, float x, float y) {
    if (!texture) {
        return;
    }
    // Frame 0 is the grid's top-left cell; with no whole frame across the texture
    // (columns 0) the same cell is used rather than dividing by zero.
    const UINT frame = 0;
    const UINT column = columns ? frame % columns : 0;
    const UINT row = columns ? frame / columns : 0;

    SourceRect source;
    source.left = static_cast<LONG>(static_cast<float>(column) * frameWidth);
    source.top = static_cast<LONG>(static_cast<float>(row) * frameHeight);
    source.right = static_cast<LONG>(static_cast<float>(source.left) + frameWidth);
    source.bottom = static_cast<LONG>(static_cast<float>(source.top) + frameHeight);

    if (batch->device) {
        batch->AddQuad(texture, source, x, y);
    }
}
