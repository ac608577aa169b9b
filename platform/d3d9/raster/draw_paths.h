// DrawPrimitive with the choice of rasterisation path made explicit, so that tests and
// benchmarks can hold the screen-aligned rectangle kernels against the general path.
#pragma once

#include "d3d9/raster/pipeline.h"

namespace platform::d3d9::raster {

enum class RasterPath {
    Automatic,    // rectangle kernels with the widest instruction set the processor has
    GeneralOnly,  // every triangle through setup, edge walk and the pixel stage
    RectScalar,   // rectangle kernels, one pixel at a time
    RectSse2,
    RectAvx2,  // falls back to SSE2 where the processor lacks AVX2
};

enum class DrawRoute { General, RectKernel };

// Draws as DrawPrimitive does and tells which route drew the primitives.
DrawRoute DrawPrimitiveVia(RasterPath path, const FixedFunctionState& state,
                           const ColorTarget& color, const DepthTarget* depth,
                           D3DPRIMITIVETYPE type, const VertexStream& stream, UINT startVertex,
                           UINT primitiveCount);

}  // namespace platform::d3d9::raster
