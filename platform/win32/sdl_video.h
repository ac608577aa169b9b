// SDL's video subsystem, started on first use.
#pragma once

namespace platform::win32 {

// Starts SDL video once (retrying after a failure); false when it cannot start.
bool EnsureSdlVideo();

// True when SDL video runs on a driver that shows windows to a person.
bool HasRealDisplay();

}  // namespace platform::win32
