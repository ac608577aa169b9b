// Drives the shell through any sequence of events (shell_events.h) and aborts with
// the list of events when an invariant breaks. Given input files instead of a
// corpus directory, it prints each input's list before running it, so that a
// crash found by the sanitizers can be read back as events.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_working_directory.h"
#include "shell_events.h"

namespace {

bool printEvents = false;
std::filesystem::path scratch;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    for (int i = 1; i < *argc; ++i) {
        const char* argument = (*argv)[i];
        if (argument[0] != '-' && std::filesystem::is_regular_file(argument)) printEvents = true;
    }
    // Memory-backed where possible: every reset writes the 4 MiB glyph dump. Entered
    // only while an input runs: libFuzzer resolves its paths in the starting directory.
    const std::filesystem::path assets = CORVANE_ASSETS_DIR;
    const std::filesystem::path start = std::filesystem::current_path();
    static ScratchWorkingDirectory directory{assets / "Kai_Orisa05.png", assets / "Velmo_Grid.png",
                                             assets / "TBX_Cursor.png"};
    scratch = directory.path();
    std::filesystem::current_path(start);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto events = shell_events::Decode(data, size);
    if (printEvents) std::fprintf(stderr, "%s", shell_events::Describe(events).c_str());
    const std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::current_path(scratch);
    const std::string broken = shell_events::Run(events);
    std::filesystem::current_path(start);
    if (!broken.empty()) {
        if (!printEvents) std::fprintf(stderr, "%s", shell_events::Describe(events).c_str());
        std::fprintf(stderr, "%s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
