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

// The pixels the device that presented last showed; they are read when a test asks
// for the frame. A device gives them up before they change or go away, keeping a
// copy when `keepCopy` is set.
void PublishPresentedFrame(const uint32_t* pixels, int width, int height);
void WithdrawPresentedFrame(const uint32_t* pixels, bool keepCopy);

}  // namespace platform::d3d9
