#include "scene/frame_rate_text.h"

#include <sstream>

std::wstring FrameRateText(float averageSecondsPerFrame) {
    // Before the first sample the mean is 0 and its reciprocal is not finite: the
    // figure is 0 then. A mean so small that the rate exceeds every int (or the
    // reciprocal overflows) shows the largest int; neither case is ever converted.
    int figure = 0;
    if (averageSecondsPerFrame > 0.0f) {
        const float framesPerSecond = 1.0f / averageSecondsPerFrame;
        figure = framesPerSecond < 2147483648.0f ? static_cast<int>(framesPerSecond) : 2147483647;
    }
    std::wostringstream text;
    text << figure;
    return text.str();
}
