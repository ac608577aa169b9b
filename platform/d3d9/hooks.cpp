#include "d3d9/hooks.h"

#include <map>

#include "d3d9/device.h"

namespace d3d9sw {

namespace {

struct InjectedFailures {
    HRESULT result = S_OK;
    int remaining = 0;  // negative: until cleared
};

struct HookState {
    std::map<platform::testing::D3DCall, InjectedFailures> failures;
    platform::testing::D3DLiveObjects live;
    int presents = 0;
    int draws = 0;
    const uint32_t* presented = nullptr;
    int presentedWidth = 0;
    int presentedHeight = 0;
    platform::testing::Frame retained;  // a frame whose pixels have been given up
};

HookState& Hooks() {
    static HookState state;
    return state;
}

int& LiveCounter(LiveKind kind) {
    platform::testing::D3DLiveObjects& live = Hooks().live;
    switch (kind) {
        case LiveKind::Direct3D:
            return live.direct3d;
        case LiveKind::Device:
            return live.devices;
        case LiveKind::Texture:
            return live.textures;
        case LiveKind::Surface:
            return live.surfaces;
        case LiveKind::VertexBuffer:
            break;
    }
    return live.vertexBuffers;
}

platform::testing::Frame CopyPresented(const HookState& hooks) {
    const size_t count = static_cast<size_t>(hooks.presentedWidth) * hooks.presentedHeight;
    return platform::testing::Frame{hooks.presentedWidth, hooks.presentedHeight,
                                    {hooks.presented, hooks.presented + count}};
}

}  // namespace

HRESULT InjectedFailure(platform::testing::D3DCall call) {
    auto& failures = Hooks().failures;
    const auto found = failures.find(call);
    if (found == failures.end()) return S_OK;
    const HRESULT result = found->second.result;
    if (found->second.remaining > 0 && --found->second.remaining == 0) failures.erase(found);
    return result;
}

template <LiveKind kind>
LiveObject<kind>::LiveObject() {
    ++LiveCounter(kind);
}

template <LiveKind kind>
LiveObject<kind>::~LiveObject() {
    --LiveCounter(kind);
}

template class LiveObject<LiveKind::Direct3D>;
template class LiveObject<LiveKind::Device>;
template class LiveObject<LiveKind::Texture>;
template class LiveObject<LiveKind::Surface>;
template class LiveObject<LiveKind::VertexBuffer>;

void CountPresent() { ++Hooks().presents; }

void CountDrawPrimitive() { ++Hooks().draws; }

void PublishPresentedFrame(const uint32_t* pixels, int width, int height) {
    HookState& hooks = Hooks();
    hooks.presented = pixels;
    hooks.presentedWidth = width;
    hooks.presentedHeight = height;
}

void WithdrawPresentedFrame(const uint32_t* pixels, bool keepCopy) {
    HookState& hooks = Hooks();
    if (hooks.presented != pixels) return;
    hooks.retained = keepCopy ? CopyPresented(hooks) : platform::testing::Frame{};
    hooks.presented = nullptr;
}

}  // namespace d3d9sw

namespace platform::testing {

void FailD3DCall(D3DCall call, HRESULT result, int count) {
    if (count == 0) return;
    d3d9sw::Hooks().failures[call] = d3d9sw::InjectedFailures{result, count};
}

void ClearD3DFailures() { d3d9sw::Hooks().failures.clear(); }

void LoseDevice(IDirect3DDevice9* device) {
    if (auto* ours = dynamic_cast<d3d9sw::Device*>(device)) ours->LoseByRequest();
}

void RestoreLostDevice(IDirect3DDevice9* device) {
    if (auto* ours = dynamic_cast<d3d9sw::Device*>(device)) ours->RestoreByRequest();
}

Frame LastPresentedFrame() {
    const d3d9sw::HookState& hooks = d3d9sw::Hooks();
    return hooks.presented ? d3d9sw::CopyPresented(hooks) : hooks.retained;
}

int PresentCount() { return d3d9sw::Hooks().presents; }

int DrawPrimitiveCount() { return d3d9sw::Hooks().draws; }

D3DLiveObjects CountD3DLiveObjects() { return d3d9sw::Hooks().live; }

}  // namespace platform::testing
