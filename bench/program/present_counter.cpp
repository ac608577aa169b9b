// Loaded with LD_PRELOAD into the Linux program: counts the frames it hands to SDL
// (window surface or renderer) and prints the rate once a second on standard error,
// so a whole-program run can be measured from outside.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>

namespace {

void CountFrame() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point start = Clock::now();
    static unsigned frames = 0;
    ++frames;
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    if (elapsed.count() >= 1.0) {
        std::fprintf(stderr, "presents: %.1f fps\n", frames / elapsed.count());
        frames = 0;
        start = Clock::now();
    }
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int SDL_UpdateWindowSurface(void* window) {
    static const auto next = Next<int (*)(void*)>("SDL_UpdateWindowSurface");
    CountFrame();
    return next(window);
}

extern "C" void SDL_RenderPresent(void* renderer) {
    static const auto next = Next<void (*)(void*)>("SDL_RenderPresent");
    CountFrame();
    next(renderer);
}
