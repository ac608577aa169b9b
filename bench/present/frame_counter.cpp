// Counts the frames a program shows, for bench/present_fps.sh: loaded with LD_PRELOAD,
// it sees every SDL_UpdateWindowSurface and SDL_RenderPresent the program calls (SDL's
// own calls between its functions do not pass here) and every XShmPutImage made
// outside them (SDL's own puts would count a frame twice). After
// FRAME_COUNT_SECONDS of frames it writes "frames seconds first-frame-ms cpu-seconds"
// to FRAME_COUNT_OUT and ends the process; first-frame-ms counts from
// FRAME_COUNT_LAUNCHED, the launch time in seconds on the realtime clock, and
// cpu-seconds is the process's processor time over the counted frames.
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double Now(clockid_t clock = CLOCK_REALTIME) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Setting(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atof(text) : fallback;
}

void CountFrame() {
    static const double launched = Setting("FRAME_COUNT_LAUNCHED", Now());
    static const double seconds = Setting("FRAME_COUNT_SECONDS", 10);
    static double first = 0;
    static double firstCpu = 0;
    static long frames = 0;
    const double now = Now();
    if (frames++ == 0) {
        first = now;
        firstCpu = Now(CLOCK_PROCESS_CPUTIME_ID);
    }
    if (now - first < seconds) return;
    if (const char* path = std::getenv("FRAME_COUNT_OUT")) {
        if (FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "%ld %.3f %.1f %.3f\n", frames - 1, now - first,
                         (first - launched) * 1e3, Now(CLOCK_PROCESS_CPUTIME_ID) - firstCpu);
            std::fclose(out);
        }
    }
    _exit(0);
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

thread_local bool insideSdlPresent = false;

// Calls SDL's `name` with the frame's own puts left uncounted, then counts the frame.
template <typename Function, typename... Arguments>
auto CountedSdlPresent(const char* name, Arguments... arguments) {
    static const auto next = Next<Function>(name);
    insideSdlPresent = true;
    struct Done {
        ~Done() {
            insideSdlPresent = false;
            CountFrame();
        }
    } done;
    return next(arguments...);
}

}  // namespace

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    return CountedSdlPresent<int (*)(SDL_Window*)>("SDL_UpdateWindowSurface", window);
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    CountedSdlPresent<void (*)(SDL_Renderer*)>("SDL_RenderPresent", renderer);
}

extern "C" Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX,
                             int sourceY, int x, int y, unsigned width, unsigned height,
                             Bool sendEvent) {
    using Put =
        Bool (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool);
    static const auto next = Next<Put>("XShmPutImage");
    const Bool result =
        next(display, drawable, gc, image, sourceX, sourceY, x, y, width, height, sendEvent);
    if (!insideSdlPresent) CountFrame();
    return result;
}
