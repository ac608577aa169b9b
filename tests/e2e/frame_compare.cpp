// Compares what the program showed with what it should show, pixel by pixel.
//
//   frame_compare frame SHOT.png REF.png CELL_W,CELL_H [options]
//     SHOT is the client area (640 x 480) or, with --scaled, the whole screen. REF is
//     the composited board, piece and cursor. The frame-rate text's cells run from
//     the top-left corner: each is either REF untouched or, from the left and at least
//     one, a glyph quad; with --atlas each glyph must be an atlas cell blended over REF
//     exactly as the device blends, without it the quads' own rectangles are exempt.
//     Every other pixel must equal REF.
//     --atlas FILE.bmp          the glyph atlas the quads come from
//     --scaled L,T,W,H,RULE     the frame is scaled into that rectangle of the screen
//                               and the rest is black; RULE "surface" is SDL's own
//                               nearest-neighbour stretch, "gpu" a texel centre lying
//                               exactly between two texels may take either
//     --slack DX,DY,T           a pixel may instead show REF's pixel DX and/or DY over,
//                               and differ from what it shows by T in each channel
//   frame_compare atlas FILE.bmp CELL_W,CELL_H COUNT
//     The first COUNT cells of the atlas each hold a glyph of white coverage, and
//     every other pixel is empty.
// Prints the first mismatches; exits 0 when nothing is wrong, 1 when something is,
// 2 on an unreadable file or a bad argument.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFrameW = 640;
constexpr int kFrameH = 480;

struct Image {
    int w = 0;
    int h = 0;
    std::vector<uint32_t> px;  // 0xAARRGGBB
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

[[noreturn]] void Usage(const std::string& what) {
    std::fprintf(stderr, "frame_compare: %s\n", what.c_str());
    std::exit(2);
}

Image ReadPng(const char* file) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, file) != 0) {
        png.format = PNG_FORMAT_BGRA;
        Image image{static_cast<int>(png.width), static_cast<int>(png.height), {}};
        image.px.resize(static_cast<size_t>(image.w) * image.h);
        if (png_image_finish_read(&png, nullptr, image.px.data(), 0, nullptr) != 0) return image;
    }
    png_image_free(&png);
    Usage(std::string("cannot read ") + file);
}

// 32-bit BI_RGB, bottom-up, as the text renderer writes it.
Image ReadBmp(const char* file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    auto le32 = [&](size_t at) {
        return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 32)
        Usage(std::string("not a 32-bit bitmap: ") + file);
    Image image{le32(18), le32(22), {}};
    if (image.w <= 0 || image.h <= 0 || bytes.size() < 54 + 4ull * image.w * image.h)
        Usage(std::string("cut short: ") + file);
    image.px.resize(static_cast<size_t>(image.w) * image.h);
    for (int y = 0; y < image.h; ++y)
        std::memcpy(&image.px[static_cast<size_t>(y) * image.w],
                    &bytes[54 + 4ull * image.w * (image.h - 1 - y)], 4ull * image.w);
    return image;
}

std::vector<int> Numbers(const char* text, size_t count) {
    std::vector<int> values;
    for (char* end = nullptr; values.size() < count; text = end + (*end == ',' ? 1 : 0)) {
        values.push_back(static_cast<int>(std::strtol(text, &end, 10)));
        if (end == text) Usage("expected numbers separated by commas");
    }
    return values;
}

struct Atlas {
    Image image;
    int cellW = 0;
    int cellH = 0;
    // The text renderer never uses a row's last cell that would end at the right edge.
    int PerRow() const { return std::max(1, (image.w + cellW - 1) / cellW - 1); }
    int Cells() const { return PerRow() * (image.h / cellH); }
    int CellAt(int x, int y) const {  // -1 where no cell is used
        return x / cellW < PerRow() && y / cellH < image.h / cellH
                   ? y / cellH * PerRow() + x / cellW
                   : -1;
    }
    uint32_t Texel(int cell, int x, int y) const {
        return image.At(cell % PerRow() * cellW + x, cell / PerRow() * cellH + y);
    }
    bool Empty(int cell) const {
        for (int i = 0; i < cellW * cellH; ++i)
            if (Texel(cell, i % cellW, i / cellW) != 0) return false;
        return true;
    }
};

// What a frame-rate cell shows, when not a glyph of the atlas.
constexpr int kUntouched = -1;
constexpr int kExempt = -2;  // a glyph quad whose pixels nothing here predicts

