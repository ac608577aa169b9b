// A rasterised pixel (blue, green, red, alpha) becomes white whose alpha is the
// mean of its three colour channels, so sub-pixel colour fringes turn into plain
// coverage. Black stays fully transparent.
#pragma once

#include <windows.h>

inline void ConvertToCoverage(BYTE* pixel) {
    const int sum = pixel[0] + pixel[1] + pixel[2];
    if (sum == 0) {
        return;
    }
    pixel[0] = 255;
    pixel[1] = 255;
    pixel[2] = 255;
    pixel[3] = static_cast<BYTE>(sum / 3);
}
