// Left-handed perspective projection and look-to view matrices, row-vector
// convention, single precision.
#pragma once

#include <d3d9.h>

struct Vector4 {
    float x;
    float y;
    float z;
    float w;
};

D3DMATRIX PerspectiveFovMatrix(float fieldOfViewY, float aspect, float nearPlane, float farPlane);
// Only x, y and z of each vector are used.
D3DMATRIX LookToMatrix(const Vector4& eye, const Vector4& direction, const Vector4& up);