// The frame positions each screen pixel of one axis may show (equal when only one).
using Axis = std::vector<std::array<int, 2>>;

// Screen pixels outside [start, start + size) map to themselves; "surface" is SDL's
// stretch, stepping through the source in 16.16 fixed point from half a step.
Axis MapAxis(int screen, int start, int size, int frame, bool surface) {
    Axis map(screen);
    const uint32_t step = (static_cast<uint32_t>(frame) << 16) / size;
    for (int s = 0; s < screen; ++s) {
        const int i = s - start, centre2 = (2 * i + 1) * frame;  // twice the centre, in texels
        int near = centre2 / (2 * size);
        int other = centre2 % (2 * size) == 0 && near > 0 ? near - 1 : near;
        if (surface) near = other = static_cast<int>((step / 2 + i * step) >> 16);
        map[s] = i < 0 || i >= size ? std::array{s, s} : std::array{near, other};
    }
    return map;
}

struct FrameCheck {
    const Image& shot;
    const Image& ref;
    int cellW, cellH;
    std::optional<Atlas> atlas{};
    bool scaled = false, surface = false;
    int left = 0, top = 0, width = kFrameW, height = kFrameH;  // the picture on screen
    int dx = 0, dy = 0, tolerance = 0;
    std::vector<int> cells = std::vector<int>(kFrameW / cellW, kUntouched);
    Axis sx{}, sy{};
    int problems = 0;

    int Run() {
        sx = MapAxis(shot.w, left, width, kFrameW, surface);
        sy = MapAxis(shot.h, top, height, kFrameH, surface);
        for (size_t cell = 0; cell < cells.size() && (cell == 0 || cells[cell - 1] != kUntouched);
             ++cell)
            ResolveCell(static_cast<int>(cell));
        if (cells[0] == kUntouched) std::printf("no frame-rate text in the top-left cell\n");
        problems += cells[0] == kUntouched;
        for (int y = 0; y < shot.h; ++y)
            for (int x = 0; x < shot.w; ++x)
                if (!PixelOk(x, y, -1) && ++problems <= 5)
                    std::printf("(%d,%d) is %06X, expected %06X\n", x, y, shot.At(x, y) & 0xFFFFFF,
                                InPicture(x, y) ? Expected(sx[x][0], sy[y][0]) : 0u);
        if (problems > 0) std::printf("%d pixels wrong\n", problems);
        return problems > 0 ? 1 : 0;
    }

    bool InPicture(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    int CellOf(int fx, int fy) const {
        return fy < cellH && fx / cellW < static_cast<int>(cells.size()) ? fx / cellW : -1;
    }

    uint32_t Expected(int fx, int fy) const {
        const uint32_t under = ref.At(fx, fy) & 0xFFFFFF;
        const int cell = CellOf(fx, fy);
        const uint32_t texel =
            cell < 0 || cells[cell] < 0 ? 0 : atlas->Texel(cells[cell], fx % cellW, fy);
        const uint32_t a = texel >> 24;
        if (a == 0) return under;  // the alpha test drops it
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t blended =
                ((texel >> shift) & 0xFF) * a + ((under >> shift) & 0xFF) * (255 - a) + 128;
            out |= ((blended + (blended >> 8)) >> 8) << shift;
        }
        return out;
    }

    // Whether screen pixel (x, y) is right; with onlyCell >= 0, pixels that could show
    // anything outside that frame-rate cell are taken as right.
    bool PixelOk(int x, int y, int onlyCell) const {
        const uint32_t seen = shot.At(x, y) & 0xFFFFFF;
        if (!InPicture(x, y)) return onlyCell >= 0 || seen == 0;
        const auto [xa, xb] = sx[x];
        const auto [ya, yb] = sy[y];
        for (int fx : {xa, xb})
            for (int fy : {ya, yb})
                if (onlyCell >= 0 && CellOf(fx, fy) != onlyCell) return true;
        const int home = CellOf(xa, ya);
        if (home >= 0 && cells[home] == kExempt) return true;
        auto close = [&](uint32_t expected) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int e = (expected >> shift) & 0xFF, s = (seen >> shift) & 0xFF;
                if (e - s > tolerance || s - e > tolerance) return false;
            }
            return true;
        };
        for (int fx : {xa, xb, xa + dx})
            for (int fy : {ya, yb, ya + dy})
                if (fx >= 0 && fy >= 0 && fx < kFrameW && fy < kFrameH && close(Expected(fx, fy)))
                    return true;
        return false;
    }

    bool CellMatches(int cell) const {
        for (int y = 0; y < shot.h && (sy[y][0] < cellH || sy[y][1] < cellH); ++y)
            for (int x = 0; x < shot.w; ++x)
                if (!PixelOk(x, y, cell)) return false;
        return true;
    }

    // Tries the cell untouched, then each glyph of the atlas in turn.
    void ResolveCell(int cell) {
        for (int glyph = kUntouched;
             glyph == kUntouched || (atlas && glyph < atlas->Cells() && !atlas->Empty(glyph));
             ++glyph) {
            cells[cell] = glyph;
            if (CellMatches(cell)) return;
        }
        // Without an atlas a changed cell is a glyph quad; with one, it matches none.
        cells[cell] = atlas ? kUntouched : kExempt;
        if (atlas) std::printf("frame-rate cell %d shows no glyph of the atlas\n", cell);
        problems += atlas ? 1 : 0;
    }
};

