// How frames reach the screen, decided once when SDL video starts. Internal to the
// platform layer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform::win32 {

enum class PresentPath {
    // The window's memory: shared-memory images of the layer's own on X, SDL's
    // window surface elsewhere; the fastest way without a GPU.
    WindowSurface,
    // An accelerated SDL renderer: the back buffer is uploaded as a texture and
    // the GPU scales it over the client area.
    GpuRenderer,
};

struct PresentPathInputs {
    // CORVANE_PRESENT: "gpu" or "surface" forces a path; anything else is ignored.
    const char* forced = nullptr;
    // The user set SDL_FRAMEBUFFER_ACCELERATION: SDL's window surface does as told.
    bool framebufferHintSet = false;
    // The machine has a GPU device node at all; without one there is nothing to probe.
    bool gpuDeviceNodes = false;
    // The OpenGL renderer's name, empty when no context can be made. Called only
    // when the answer decides the path: a probe costs tens of milliseconds.
    std::function<std::string()> probeGlRenderer;
};

PresentPath ChoosePresentPath(const PresentPathInputs& inputs);

// Renderers that run on the CPU: a GPU path through them is slower than the
// shared-memory surface.
bool IsSoftwareGlRenderer(std::string_view rendererName);

// Decides the path for this process from the environment and the machine; SDL
// video must be running. Later calls keep the first answer.
void DecidePresentPath();
PresentPath ActivePresentPath();

}  // namespace platform::win32
