#include <platform_testing.h>

namespace platform::testing {

void ResetAllHooks() {
    SetDebugSink({});
    SetMessageBoxHandler({});
    SetSleepHandler({});
    SetClock({});
    ClearD3DFailures();
    ClearGdiFailures();
}

}  // namespace platform::testing
