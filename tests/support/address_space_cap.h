// A lowered limit on the process's address space, so that tests reach memory that
// runs out through the real allocations. Only the soft limit moves, and it comes
// back when the object goes.
#pragma once

#include <sys/resource.h>

#include <cstddef>

class AddressSpaceCap {
public:
    // False under AddressSanitizer, whose shadow memory needs terabytes of
    // address space: no cap can be set there.
    static bool Possible();

    // The limit goes to `headroom` bytes above what the process maps now.
    explicit AddressSpaceCap(size_t headroom);
    ~AddressSpaceCap();
    AddressSpaceCap(const AddressSpaceCap&) = delete;
    AddressSpaceCap& operator=(const AddressSpaceCap&) = delete;

    bool Set() const { return set_; }

private:
    rlimit previous_{};
    bool set_ = false;
};
