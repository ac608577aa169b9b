// The device family's side of the test hooks: injected failures, call counters,
// live-object counts and the last presented frame. Internal to the platform layer.
#pragma once

#include <d3d9.h>
#include <platform_testing.h>

namespace d3d9sw {

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

struct SurfaceMemory;

// The presented buffer of the device that presented last; it is read when a test
// asks for the frame. A device gives it up (and the frame is copied) before the
// buffer goes away.
void PublishPresentedFrame(const SurfaceMemory* presented);
void WithdrawPresentedFrame(const SurfaceMemory* presented);

}  // namespace d3d9sw
