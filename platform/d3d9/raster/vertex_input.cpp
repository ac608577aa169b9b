#include "d3d9/raster/vertex_input.h"

#include "d3d9/raster/color_math.h"

#include <algorithm>
#include <cstring>

namespace platform::d3d9::raster {
namespace {

constexpr DWORD kMaterialSourceMaterial = 0;  // D3DMCS_MATERIAL
constexpr DWORD kMaterialSourceColor1 = 1;    // D3DMCS_COLOR1
constexpr DWORD kMaterialSourceColor2 = 2;    // D3DMCS_COLOR2

// Floats in a texture coordinate set, from the two D3DFVF_TEXCOORDSIZE bits of the set.
int TexCoordComponents(DWORD fvf, int set) {
    switch ((fvf >> (16 + 2 * set)) & 3) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 2:
            return 4;
        default:
            return 1;
    }
}

float ReadFloat(const uint8_t* p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

uint32_t ReadDword(const uint8_t* p) {
    uint32_t d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

void Multiply(const D3DMATRIX& a, const double (&b)[4][4], double (&out)[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a.m[r][k]) * b[k][c];
            out[r][c] = sum;
        }
}

}  // namespace

FvfLayout DecodeFvf(DWORD fvf, DWORD texCoordSet) {
    FvfLayout layout;
    // Pretransformed and blended positions are outside what the system draws.
    if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return layout;
    UINT offset = 12;
    if (fvf & D3DFVF_NORMAL) offset += 12;
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuseOffset = static_cast<int>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specularOffset = static_cast<int>(offset);
        offset += 4;
    }
    const int sets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (sets > 8) return layout;
    for (int set = 0; set < sets; ++set) {
        const int components = TexCoordComponents(fvf, set);
        if (static_cast<DWORD>(set) == texCoordSet) {
            layout.texCoordOffset = static_cast<int>(offset);
            layout.texCoordComponents = components;
        }
        offset += 4 * static_cast<UINT>(components);
    }
    layout.size = offset;
    layout.drawable = true;
    return layout;
}

VertexProcessor::VertexProcessor(const FixedFunctionState& state, const FvfLayout& layout)
    : state(state),
      layout(layout),
      lighting(state.renderStates[D3DRS_LIGHTING] != FALSE),
      transformFlags(state.stage0[D3DTSS_TEXTURETRANSFORMFLAGS]) {
    double projection[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) projection[r][c] = state.projection.m[r][c];
    double viewProjection[4][4];
    Multiply(state.view, projection, viewProjection);
    Multiply(state.world, viewProjection, worldViewProjection);
}

// Lights are not part of the state, so only the ambient and emissive terms exist; the
// lit alpha is the diffuse material's. The default material is all zeros.
uint32_t VertexProcessor::LitColor(uint32_t diffuse, uint32_t specular, bool hasDiffuse,
                                   bool hasSpecular) const {
    const bool colorVertex = state.renderStates[D3DRS_COLORVERTEX] != FALSE;
    auto material = [&](DWORD source) -> uint32_t {
        if (!colorVertex || source == kMaterialSourceMaterial) return 0;
        if (source == kMaterialSourceColor1 && hasDiffuse) return diffuse;
        if (source == kMaterialSourceColor2 && hasSpecular) return specular;
        return 0;
    };
    const uint32_t ambientLight = state.renderStates[D3DRS_AMBIENT];
    const uint32_t ambient = material(state.renderStates[D3DRS_AMBIENTMATERIALSOURCE]);
    const uint32_t emissive = material(state.renderStates[D3DRS_EMISSIVEMATERIALSOURCE]);
    const uint32_t diffuseMaterial = material(state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE]);
    uint32_t lit = Channel(diffuseMaterial, 24) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t value = MulUnorm8(Channel(ambientLight, shift), Channel(ambient, shift)) +
                               Channel(emissive, shift);
        lit |= std::min<uint32_t>(value, 255) << shift;
    }
    return lit;
}

ClipVertex VertexProcessor::Process(const uint8_t* vertex) const {
    ClipVertex out{};
    const double p[3] = {ReadFloat(vertex), ReadFloat(vertex + 4), ReadFloat(vertex + 8)};
    double clip[4];
    for (int c = 0; c < 4; ++c)
        clip[c] = p[0] * worldViewProjection[0][c] + p[1] * worldViewProjection[1][c] +
                  p[2] * worldViewProjection[2][c] + worldViewProjection[3][c];
    out.x = clip[0];
    out.y = clip[1];
    out.z = clip[2];
    out.w = clip[3];

    // A vertex without a diffuse colour is opaque white, without specular black.
    const bool hasDiffuse = layout.diffuseOffset >= 0;
    const bool hasSpecular = layout.specularOffset >= 0;
    uint32_t diffuse = hasDiffuse ? ReadDword(vertex + layout.diffuseOffset) : 0xFFFFFFFFu;
    if (lighting) {
        const uint32_t specular = hasSpecular ? ReadDword(vertex + layout.specularOffset) : 0;
        diffuse = LitColor(diffuse, specular, hasDiffuse, hasSpecular);
    }
    for (int channel = 0; channel < 4; ++channel)
        out.color[channel] = static_cast<double>(Channel(diffuse, 8 * channel));

    double coord[4] = {0.0, 0.0, 0.0, 0.0};
    int components = 0;
    if (layout.texCoordOffset >= 0) {
        components = layout.texCoordComponents;
        for (int c = 0; c < components; ++c)
            coord[c] = ReadFloat(vertex + layout.texCoordOffset + 4 * c);
    }
    const DWORD count = transformFlags & 0xFF;
    if (count >= D3DTTFF_COUNT1 && count <= D3DTTFF_COUNT4) {
        // A coordinate of fewer than four components gains a 1 after its last one, so a
        // two-component coordinate meets the matrix's third row as its offset.
        if (components < 4) coord[components] = 1.0;
        const D3DMATRIX& m = state.texture0;
        double transformed[2];
        for (int c = 0; c < 2; ++c)
            transformed[c] = coord[0] * m.m[0][c] + coord[1] * m.m[1][c] + coord[2] * m.m[2][c] +
                             coord[3] * m.m[3][c];
        out.u = transformed[0];
        out.v = count >= D3DTTFF_COUNT2 ? transformed[1] : 0.0;
    } else {
        out.u = coord[0];
        out.v = coord[1];
    }
    return out;
}

}  // namespace platform::d3d9::raster
