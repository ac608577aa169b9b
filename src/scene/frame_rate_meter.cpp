#include "scene/frame_rate_meter.h"

#include <mmsystem.h>

FrameRateMeter::FrameRateMeter() {
    TIMECAPS caps = {};
    timeGetDevCaps(&caps, sizeof(caps));
    timeBeginPeriod(caps.wPeriodMin);

    maxIntervalMs = 100;
    sampleCount = kSampleSlots;
    lastTime = timeGetTime();
    framesSinceSample = 0;
    ringPos = 0;
    for (DWORD slot = 0; slot < kSampleSlots; ++slot) {
        samples[slot] = 0.0f;
    }
    average = 0.0f;
}

void FrameRateMeter::Update() {
    ++framesSinceSample;
    const DWORD now = timeGetTime();
    DWORD elapsed = now - lastTime;  // unsigned, so a wrapped clock still subtracts right
    if (elapsed == 0) {
        return;
    }
    if (elapsed > maxIntervalMs) {
        elapsed = maxIntervalMs;
    }
    samples[ringPos] = static_cast<float>(static_cast<double>(elapsed) /
                                          (static_cast<double>(framesSinceSample) * 1000.0));
    framesSinceSample = 0;
    ++ringPos;
    if (ringPos == sampleCount) {
        ringPos = 0;
    }

    float sum = 0.0f;
    for (DWORD slot = 0; slot < kSampleSlots; ++slot) {
        sum += samples[slot];
    }
    average = sum / static_cast<float>(sampleCount);
    lastTime = now;
}
