// The device's fixed-function state: transforms, render, texture-stage and sampler
// states and the viewport, checked as Direct3D 9 checks them. Stage 0, sampler 0
// and the transforms the rasteriser reads live in its FixedFunctionState, so a draw
// hands that over without copying.
#pragma once

#include <d3d9.h>

#include <array>

#include "d3d9/raster/pipeline.h"

namespace platform::d3d9 {

class StateBlock {
public:
    static constexpr DWORD kStages = 8;
    static constexpr DWORD kSamplers = 16;

    StateBlock() = default;
    StateBlock(const StateBlock&) = delete;
    StateBlock& operator=(const StateBlock&) = delete;

    // Direct3D 9's defaults for a device whose render target is width x height.
    void SetDefaults(int width, int height, bool hasDepthBuffer);

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const;
    HRESULT SetRenderState(D3DRENDERSTATETYPE type, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE type, DWORD* value) const;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const;
    // The viewport must lie inside the width x height render target.
    HRESULT SetViewport(const D3DVIEWPORT9* viewport, int width, int height);
    HRESULT GetViewport(D3DVIEWPORT9* viewport) const;

    const D3DVIEWPORT9& Viewport() const { return pipeline_.viewport; }
    raster::FixedFunctionState& Pipeline() { return pipeline_; }

private:
    static constexpr DWORD kStageStateCount =
        sizeof(raster::FixedFunctionState::stage0) / sizeof(DWORD);
    static constexpr DWORD kSamplerStateCount =
        sizeof(raster::FixedFunctionState::sampler0) / sizeof(DWORD);
    static constexpr DWORD kRenderStateCount =
        sizeof(raster::FixedFunctionState::renderStates) / sizeof(DWORD);

    D3DMATRIX* Transform(D3DTRANSFORMSTATETYPE type);
    const D3DMATRIX* Transform(D3DTRANSFORMSTATETYPE type) const;
    DWORD* StageStates(DWORD stage);
    const DWORD* StageStates(DWORD stage) const;
    DWORD* SamplerStates(DWORD sampler);
    const DWORD* SamplerStates(DWORD sampler) const;

    raster::FixedFunctionState pipeline_{};
    std::array<D3DMATRIX, kStages - 1> laterTextureTransforms_{};
    std::array<std::array<DWORD, kStageStateCount>, kStages - 1> laterStages_{};
    std::array<std::array<DWORD, kSamplerStateCount>, kSamplers - 1> laterSamplers_{};
};

}  // namespace platform::d3d9
