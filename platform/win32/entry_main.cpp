// main, which calls WinMain: the process entry of a Windows GUI program on Linux.
#include <windows.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/process_ending.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

// WinMain receives the arguments after the program name as one line, each one
// quoted when it holds a space.
int main(int argc, char** argv) {
    // Without a display the program would run unseen; a driver chosen on purpose
    // (SDL_VIDEODRIVER=dummy for tests) is taken at its word.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("SDL_VIDEODRIVER")) {
        std::fprintf(stderr,
                     "%s: no display: neither DISPLAY nor WAYLAND_DISPLAY is set (scripts/run "
                     "starts a virtual one)\n",
                     program_invocation_short_name);
        return 1;
    }
    platform::win32::CloseOnTerminationSignals();
    // A write to an X server that went away must fail rather than kill the process,
    // so that the lost-display handler can say which display it was.
    std::signal(SIGPIPE, SIG_IGN);

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!commandLine.empty()) {
            commandLine += ' ';
        }
        commandLine += argument.find(' ') != std::string::npos ? '"' + argument + '"' : argument;
    }
    return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
