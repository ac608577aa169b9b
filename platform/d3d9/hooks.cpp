#include "d3d9/hooks.h"

#include <map>

#include "d3d9/device.h"

namespace platform::d3d9 {

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
    return platform::testing::Frame{
        hooks.presentedWidth, hooks.presentedHeight, {hooks.presented, hooks.presented + count}};
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

}  // namespace platform::d3d9

namespace platform::testing {

void FailD3DCall(D3DCall call, HRESULT result, int count) {
    if (count == 0) return;
    platform::d3d9::Hooks().failures[call] = platform::d3d9::InjectedFailures{result, count};
}

void ClearD3DFailures() { platform::d3d9::Hooks().failures.clear(); }

void LoseDevice(IDirect3DDevice9* device) {
    if (auto* ours = dynamic_cast<platform::d3d9::Device*>(device)) ours->LoseByRequest();
}

void RestoreLostDevice(IDirect3DDevice9* device) {
    if (auto* ours = dynamic_cast<platform::d3d9::Device*>(device)) ours->RestoreByRequest();
}

Frame LastPresentedFrame() {
    const platform::d3d9::HookState& hooks = platform::d3d9::Hooks();
    return hooks.presented ? platform::d3d9::CopyPresented(hooks) : hooks.retained;
}

int PresentCount() { return platform::d3d9::Hooks().presents; }

int DrawPrimitiveCount() { return platform::d3d9::Hooks().draws; }

D3DLiveObjects CountD3DLiveObjects() { return platform::d3d9::Hooks().live; }

}  // namespace platform::testing
