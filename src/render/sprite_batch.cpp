#include "render/sprite_batch.h"

#include "render/matrix_constants.h"
#include "render/release_interface.h"

namespace {

constexpr float kScreenWidth = 640.0f;
constexpr float kScreenHeight = 480.0f;
constexpr LONG kScreenWidthPixels = 640;
constexpr LONG kScreenHeightPixels = 480;
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 10.0f;
constexpr UINT kVertexStride = sizeof(SpriteVertex);

// Clockwise as seen on the screen, so the default cull mode keeps both triangles.
const SpriteVertex kUnitSquare[4] = {
    {-0.5f, 0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {0.5f, 0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {0.5f, -0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-0.5f, -0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};

// Left-handed orthographic projection of the whole virtual screen.
D3DMATRIX ScreenProjection() {
    D3DMATRIX matrix = ZeroMatrix();
    matrix._11 = 2.0f / kScreenWidth;
    matrix._22 = 2.0f / kScreenHeight;
    matrix._33 = 1.0f / (kFarPlane - kNearPlane);
    matrix._43 = -kNearPlane / (kFarPlane - kNearPlane);
    matrix._44 = 1.0f;
    return matrix;
}

}  // namespace

SpriteBatch::SpriteBatch()
    : vertexBuffer(NULL),
      savedProjection(ZeroMatrix()),
      savedWorld(ZeroMatrix()),
      savedView(ZeroMatrix()),
      device(NULL) {}

SpriteBatch::~SpriteBatch() { OutputDebugStringW(L"Terminated - Destructor\n"); }

int CreateSpriteBatch(SpriteBatch*& slot, IDirect3DDevice9* device) {
    if (slot) {
        delete slot;
        slot = NULL;
    }
    slot = new SpriteBatch();
    slot->Init(device);
    return 0;
}

int SpriteBatch::Init(IDirect3DDevice9* newDevice) {
    if (!newDevice) {
        return 0;
    }
    device = newDevice;
    // A failed creation or lock leaves the square unwritten; a batch without a
    // vertex buffer then draws nothing.
    const HRESULT created = device->CreateVertexBuffer(sizeof(kUnitSquare), 0, kSpriteVertexFormat,
                                                       D3DPOOL_DEFAULT, &vertexBuffer, NULL);
    if (FAILED(created) || !vertexBuffer) {
        vertexBuffer = NULL;
        return 0;
    }
    void* vertices = NULL;
    if (FAILED(vertexBuffer->Lock(0, 0, &vertices, 0)) || !vertices) {
        ReleaseInterface(vertexBuffer);
        return 0;
    }
    SpriteVertex* square = static_cast<SpriteVertex*>(vertices);
    for (int corner = 0; corner < 4; ++corner) {
        square[corner] = kUnitSquare[corner];
    }
    vertexBuffer->Unlock();
    return 0;
}

int SpriteBatch::Begin() {
    if (!device) {
        return 0;
    }
    device->GetTransform(D3DTS_PROJECTION, &savedProjection);
    device->GetTransform(D3DTS_WORLD, &savedWorld);
    device->GetTransform(D3DTS_VIEW, &savedView);

    const D3DMATRIX projection = ScreenProjection();
    const D3DMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);

    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_COLORWRITEENABLE,
                           D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                               D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);

    device->SetVertexShader(NULL);
    device->SetFVF(kSpriteVertexFormat);
    device->SetStreamSource(0, vertexBuffer, 0, kVertexStride);

    entries.clear();
    return 0;
}

int SpriteBatch::AddQuad(IDirect3DTexture9* texture, const SourceRect& source, float x, float y) {
    D3DSURFACE_DESC description = {};
    // Without the texture's size neither matrix can be built: the quad is skipped.
    if (!texture || FAILED(texture->GetLevelDesc(0, &description))) {
        return 0;
    }
    const float texW = static_cast<float>(description.Width);
    const float texH = static_cast<float>(description.Height);
    const LONG w = source.right - source.left;
    const LONG h = source.bottom - source.top;

    QuadEntry entry;
    entry.texture = texture;

    entry.texTransform = IdentityMatrix();
    entry.texTransform._11 = static_cast<float>(w) / texW;
    entry.texTransform._22 = static_cast<float>(h) / texH;
    entry.texTransform._31 = static_cast<float>(source.left) / texW;
    entry.texTransform._32 = static_cast<float>(source.top) / texH;

    // Whole units of the centred screen; odd sizes and fractions truncate toward zero.
    const LONG halfW = (w - kScreenWidthPixels) / 2;
    const LONG halfH = (h - kScreenHeightPixels) / 2;
    const LONG tx = static_cast<LONG>(x + static_cast<float>(halfW));
    const LONG ty = static_cast<LONG>(-y - static_cast<float>(halfH));

    entry.world = IdentityMatrix();
    entry.world._11 = static_cast<float>(w);
    entry.world._22 = static_cast<float>(h);
    entry.world._41 = static_cast<float>(tx);
    entry.world._42 = static_cast<float>(ty);

    entries.push_back(entry);
    return 0;
}

int SpriteBatch::End() {
    if (!device) {
        return 0;
    }
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    if (vertexBuffer) {
        for (const QuadEntry& entry : entries) {
            device->SetTransform(D3DTS_WORLD, &entry.world);
            device->SetTransform(D3DTS_TEXTURE0, &entry.texTransform);
            device->SetTexture(0, entry.texture);
            device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        }
    }
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);

    device->SetTransform(D3DTS_PROJECTION, &savedProjection);
    device->SetTransform(D3DTS_WORLD, &savedWorld);
    device->SetTransform(D3DTS_VIEW, &savedView);
    return 0;
}

void SpriteBatch::ReleaseDeviceObjects() {
    entries.clear();
    ReleaseInterface(vertexBuffer);
}
