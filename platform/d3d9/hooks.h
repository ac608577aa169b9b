// The device family's side of the test hooks: injected failures, call counters,
// live-object counts and the last presented frame. Internal to the platform layer.
#pragma once

#include <d3d9.h>
#include <platform_testing.h>

#include <cstdint>

namespace platform::d3d9 {

// S_OK when `call` should do its work, else the result a test asked it to fail with.
HRESULT InjectedFailure(platform::testing::D3DCall call);

enum class LiveKind { Direct3D, Device, Texture, Surface, VertexBuffer };

// Counts one object of `kind` for as long as it lives.
template <LiveKind kind>
class LiveObject {
public:
    LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
    ~LiveObject();
};

void CountPresent();
void CountDrawPrimitive();

// Keeps a copy of a frame being presented while a test asked for one
// (CapturePresentedFrames); costs nothing otherwise.
void CapturePresentedFrame(const uint32_t* pixels, int width, int height);

}  // namespace platform::d3d9
