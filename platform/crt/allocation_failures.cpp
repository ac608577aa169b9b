// The test hook behind ConsumeAllocationFailure.
#include <platform_testing.h>

#include "crt/out_of_memory.h"

namespace platform {

namespace {

int pendingAllocationFailures = 0;

}  // namespace

bool ConsumeAllocationFailure() noexcept {
    if (pendingAllocationFailures == 0) {
        return false;
    }
    --pendingAllocationFailures;
    return true;
}

void testing::FailAllocations(int count) { pendingAllocationFailures = count; }

}  // namespace platform
