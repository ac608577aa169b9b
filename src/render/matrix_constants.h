// The two matrices every transform starts from.
#pragma once

#include <d3d9.h>

inline D3DMATRIX ZeroMatrix() {
    D3DMATRIX matrix = {};
    return matrix;
}

inline D3DMATRIX IdentityMatrix() {
    D3DMATRIX matrix = ZeroMatrix();
    matrix._11 = 1.0f;
    matrix._22 = 1.0f;
    matrix._33 = 1.0f;
    matrix._44 = 1.0f;
    return matrix;
}
