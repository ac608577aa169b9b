// Event sequences for the shell: the bytes of a fuzz input decoded into keys,
// frame steps, ways to close, signals, device loss and injected failures, run on
// a real AppWindow over the platform layer as WinMain runs it, with the
// invariants that must hold after every event and after the shutdown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shell_events {

enum class Kind : uint8_t {
    Key,               // a: key (Key below), b: flags (KeyFlag)
    FrameSteps,        // a: turns of WinMain's loop, 1 to 4
    CloseBox,          // the window system's close button
    CloseMessage,      // WM_CLOSE posted to the window
    Signal,            // a: 0 SIGTERM, 1 SIGINT
    Focus,             // a: 1 gained, 0 lost
    Minimise,          // a: 1 minimised, 0 restored
    LoseDevice,        // Present and TestCooperativeLevel report the device lost
    RestoreDevice,     // the lost device can be reset
    RefuseFullScreen,  // a: the window system refuses the next a switches
    FailD3D,           // a: call, b: result (index into the results), c: count - 1, 7 for ever
    FailGdi,           // a: call, b: count
    FailAllocations,   // a: the next a guarded allocations fail
    Count,
};

// The keys a sequence can press: the program's own, then keys it ignores.
enum Key : uint8_t {
    kEnter,
    kEscape,
    kSpace,
    kLeft,
    kUp,
    kRight,
    kDown,
    kF1,
    kKeypadEnter,
    kLetterA,
    kF2,
    kF10,
    kTab,
    kBackspace,
    kLeftAlt,
    kUnmapped,
    kKeyCount,
};
enum KeyFlag : uint8_t { kRepeat = 1, kAltHeld = 2, kRelease = 4 };

struct Event {
    Kind kind;
    uint8_t a = 0;
    uint8_t b = 0;
    uint8_t c = 0;
};

// Every byte string is a sequence: one byte picks the event, the next one or two
// its arguments (missing ones read as 0). Sequences are capped so that each runs in
// milliseconds.
std::vector<Event> Decode(const uint8_t* data, size_t size);

// One numbered line per event.
std::string Describe(const std::vector<Event>& events);

// Runs the sequence in the working directory (which needs the program's images to
// load them) and shuts down as WinMain does; the first broken invariant, with the
// event after which it broke, or empty when all held.
std::string Run(const std::vector<Event>& events);

}  // namespace shell_events
