#include "d3d9/state_block.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace platform::d3d9 {

namespace {

// Entry `type` of a table of `count` states; null for a missing table or a type
// past its end.
template <class T>
T* Entry(T* states, DWORD count, DWORD type) {
    return states && type < count ? states + type : nullptr;
}

template <class T>
HRESULT Store(T* slot, const T& value) {
    if (!slot) return D3DERR_INVALIDCALL;
    *slot = value;
    return D3D_OK;
}

template <class T>
HRESULT Load(const T* slot, T* value) {
    if (!slot || !value) return D3DERR_INVALIDCALL;
    *value = *slot;
    return D3D_OK;
}

}  // namespace

void StateBlock::SetDefaults(int width, int height, bool hasDepthBuffer) {
    raster::SetDefaultState(pipeline_, width, height);
    // The rasteriser does not know whether a depth buffer came with the device.
    pipeline_.renderStates[D3DRS_ZENABLE] = hasDepthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
    pipeline_.texture = nullptr;

    laterTextureTransforms_.fill(pipeline_.texture0);
    for (DWORD stage = 1; stage < kStages; ++stage) {
        auto& states = laterStages_[stage - 1];
        std::copy(std::begin(pipeline_.stage0), std::end(pipeline_.stage0), states.begin());
        states[D3DTSS_COLOROP] = D3DTOP_DISABLE;
        states[D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
        states[D3DTSS_TEXCOORDINDEX] = stage;
    }
    for (auto& states : laterSamplers_) {
        std::copy(std::begin(pipeline_.sampler0), std::end(pipeline_.sampler0), states.begin());
    }
}

D3DMATRIX* StateBlock::Transform(D3DTRANSFORMSTATETYPE type) {
    return const_cast<D3DMATRIX*>(std::as_const(*this).Transform(type));
}

const D3DMATRIX* StateBlock::Transform(D3DTRANSFORMSTATETYPE type) const {
    if (type == D3DTS_WORLD) return &pipeline_.world;
    if (type == D3DTS_VIEW) return &pipeline_.view;
    if (type == D3DTS_PROJECTION) return &pipeline_.projection;
    if (type == D3DTS_TEXTURE0) return &pipeline_.texture0;
    if (type >= D3DTS_TEXTURE1 && type <= D3DTS_TEXTURE7) {
        return &laterTextureTransforms_[type - D3DTS_TEXTURE1];
    }
    return nullptr;
}

DWORD* StateBlock::StageStates(DWORD stage) {
    return const_cast<DWORD*>(std::as_const(*this).StageStates(stage));
}

const DWORD* StateBlock::StageStates(DWORD stage) const {
    if (stage == 0) return pipeline_.stage0;
    return stage < kStages ? laterStages_[stage - 1].data() : nullptr;
}

DWORD* StateBlock::SamplerStates(DWORD sampler) {
    return const_cast<DWORD*>(std::as_const(*this).SamplerStates(sampler));
}

const DWORD* StateBlock::SamplerStates(DWORD sampler) const {
    if (sampler == 0) return pipeline_.sampler0;
    return sampler < kSamplers ? laterSamplers_[sampler - 1].data() : nullptr;
}

HRESULT StateBlock::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
    return matrix ? Store(Transform(type), *matrix) : D3DERR_INVALIDCALL;
}

HRESULT StateBlock::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const {
    return Load(Transform(type), matrix);
}

HRESULT StateBlock::SetRenderState(D3DRENDERSTATETYPE type, DWORD value) {
    return Store(Entry(pipeline_.renderStates, kRenderStateCount, type), value);
}

HRESULT StateBlock::GetRenderState(D3DRENDERSTATETYPE type, DWORD* value) const {
    return Load(Entry(pipeline_.renderStates, kRenderStateCount, type), value);
}

HRESULT StateBlock::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return Store(Entry(StageStates(stage), kStageStateCount, type), value);
}

HRESULT StateBlock::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD* value) const {
    return Load(Entry(StageStates(stage), kStageStateCount, type), value);
}

HRESULT StateBlock::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    return Store(Entry(SamplerStates(sampler), kSamplerStateCount, type), value);
}

HRESULT StateBlock::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const {
    return Load(Entry(SamplerStates(sampler), kSamplerStateCount, type), value);
}

HRESULT StateBlock::SetViewport(const D3DVIEWPORT9* viewport, int width, int height) {
    if (!viewport || viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
    const bool inside =
        static_cast<uint64_t>(viewport->X) + viewport->Width <= static_cast<uint64_t>(width) &&
        static_cast<uint64_t>(viewport->Y) + viewport->Height <= static_cast<uint64_t>(height);
    const bool depthRange =
        viewport->MinZ >= 0.0f && viewport->MaxZ <= 1.0f && viewport->MinZ <= viewport->MaxZ;
    if (!inside || !depthRange) return D3DERR_INVALIDCALL;
    pipeline_.viewport = *viewport;
    return D3D_OK;
}

HRESULT StateBlock::GetViewport(D3DVIEWPORT9* viewport) const {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = pipeline_.viewport;
    return D3D_OK;
}

}  // namespace platform::d3d9
