// Memory that runs out inside a Windows API call comes back as that call's own
// failure value (an HRESULT, a null handle), as on Windows: no C++ exception may
// cross the API into the program.
#pragma once

#include <new>

namespace platform {

// True when a test asked this guarded call to run out of memory; consumes one.
bool ConsumeAllocationFailure() noexcept;

template <class Result, class Body>
Result FailingWhenOutOfMemory(Result failure, Body&& body) noexcept {
    try {
        if (ConsumeAllocationFailure()) {
            throw std::bad_alloc();
        }
        return body();
    } catch (const std::bad_alloc&) {
        return failure;
    }
}

}  // namespace platform
