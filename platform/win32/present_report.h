// What the tests and benchmarks see of presenting, when CORVANE_PRESENT_REPORT names
// a file: the path frames take, on standard error whenever it changes, and the count
// of frames shown so far with that path, rewritten in the file after each one.
// Internal to the platform layer.
#pragma once

#include "win32/present_path.h"

namespace platform::win32 {

// One frame reached the screen through `path`. Nothing without the variable.
void ReportPresented(PresentPath path);

}  // namespace platform::win32
