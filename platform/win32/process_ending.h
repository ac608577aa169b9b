// Endings that come from outside the program: a termination signal, and an X
// display that goes away. Internal to the win32 family and the program's entry.
#pragma once

#include <functional>

namespace platform::win32 {

// SIGTERM and SIGINT become the close box's WM_CLOSE for the program's window; a
// second one, while the first is being served, ends the process at once.
void CloseOnTerminationSignals();
// Called by the message queue: posts the WM_CLOSE a signal asked for, once.
void DeliverSignalledClose();
// Runs `wait`, a modal box's wait for its answer, which SDL spends waiting for the
// child process that shows the box. A termination signal (before or meanwhile)
// ends this process's children, so that the wait returns; true when one came.
bool WaitUnlessTerminated(const std::function<void()>& wait);

// When SDL runs on X: a broken connection to the display ends the process with a
// line on standard error, before anything could call into SDL or Xlib again.
void EndWhenDisplayIsLost();

}  // namespace platform::win32
