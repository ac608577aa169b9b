#include "scene/frame_rate_text.h"

#include <cmath>
#include <sstream>

std::wstring FrameRateText(float averageSecondsPerFrame) {
    const float framesPerSecond = 1.0f / averageSecondsPerFrame;
    // Before the first sample the mean is 0 and the rate has no finite value; a rate
    // beyond any int would overflow the conversion. Show 0 for the first and cap
    // the second rather than convert either.
    int figure = 0;
    if (averageSecondsPerFrame > 0.0f && std::isfinite(framesPerSecond)) {
        figure = framesPerSecond < 2147483648.0f ? static_cast<int>(framesPerSecond) : 2147483647;
    }
    std::wostringstream text;
    text << figure;
    return text.str();
}
