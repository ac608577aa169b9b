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
    RefuseFullScreenSwitches(0);
    ClearTerminationSignals();
    FailAllocations(0);
}

}  // namespace platform::testing
