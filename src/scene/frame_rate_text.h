// The frame-rate figure as drawn: the reciprocal of the mean seconds per frame, cut
// to an integer, in decimal.
#pragma once

#include <string>

std::wstring FrameRateText(float averageSecondsPerFrame);