int CheckAtlas(const Atlas& atlas, int count) {
    std::vector<bool> inked(count);
    int problems = 0;
    for (int y = 0; y < atlas.image.h; ++y) {
        for (int x = 0; x < atlas.image.w; ++x) {
            const int cell = atlas.CellAt(x, y);
            const bool glyph = cell >= 0 && cell < count;
            const uint32_t texel = atlas.image.At(x, y);
            if (texel != 0 && glyph && (texel & 0xFFFFFF) == 0xFFFFFF)
                inked[cell] = true;
            else if (texel != 0 && ++problems <= 5)
                std::printf("(%d,%d) in cell %d is %08X, expected %s\n", x, y, cell, texel,
                            glyph ? "white coverage" : "empty");
        }
    }
    for (int cell = 0; cell < count; ++cell)
        if (!inked[cell] && ++problems <= 5)
            std::printf("cell %d is empty, expected a glyph\n", cell);
    if (problems > 0) std::printf("%d problems in the atlas\n", problems);
    return problems > 0 ? 1 : 0;
}

using Apply = void (*)(FrameCheck&, const std::vector<int>&, const char*);
struct Option {
    const char* name;
    size_t numbers;
    Apply apply;
};
// clang-format off
const Option kOptions[] = {
    {"--atlas", 0, [](FrameCheck& c, const std::vector<int>&, const char* file) {
         c.atlas = Atlas{ReadBmp(file), c.cellW, c.cellH}; }},
    {"--scaled", 4, [](FrameCheck& c, const std::vector<int>& n, const char* arg) {
         c.scaled = true, c.left = n[0], c.top = n[1], c.width = n[2], c.height = n[3];
         c.surface = std::strcmp(std::strrchr(arg, ',') + 1, "surface") == 0; }},
    {"--slack", 3, [](FrameCheck& c, const std::vector<int>& n, const char*) {
         c.dx = n[0], c.dy = n[1], c.tolerance = n[2]; }},
};
// clang-format on

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || (std::strcmp(argv[1], "frame") != 0 && std::strcmp(argv[1], "atlas") != 0))
        Usage("usage: frame_compare frame|atlas ...");
    const std::vector<int> cell = Numbers(argv[argv[1][0] == 'a' ? 3 : 4], 2);
    if (argv[1][0] == 'a')
        return CheckAtlas({ReadBmp(argv[2]), cell[0], cell[1]}, std::atoi(argv[4]));
    const Image shot = ReadPng(argv[2]);
    const Image ref = ReadPng(argv[3]);
    if (ref.w != kFrameW || ref.h != kFrameH) Usage("the reference must be 640 x 480");
    FrameCheck check{shot, ref, cell[0], cell[1]};
    for (int i = 5; i + 1 < argc; i += 2) {
        const auto option =
            std::find_if(std::begin(kOptions), std::end(kOptions),
                         [&](const Option& o) { return std::strcmp(o.name, argv[i]) == 0; });
        if (option == std::end(kOptions)) Usage(std::string("unknown option ") + argv[i]);
        option->apply(check, Numbers(argv[i + 1], option->numbers), argv[i + 1]);
    }
    if (!check.scaled && (shot.w != kFrameW || shot.h != kFrameH)) {
        std::printf("the picture is %dx%d, expected 640x480\n", shot.w, shot.h);
        return 1;
    }
    return check.Run();
}
