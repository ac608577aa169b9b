// The program's scene drawn by SDL2's own software renderer into a 640 x 480 window
// and shown through the window surface, as fast as it goes: the peer that
// bench/present_fps.sh holds the real program against. It reads the program's three
// images from the current directory and runs until the frame counter ends it (or
// the window is closed).
#include <SDL.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// A PNG as an ARGB8888 texture with alpha blending; null when it cannot be read.
SDL_Texture* LoadPng(SDL_Renderer* renderer, const char* path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) return nullptr;
    image.format = PNG_FORMAT_BGRA;  // memory order of ARGB8888 on little-endian
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return nullptr;
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                          static_cast<int>(image.width), static_cast<int>(image.height));
    if (texture == nullptr) return nullptr;
    SDL_UpdateTexture(texture, nullptr, pixels.data(), static_cast<int>(image.width) * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

// The frame-rate text's stand-in: a 1024 x 1024 atlas whose first two 40 x 40 cells
// hold white glyph coverage, as the program's glyph atlas does.
SDL_Texture* MakeAtlas(SDL_Renderer* renderer) {
    std::vector<uint32_t> texels(1024 * 1024, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            texels[y * 1024 + x] = (static_cast<uint32_t>((x % 40) * 6) << 24) | 0xFFFFFFu;
    SDL_Texture* atlas =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1024, 1024);
    if (atlas == nullptr) return nullptr;
    SDL_UpdateTexture(atlas, nullptr, texels.data(), 1024 * 4);
    SDL_SetTextureBlendMode(atlas, SDL_BLENDMODE_BLEND);
    return atlas;
}

}  // namespace

int main(int, char**) {
    // As the platform layer does: the window surface in X shared memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("SDL software scene", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 640, 480, 0);
    SDL_Renderer* renderer =
        window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    if (renderer == nullptr) {
        std::fprintf(stderr, "no software renderer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Texture* cell = LoadPng(renderer, "Velmo_Grid.png");
    SDL_Texture* piece = LoadPng(renderer, "Kai_Orisa05.png");
    SDL_Texture* cursor = LoadPng(renderer, "TBX_Cursor.png");
    SDL_Texture* atlas = MakeAtlas(renderer);
    if (!cell || !piece || !cursor || !atlas) {
        std::fprintf(stderr, "images missing: %s\n", SDL_GetError());
        return 1;
    }
    const SDL_Rect whole{0, 0, 64, 64};
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT) running = false;
        SDL_SetRenderDrawColor(renderer, 0x80, 0x80, 0xFF, 0xFF);
        SDL_RenderClear(renderer);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 7; ++col) {
                const SDL_Rect at{16 + 64 * col, 16 + 64 * row, 64, 64};
                SDL_RenderCopy(renderer, cell, &whole, &at);
            }
        const SDL_Rect home{16, 16, 64, 64};
        SDL_RenderCopy(renderer, piece, &whole, &home);
        SDL_RenderCopy(renderer, cursor, &whole, &home);
        for (int glyph = 0; glyph < 2; ++glyph) {
            const SDL_Rect source{40 * glyph, 0, 40, 40}, at{20 * glyph, 0, 40, 40};
            SDL_RenderCopy(renderer, atlas, &source, &at);
        }
        SDL_RenderPresent(renderer);
    }
    SDL_Quit();
    return 0;
}
