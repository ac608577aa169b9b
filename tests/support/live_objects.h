// Every Direct3D and GDI object alive right now, as one comparable value: Direct3D
// objects, devices, textures, surfaces, vertex buffers, then device contexts, fonts,
// bitmaps and brushes.
#pragma once

#include <platform_testing.h>

#include <array>

inline std::array<int, 9> LiveObjects() {
    const auto d3d = platform::testing::CountD3DLiveObjects();
    const auto gdi = platform::testing::CountGdiLiveObjects();
    return {d3d.direct3d,       d3d.devices, d3d.textures, d3d.surfaces, d3d.vertexBuffers,
            gdi.deviceContexts, gdi.fonts,   gdi.bitmaps,  gdi.brushes};
}
