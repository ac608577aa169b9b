#pragma once

#include <windows.h>
#include <d3d9.h>

// What the staging and final textures of one image are created from.
struct ImageInfo {
    UINT width;
    UINT height;
    INT bitsPerPixel;  // of the source image; creation does not use it
    INT levels;
    D3DFORMAT format;
};
