// Draws textured rectangles at pixel positions of a fixed 640 x 480 screen: one
// shared unit square in a vertex buffer, and per queued quad a world matrix that
// places it and a texture matrix that picks its source rectangle.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <vector>

// The unit square's vertex format: D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct SpriteVertex {
    float x;
    float y;
    float z;
    D3DCOLOR diffuse;
    float u;
    float v;
};

constexpr DWORD kSpriteVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Texels of the texture's top level; the layout of RECT.
struct SourceRect {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct QuadEntry {
    IDirect3DTexture9* texture;  // borrowed: the batch never adds or releases a reference
    D3DMATRIX world;
    D3DMATRIX texTransform;
};

class SpriteBatch {
public:
    SpriteBatch();
    ~SpriteBatch();
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    int Init(IDirect3DDevice9* device);
    int Begin();
    int AddQuad(IDirect3DTexture9* texture, const SourceRect& source, float x, float y);
    int End();
    void ReleaseDeviceObjects();

    IDirect3DVertexBuffer9* vertexBuffer;
    D3DMATRIX savedProjection;
    D3DMATRIX savedWorld;
    D3DMATRIX savedView;
    std::vector<QuadEntry> entries;
    IDirect3DDevice9* device;  // not owned; null for a batch made without a device
};

// Destroys the batch the slot holds, then puts a new one there, initialised on the device.
int CreateSpriteBatch(SpriteBatch*& slot, IDirect3DDevice9* device);
