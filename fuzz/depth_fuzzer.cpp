// Draws each input as a depth scene (eight bytes a step) twice, with the targets kept
// in tiles and with every value written out, and aborts where the two frames differ
// in any colour or depth.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "raster_fixture.h"

using platform::d3d9::raster::testing::Frame;
using platform::d3d9::raster::testing::TargetStore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Frame tiled(160, 120), perPixel(160, 120, 0xFF8080FF, TargetStore::PerPixel);
    platform::d3d9::raster::testing::DrawDepthScene(tiled, data, size);
    platform::d3d9::raster::testing::DrawDepthScene(perPixel, data, size);
    const std::string difference =
        platform::d3d9::raster::testing::FirstDifference(tiled, perPixel);
    if (!difference.empty()) {
        std::fprintf(stderr, "tiled targets differ at %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
