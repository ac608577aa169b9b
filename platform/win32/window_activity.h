// Focus and minimised state, changed by the window system or by tests. Internal to
// the win32 family.
#pragma once

#include "win32/window_registry.h"

namespace platform::win32 {

void SetFocusState(WindowRecord& record, bool focused);
void SetMinimisedState(WindowRecord& record, bool minimised);

}  // namespace platform::win32
