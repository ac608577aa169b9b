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
    bool capture = false;
    platform::testing::Frame captured;
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

void CapturePresentedFrame(const uint32_t* pixels, int width, int height) {
    HookState& hooks = Hooks();
    if (!hooks.capture) return;
    const size_t count = static_cast<size_t>(width) * height;
    hooks.captured = platform::testing::Frame{width, height, {pixels, pixels + count}};
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

void CapturePresentedFrames(bool capture) {
    platform::d3d9::Hooks().capture = capture;
    platform::d3d9::Hooks().captured = Frame{};
}

Frame LastPresentedFrame() { return platform::d3d9::Hooks().captured; }

int PresentCount() { return platform::d3d9::Hooks().presents; }

int DrawPrimitiveCount() { return platform::d3d9::Hooks().draws; }

D3DLiveObjects CountD3DLiveObjects() { return platform::d3d9::Hooks().live; }

}  // namespace platform::testing
