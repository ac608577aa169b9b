#include <cmath>
#include <limits>

#include "app/camera_transforms.h"
#include "app_fixture.h"

namespace {

TEST(CameraMatrices, ProjectionForSixFortyByFourEightyIsBitExact) {
    ExpectMatrixBits(PerspectiveFovMatrix(3.14159265358979323846f / 4.0f, 640.0f / 480.0f, 0.1f, 1000.0f),
                     kProjection);
}

// The program's view is bit-exact but its rotation is the identity, so an oblique
// view shows that each axis lands in its column and is normalised; a vector too
// long to measure gives a zero axis instead of NaNs.
TEST(CameraMatrices, LookToPutsTheAxesInTheColumnsAndTheEyeAtTheOrigin) {
    const float r = 1.0f / std::sqrt(2.0f);
    const float s = r / 3.0f;
    const float huge = std::numeric_limits<float>::max();
    struct Case { Vector4 eye, direction, up; float expected[16]; float tolerance; };  // tolerance 0: bit-exact
    const Case cases[] = {
        {{0, 0, -3, 0}, {0, 0, 3, 0}, {0, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1}, 0},
        {{1, 2, 3, 0}, {2, -1, 2, 0}, {0, 1, 0, 0},
         {r, s, 2.0f / 3, 0, 0, 4 * s, -1.0f / 3, 0, -r, s, 2.0f / 3, 0, 2 * r, -4 * r, -2, 1}, 1e-6f},
        {{0, 0, -3, 0}, {0, 0, 3, 0}, {0, huge, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 3, 1}, 0},
    };
    for (const Case& c : cases) {
        const D3DMATRIX view = LookToMatrix(c.eye, c.direction, c.up);
        if (c.tolerance == 0) {
            ExpectMatrixBits(view, c.expected);
            continue;
        }
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(view.m[i / 4][i % 4], c.expected[i], c.tolerance) << "element " << i / 4 + 1 << i % 4 + 1;
        }
    }
}

}  // namespace
