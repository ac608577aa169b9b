// Loaded with LD_PRELOAD: a window system that refuses every full-screen switch.
typedef struct SDL_Window SDL_Window;

int SDL_SetWindowFullscreen(SDL_Window* window, unsigned int flags) {
    (void)window;
    (void)flags;
    return -1;
}
