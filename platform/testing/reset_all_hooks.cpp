#include <platform_testing.h>

namespace platform::testing {

void ResetAllHooks() {
    SetDebugSink({});
    SetMessageBoxHandler({});
    SetSleepHandler({});
    SetClock({});
    ClearD3DFailures();
    CapturePresentedFrames(false);
    ClearGdiFailures();
}

}  // namespace platform::testing
