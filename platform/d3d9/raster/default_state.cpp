// Direct3D 9's documented device defaults, as after CreateDevice or Reset.
#include "d3d9/raster/pipeline.h"

#include <cstring>

namespace platform::d3d9::raster {
namespace {

D3DMATRIX Identity() {
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

void SetRenderStateDefaults(DWORD (&rs)[256]) {
    std::memset(rs, 0, sizeof rs);
    // The device takes TRUE when it has an automatic depth buffer; it may override.
    rs[D3DRS_ZENABLE] = D3DZB_TRUE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_ALPHATESTENABLE] = FALSE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_DITHERENABLE] = FALSE;
    rs[D3DRS_ALPHABLENDENABLE] = FALSE;
    rs[D3DRS_FOGENABLE] = FALSE;
    rs[D3DRS_SPECULARENABLE] = FALSE;
    rs[D3DRS_FOGCOLOR] = 0;
    rs[D3DRS_FOGTABLEMODE] = 0;  // D3DFOG_NONE
    rs[D3DRS_STENCILENABLE] = FALSE;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_WRAP0] = 0;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_AMBIENT] = 0;
    rs[D3DRS_FOGVERTEXMODE] = 0;  // D3DFOG_NONE
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_NORMALIZENORMALS] = FALSE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = 1;   // D3DMCS_COLOR1
    rs[D3DRS_SPECULARMATERIALSOURCE] = 2;  // D3DMCS_COLOR2
    rs[D3DRS_AMBIENTMATERIALSOURCE] = 0;   // D3DMCS_MATERIAL
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = 0;  // D3DMCS_MATERIAL
    rs[D3DRS_VERTEXBLEND] = 0;             // D3DVBF_DISABLE
    rs[D3DRS_CLIPPLANEENABLE] = 0;
    rs[D3DRS_COLORWRITEENABLE] = D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                 D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_SCISSORTESTENABLE] = FALSE;
    rs[D3DRS_SEPARATEALPHABLENDENABLE] = FALSE;
    rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
}

void SetStage0Defaults(DWORD (&tss)[33]) {
    std::memset(tss, 0, sizeof tss);
    tss[D3DTSS_COLOROP] = D3DTOP_MODULATE;  // stage 0 only; later stages default to DISABLE
    tss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    tss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    tss[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    tss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    tss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    tss[D3DTSS_TEXCOORDINDEX] = 0;  // the stage's own index
    tss[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    tss[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    tss[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    tss[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    tss[D3DTSS_CONSTANT] = 0xFFFFFFFF;
}

void SetSampler0Defaults(DWORD (&samp)[14]) {
    std::memset(samp, 0, sizeof samp);
    samp[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    samp[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    samp[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    samp[D3DSAMP_BORDERCOLOR] = 0;
    samp[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    samp[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    samp[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    samp[D3DSAMP_MAXANISOTROPY] = 1;
}

}  // namespace

void SetDefaultState(FixedFunctionState& state, int viewportWidth, int viewportHeight) {
    state.world = Identity();
    state.view = Identity();
    state.projection = Identity();
    state.texture0 = Identity();
    SetRenderStateDefaults(state.renderStates);
    SetStage0Defaults(state.stage0);
    SetSampler0Defaults(state.sampler0);
    state.texture = nullptr;
    state.viewport.X = 0;
    state.viewport.Y = 0;
    state.viewport.Width = viewportWidth > 0 ? static_cast<DWORD>(viewportWidth) : 0;
    state.viewport.Height = viewportHeight > 0 ? static_cast<DWORD>(viewportHeight) : 0;
    state.viewport.MinZ = 0.0f;
    state.viewport.MaxZ = 1.0f;
}

}  // namespace platform::d3d9::raster
