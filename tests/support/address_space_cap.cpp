#include "address_space_cap.h"

#include <unistd.h>

#include <fstream>

bool AddressSpaceCap::Possible() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
    return !__has_feature(address_sanitizer);
#else
    return true;
#endif
}

AddressSpaceCap::AddressSpaceCap(size_t headroom) {
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    if (!(statm >> pages) || getrlimit(RLIMIT_AS, &previous_) != 0) return;
    rlimit lowered = previous_;
    lowered.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
    set_ = setrlimit(RLIMIT_AS, &lowered) == 0;
}

AddressSpaceCap::~AddressSpaceCap() {
    if (set_) setrlimit(RLIMIT_AS, &previous_);
}
