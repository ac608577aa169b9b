// Failures that tests ask the GDI calls for.
#pragma once

#include <platform_testing.h>

namespace platform::gdi {

// True when the call must fail this time; consumes one pending failure.
bool ConsumeFailure(testing::GdiCall call);

}  // namespace platform::gdi
