#include "app/camera_matrices.h"

#include <cmath>

#include "render/matrix_constants.h"

namespace {

Vector4 Cross(const Vector4& a, const Vector4& b) {
    const Vector4 result = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x,
                            0.0f};
    return result;
}

float Dot3(const Vector4& a, const Vector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A vector too long to measure has no direction: it becomes zero.
Vector4 Normalise(const Vector4& v) {
    const float lengthSquared = Dot3(v, v);
    if (std::isinf(lengthSquared)) {
        const Vector4 zero = {0.0f, 0.0f, 0.0f, 0.0f};
        return zero;
    }
    const float length = std::sqrt(lengthSquared);
    const Vector4 result = {v.x / length, v.y / length, v.z / length, 0.0f};
    return result;
}

}  // namespace

D3DMATRIX PerspectiveFovMatrix(float fieldOfViewY, float aspect, float nearPlane, float farPlane) {
    const float halfAngle = fieldOfViewY / 2.0f;
    const float sine = static_cast<float>(std::sin(static_cast<double>(halfAngle)));
    const float cosine = static_cast<float>(std::cos(static_cast<double>(halfAngle)));
    const float yScale = cosine / sine;
    const float xScale = yScale / aspect;
    const float q = farPlane / (farPlane - nearPlane);

    D3DMATRIX matrix = ZeroMatrix();
    matrix._11 = xScale;
    matrix._22 = yScale;
    matrix._33 = q;
    matrix._34 = 1.0f;
    matrix._43 = -q * nearPlane;
    return matrix;
}

D3DMATRIX LookToMatrix(const Vector4& eye, const Vector4& direction, const Vector4& up) {
    const Vector4 r2 = Normalise(direction);
    const Vector4 r0 = Normalise(Cross(up, r2));
    const Vector4 r1 = Cross(r2, r0);
    const Vector4 negatedEye = {-eye.x, -eye.y, -eye.z, 0.0f};

    D3DMATRIX matrix = ZeroMatrix();
    matrix._11 = r0.x;
    matrix._12 = r1.x;
    matrix._13 = r2.x;
    matrix._21 = r0.y;
    matrix._22 = r1.y;
    matrix._23 = r2.y;
    matrix._31 = r0.z;
    matrix._32 = r1.z;
    matrix._33 = r2.z;
    matrix._41 = Dot3(r0, negatedEye);
    matrix._42 = Dot3(r1, negatedEye);
    matrix._43 = Dot3(r2, negatedEye);
    matrix._44 = 1.0f;
    return matrix;
}
