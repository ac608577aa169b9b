// Reads flexible-vertex-format vertices and carries them to clip space: world, view and
// projection, the stage-0 texture coordinate with its transform, and the diffuse colour
// (or the lit colour when lighting is on).
#pragma once

#include "d3d9/raster/pipeline.h"

#include <cstdint>

namespace platform::d3d9::raster {

struct FvfLayout {
    bool drawable = false;   // an untransformed position this pipeline can draw
    UINT size = 0;           // bytes the format takes in a vertex
    int diffuseOffset = -1;  // -1 when absent
    int specularOffset = -1;
    int texCoordOffset = -1;  // of the set stage 0 reads, -1 when absent
    int texCoordComponents = 0;
};

// `texCoordSet` is the stage's D3DTSS_TEXCOORDINDEX.
FvfLayout DecodeFvf(DWORD fvf, DWORD texCoordSet);

// Clip-space position, colour channels 0..255 in memory order (blue, green, red,
// alpha), and the transformed texture coordinate.
struct ClipVertex {
    double x, y, z, w;
    double color[4];
    double u, v;
};

class VertexProcessor {
public:
    VertexProcessor(const FixedFunctionState& state, const FvfLayout& layout);
    ClipVertex Process(const uint8_t* vertex) const;

private:
    uint32_t LitColor(uint32_t diffuse, uint32_t specular, bool hasDiffuse, bool hasSpecular) const;

    const FixedFunctionState& state;
    FvfLayout layout;
    double worldViewProjection[4][4];
    bool lighting;
    DWORD transformFlags;
};

}  // namespace platform::d3d9::raster
