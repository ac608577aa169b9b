#include <gtest/gtest.h>
#include <platform_testing.h>

#include <cstring>
#include <vector>

#include "texture_helpers.h"
#include "read_back_buffer.h"
#include "test_device.h"

namespace {

struct Vertex {
    float x, y, z;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A fan over the whole clip space at depth z, clockwise on screen (kept by the
// default culling); world, view and projection stay identity.
std::vector<Vertex> FullScreenQuad(float z, D3DCOLOR diffuse) {
    return {{-1, 1, z, diffuse, 0, 0}, {1, 1, z, diffuse, 1, 0}, {1, -1, z, diffuse, 1, 1}, {-1, -1, z, diffuse, 0, 1}};
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->CreateVertexBuffer(sizeof(Vertex) * 4, 0, kFvf, D3DPOOL_DEFAULT, &buffer,
                                             nullptr),
                  D3D_OK);
        SetQuad(0.5f, 0xFFFFFFFF);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetFVF(kFvf);
        device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
    }
    void TearDown() override {
        if (buffer) buffer->Release();
    }

    void SetQuad(float z, D3DCOLOR diffuse) {
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, FullScreenQuad(z, diffuse).data(), 4 * sizeof(Vertex));
        buffer->Unlock();
    }

    HRESULT DrawQuad() {
        device->BeginScene();
        const HRESULT result = device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        device->EndScene();
        return result;
    }

    TestDevice test;
    IDirect3DDevice9* device = test.device();
    IDirect3DVertexBuffer9* buffer = nullptr;
};

TEST_F(Drawing, DiffuseAloneWithoutATextureAndModulatedWithOne) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    SetQuad(0.5f, 0xFF808080);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFF808080u);

    IDirect3DTexture9* texture = MakeTexture(device, 1, 1, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    FillTexels(texture, 0xFF00FF00);
    device->SetTexture(0, texture);
    SetQuad(0.5f, 0xFFFFFFFF);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(5, 5), 0xFF00FF00u);

    // The texture's contents are read at each draw, not kept from the first.
    FillTexels(texture, 0xFF0000FF);
    texture->Release();
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(600, 400), 0xFF0000FFu);
    device->SetTexture(0, nullptr);
}

TEST_F(Drawing, ADefaultPoolTextureShowsEachUpdateAndNoLaterWriteToItsSource) {
    IDirect3DTexture9* texture = MakeTexture(device, 2, 2, 0, D3DPOOL_DEFAULT);
    IDirect3DTexture9* staging = MakeTexture(device, 2, 2, 0, D3DPOOL_SYSTEMMEM);
    device->SetTexture(0, texture);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080, 1.0f, 0);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0u) << "a texture never written holds zeros";

    FillTexels(staging, 0xFF00FF00);
    ASSERT_EQ(device->UpdateTexture(staging, texture), D3D_OK);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFF00FF00u);

    FillTexels(staging, 0xFFFF0000);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFF00FF00u);
    ASSERT_EQ(device->UpdateTexture(staging, texture), D3D_OK);
    staging->Release();
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFFFF0000u);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(Drawing, ClearedDepthDecidesWhetherALaterQuadShows) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.25f, 0);
    SetQuad(0.5f, 0xFFFFFFFF);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFF000000u);

    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(ReadBackBuffer(device).At(320, 240), 0xFFFFFFFFu);
}

TEST_F(Drawing, TheViewportBoundsWhatADrawCovers) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DVIEWPORT9 viewport{100, 50, 200, 100, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    const auto frame = ReadBackBuffer(device);
    EXPECT_EQ(frame.At(100, 50), 0xFFFFFFFFu);
    EXPECT_EQ(frame.At(299, 149), 0xFFFFFFFFu);
    EXPECT_EQ(frame.At(99, 50), 0xFF000000u);
    EXPECT_EQ(frame.At(300, 149), 0xFF000000u);
    EXPECT_EQ(frame.At(100, 150), 0xFF000000u);

    const D3DVIEWPORT9 outside{600, 0, 100, 100, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&outside), D3DERR_INVALIDCALL);
}

TEST_F(Drawing, DrawCallsNeedASceneAStreamAndAFormat) {
    const int draws = platform::testing::DrawPrimitiveCount();
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(0), 0, 2), D3DERR_INVALIDCALL);
    device->SetFVF(0);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    device->SetFVF(kFvf);

    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, FullScreenQuad(0.5f, 0xFF00FF00).data(), sizeof(Vertex)),
              D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL)
        << "drawing from user memory unsets stream 0";
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(platform::testing::DrawPrimitiveCount(), draws + 2);
    EXPECT_EQ(ReadBackBuffer(device).At(1, 1), 0xFF00FF00u);

    EXPECT_EQ(device->SetVertexShader(nullptr), D3D_OK);
    EXPECT_EQ(device->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
    IDirect3DTexture9* staging = MakeTexture(device, 4, 4, 0, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(device->SetTexture(0, staging), D3DERR_INVALIDCALL);
    staging->Release();
}

}  // namespace
