// Bit-exact comparison of Direct3D matrices given row by row.
#pragma once

#include <d3d9.h>
#include <gmock/gmock.h>

#include <array>
#include <cstring>
#include <ostream>

using MatrixRows = std::array<float, 16>;

inline MatrixRows RowsOf(const D3DMATRIX& matrix) {
    MatrixRows rows;
    std::memcpy(rows.data(), &matrix.m[0][0], sizeof(rows));
    return rows;
}

inline MatrixRows Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

// Matches a `const D3DMATRIX*` whose sixteen floats equal `rows` exactly.
MATCHER_P(PointsToMatrix, rows, "points to a matrix equal to " + testing::PrintToString(rows)) {
    return arg != nullptr && RowsOf(*arg) == rows;
}
