#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/camera_transforms.h"
#include "app_fixture.h"

namespace {

uint32_t Bits(float value) {
    return std::bit_cast<uint32_t>(value);
}

// Every element compared by its bits: the camera must match to the last bit.
void ExpectMatrixBits(const D3DMATRIX& actual, const float (&expected)[16]) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(Bits(actual.m[i / 4][i % 4]), Bits(expected[i]))
            << "element " << i / 4 + 1 << i % 4 + 1 << ": " << actual.m[i / 4][i % 4] << " vs " << expected[i];
    }
}

constexpr float kFieldOfView = 3.14159265358979323846f / 4.0f;

TEST(CameraMatrices, ProjectionForSixFortyByFourEightyIsBitExact) {
    const D3DMATRIX projection = PerspectiveFovMatrix(kFieldOfView, 640.0f / 480.0f, 0.1f, 1000.0f);
    const float q = std::bit_cast<float>(0x3F800347u);
    const float qzn = std::bit_cast<float>(0xBDCCD20Bu);
    const float expected[16] = {1.8106600f, 0, 0, 0, 0, 2.4142134f, 0, 0, 0, 0, q, 1, 0, 0, qzn, 0};
    ExpectMatrixBits(projection, expected);
}

TEST(CameraMatrices, ViewFromMinusThreeIsATranslation) {
    const Vector4 eye = {0, 0, -3, 0};
    const Vector4 direction = {0, 0, 3, 0};
    const Vector4 up = {0, 1, 0, 0};
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1};
    ExpectMatrixBits(LookToMatrix(eye, direction, up), expected);
}

TEST(CameraMatrices, ViewAxesAreOrthonormalForAnObliqueDirection) {
    const Vector4 eye = {1, 2, 3, 0};
    const Vector4 direction = {2, -1, 2, 0};
    const Vector4 up = {0, 1, 0, 0};
    const D3DMATRIX view = LookToMatrix(eye, direction, up);
    // Columns 1 to 3 hold the right, up and forward axes.
    EXPECT_FLOAT_EQ(view._13, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(view._23, -1.0f / 3.0f);
    EXPECT_FLOAT_EQ(view._33, 2.0f / 3.0f);
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            const float dot = view.m[0][a] * view.m[0][b] + view.m[1][a] * view.m[1][b] + view.m[2][a] * view.m[2][b];
            EXPECT_NEAR(dot, a == b ? 1.0f : 0.0f, 1e-6f) << a << "," << b;
        }
    }
    // The eye maps to the origin.
    for (int column = 0; column < 3; ++column) {
        const float mapped =
            eye.x * view.m[0][column] + eye.y * view.m[1][column] + eye.z * view.m[2][column] + view.m[3][column];
        EXPECT_NEAR(mapped, 0.0f, 1e-5f);
    }
}

TEST(CameraMatrices, AnInfinitelyLongVectorNormalisesToZero) {
    // cross(up, forward) overflows to an infinite squared length: no right axis, and
    // so no up axis either, instead of NaNs.
    const float huge = std::numeric_limits<float>::max();
    const Vector4 eye = {0, 0, -3, 0};
    const Vector4 direction = {0, 0, 3, 0};
    const Vector4 up = {0, huge, 0, 0};
    const float expected[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1};
    ExpectMatrixBits(LookToMatrix(eye, direction, up), expected);
}

using CameraOnDevice = AppFixture;

TEST_F(CameraOnDevice, SetTransformsPutsProjectionViewAndLightingOnTheDevice) {
    ASSERT_TRUE(Create());
    D3DMATRIX projection{};
    D3DMATRIX view{};
    app.device->GetTransform(D3DTS_PROJECTION, &projection);
    app.device->GetTransform(D3DTS_VIEW, &view);
    ExpectMatrixBits(projection, {1.8106600f, 0, 0, 0, 0, 2.4142134f, 0, 0, 0, 0, std::bit_cast<float>(0x3F800347u),
                                  1, 0, 0, std::bit_cast<float>(0xBDCCD20Bu), 0});
    ExpectMatrixBits(view, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1});
    DWORD lighting = TRUE;
    app.device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
}

TEST_F(CameraOnDevice, BackBufferSizesAboveTwoToTheThirtyOneAreUnsigned) {
    ASSERT_TRUE(Create());
    app.presentParams.BackBufferWidth = 0x80000000u;
    app.presentParams.BackBufferHeight = 0x40000000u;
    app.SetTransforms();
    D3DMATRIX projection{};
    app.device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection._11, 2.4142134f / 2.0f) << "aspect 2, not a negative number";
}

}  // namespace
