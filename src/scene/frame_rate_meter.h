// Running mean of seconds per frame over the last 15 samples of the millisecond clock.
#pragma once

#include <windows.h>

class FrameRateMeter {
public:
    static constexpr DWORD kSampleSlots = 15;

    FrameRateMeter();

    // Once per rendered frame, before anything is drawn.
    void Update();

    DWORD maxIntervalMs;
    DWORD sampleCount;
    DWORD lastTime;
    DWORD framesSinceSample;
    DWORD ringPos;
    float samples[kSampleSlots];
    float average;
};
