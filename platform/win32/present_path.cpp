// No Windows function: how frames reach the screen, decided once when SDL video starts.
#include "win32/present_path.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

namespace platform::win32 {
namespace {

std::optional<PresentPath> decided;

bool HasGpuDeviceNodes() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) return true;
    }
    return std::filesystem::exists("/dev/nvidiactl", error);
}

// A hidden window with a GL context, asked for its renderer and closed again.
std::string ProbeGlRenderer() {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    if (window == nullptr) return {};
    std::string name;
    if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
        using GetString = const unsigned char* (*)(unsigned int);
        constexpr unsigned int kGlRenderer = 0x1F01;
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        if (const unsigned char* text = getString != nullptr ? getString(kGlRenderer) : nullptr) {
            name = reinterpret_cast<const char*>(text);
        }
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
    return name;
}

}  // namespace

PresentPath ChoosePresentPath(const PresentPathInputs& inputs) {
    if (inputs.forced != nullptr && std::strcmp(inputs.forced, "gpu") == 0) {
        return PresentPath::GpuRenderer;
    }
    if (inputs.forced != nullptr && std::strcmp(inputs.forced, "surface") == 0) {
        return PresentPath::WindowSurface;
    }
    if (inputs.framebufferHintSet || !inputs.gpuDeviceNodes || !inputs.probeGlRenderer) {
        return PresentPath::WindowSurface;
    }
    const std::string renderer = inputs.probeGlRenderer();
    return renderer.empty() || IsSoftwareGlRenderer(renderer) ? PresentPath::WindowSurface
                                                              : PresentPath::GpuRenderer;
}

bool IsSoftwareGlRenderer(std::string_view rendererName) {
    std::string lower(rendererName);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* software :
         {"llvmpipe", "softpipe", "swrast", "software rasterizer", "basic render driver"}) {
        if (lower.find(software) != std::string::npos) return true;
    }
    return false;
}

void DecidePresentPath() {
    if (decided) return;
    PresentPathInputs inputs;
    inputs.forced = std::getenv("CORVANE_PRESENT");
    inputs.framebufferHintSet = std::getenv("SDL_FRAMEBUFFER_ACCELERATION") != nullptr;
    inputs.gpuDeviceNodes = HasGpuDeviceNodes();
    inputs.probeGlRenderer = ProbeGlRenderer;
    decided = ChoosePresentPath(inputs);
}

PresentPath ActivePresentPath() { return decided.value_or(PresentPath::WindowSurface); }

}  // namespace platform::win32
