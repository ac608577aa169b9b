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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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

[[noreturn]] void Usage(const char* what) {
    std::fprintf(stderr, "frame_compare: %s\n", what);
    std::exit(2);
}

Image ReadPng(const char* file) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    Image image;
    if (png_image_begin_read_from_file(&png, file) != 0) {
        png.format = PNG_FORMAT_BGRA;
        image.w = static_cast<int>(png.width);
        image.h = static_cast<int>(png.height);
        image.px.resize(static_cast<size_t>(image.w) * image.h);
        if (png_image_finish_read(&png, nullptr, image.px.data(), 0, nullptr) != 0) return image;
    }
    png_image_free(&png);
    Usage((std::string("cannot read ") + file).c_str());
}

// 32-bit BI_RGB, bottom-up, as the text renderer writes it.
Image ReadBmp(const char* file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    auto le32 = [&](size_t at) {
        return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 32) {
        Usage((std::string("not a 32-bit bitmap: ") + file).c_str());
    }
    Image image{le32(18), le32(22), {}};
    if (image.w <= 0 || image.h <= 0 || bytes.size() < 54 + 4ull * image.w * image.h) {
        Usage((std::string("cut short: ") + file).c_str());
    }
    image.px.resize(static_cast<size_t>(image.w) * image.h);
    for (int y = 0; y < image.h; ++y) {
        std::memcpy(&image.px[static_cast<size_t>(y) * image.w],
                    &bytes[54 + 4ull * image.w * (image.h - 1 - y)], 4ull * image.w);
    }
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
    const Image* image = nullptr;
    int cellW = 0;
    int cellH = 0;
    // The text renderer never uses a row's last cell that would end at the right edge.
    int PerRow() const { return std::max(1, (image->w + cellW - 1) / cellW - 1); }
    int Cells() const { return PerRow() * (image->h / cellH); }
    uint32_t Texel(int cell, int x, int y) const {
        return image->At(cell % PerRow() * cellW + x, cell / PerRow() * cellH + y);
    }
    bool Empty(int cell) const {
        for (int y = 0; y < cellH; ++y)
            for (int x = 0; x < cellW; ++x)
                if (Texel(cell, x, y) != 0) return false;
        return true;
    }
};

// What a frame-rate cell shows.
constexpr int kUntouched = -1;
constexpr int kExempt = -2;  // a glyph quad whose pixels nothing here predicts

class FrameCheck {
public:
    FrameCheck(const Image& shot, const Image& ref, int cellW, int cellH)
        : shot_(shot),
          ref_(ref),
          cellW_(cellW),
          cellH_(cellH),
          cells_(kFrameW / cellW, kUntouched) {
        sx_.resize(shot.w);
        sy_.resize(shot.h);
        for (int x = 0; x < shot.w; ++x) sx_[x] = {x, x};
        for (int y = 0; y < shot.h; ++y) sy_[y] = {y, y};
    }

    void Scale(int left, int top, int w, int h, bool surface) {
        left_ = left, top_ = top, width_ = w, height_ = h;
        auto axis = [&](std::vector<Span>& map, int start, int size, int frameSize) {
            // SDL steps through the source in 16.16 fixed point from half a step.
            const uint32_t step = (static_cast<uint32_t>(frameSize) << 16) / size;
            for (int i = 0; i < size; ++i) {
                const int centre2 = (2 * i + 1) * frameSize;  // twice the centre, in texels
                int near = centre2 / (2 * size);
                int other = centre2 % (2 * size) == 0 && near > 0 ? near - 1 : near;
                if (surface) near = other = static_cast<int>((step / 2 + i * step) >> 16);
                map[start + i] = {near, other};
            }
        };
        axis(sx_, left, w, kFrameW);
        axis(sy_, top, h, kFrameH);
    }
    void Slack(int dx, int dy, int tolerance) { dx_ = dx, dy_ = dy, tolerance_ = tolerance; }
    void UseAtlas(const Atlas& atlas) { atlas_ = &atlas; }

    int Run() {
        for (size_t cell = 0; cell < cells_.size(); ++cell) {
            if (cell > 0 && cells_[cell - 1] == kUntouched) break;
            ResolveCell(static_cast<int>(cell));
        }
        if (cells_[0] == kUntouched) Report("no frame-rate text in the top-left cell");
        for (int y = 0; y < shot_.h; ++y)
            for (int x = 0; x < shot_.w; ++x)
                if (!PixelOk(x, y, -1)) Mismatch(x, y);
        if (problems_ > 0) std::printf("%d pixels wrong\n", problems_);
        return problems_ > 0 ? 1 : 0;
    }

private:
    struct Span {
        int a, b;  // the frame positions a screen pixel may show (equal when only one)
    };
    bool InPicture(int x, int y) const {
        return x >= left_ && y >= top_ && x < left_ + width_ && y < top_ + height_;
    }
    int CellOf(int fx, int fy) const { return fy < cellH_ ? fx / cellW_ : -1; }

    uint32_t Expected(int fx, int fy) const {
        const uint32_t under = ref_.At(fx, fy) & 0xFFFFFF;
        const int cell = CellOf(fx, fy);
        if (cell < 0 || cell >= static_cast<int>(cells_.size()) || cells_[cell] < 0) return under;
        const uint32_t texel = atlas_->Texel(cells_[cell], fx % cellW_, fy);
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

    bool Close(uint32_t expected, uint32_t seen) const {
        for (int shift = 0; shift < 24; shift += 8) {
            const int e = (expected >> shift) & 0xFF, s = (seen >> shift) & 0xFF;
            if (e - s > tolerance_ || s - e > tolerance_) return false;
        }
        return true;
    }

    // Whether screen pixel (x, y) is right; with onlyCell >= 0, pixels that could show
    // anything outside that frame-rate cell are taken as right.
    bool PixelOk(int x, int y, int onlyCell) const {
        const uint32_t seen = shot_.At(x, y) & 0xFFFFFF;
        if (!InPicture(x, y)) return onlyCell >= 0 || seen == 0;
        const Span xs = sx_[x], ys = sy_[y];
        if (onlyCell >= 0) {
            for (int fx : {xs.a, xs.b})
                for (int fy : {ys.a, ys.b})
                    if (CellOf(fx, fy) != onlyCell) return true;
        }
        const int home = CellOf(xs.a, ys.a);
        if (home >= 0 && home < static_cast<int>(cells_.size()) && cells_[home] == kExempt)
            return true;
        for (int fx : {xs.a, xs.b, xs.a + dx_})
            for (int fy : {ys.a, ys.b, ys.a + dy_})
                if (fx >= 0 && fy >= 0 && fx < kFrameW && fy < kFrameH &&
                    Close(Expected(fx, fy), seen))
                    return true;
        return false;
    }

    bool CellMatches(int cell) const {
        for (int y = 0; y < shot_.h; ++y) {
            if (sy_[y].a >= cellH_ && sy_[y].b >= cellH_) break;
            for (int x = 0; x < shot_.w; ++x)
                if (!PixelOk(x, y, cell)) return false;
        }
        return true;
    }

    void ResolveCell(int cell) {
        cells_[cell] = kUntouched;
        if (CellMatches(cell)) return;
        for (int glyph = 0; atlas_ != nullptr && glyph < atlas_->Cells() && !atlas_->Empty(glyph);
             ++glyph) {
            cells_[cell] = glyph;
            if (CellMatches(cell)) return;
        }
        // Without an atlas a changed cell is a glyph quad; with one, it matches none.
        cells_[cell] = atlas_ == nullptr ? kExempt : kUntouched;
        if (atlas_ != nullptr)
            Report("frame-rate cell " + std::to_string(cell) + " shows no glyph of the atlas");
    }

    void Report(const std::string& what) {
        std::printf("%s\n", what.c_str());
        ++problems_;
    }
    void Mismatch(int x, int y) {
        if (++problems_ > 5) return;
        const bool inside = InPicture(x, y);
        std::printf("(%d,%d) is %06X, expected %06X\n", x, y, shot_.At(x, y) & 0xFFFFFF,
                    inside ? Expected(sx_[x].a, sy_[y].a) : 0u);
    }

    const Image& shot_;
    const Image& ref_;
    int cellW_, cellH_;
    std::vector<int> cells_;
    std::vector<Span> sx_, sy_;
    int left_ = 0, top_ = 0, width_ = kFrameW, height_ = kFrameH;  // the picture on screen
    int dx_ = 0, dy_ = 0, tolerance_ = 0;
    const Atlas* atlas_ = nullptr;
    int problems_ = 0;
};

int CheckAtlas(const Atlas& atlas, int count) {
    const Image& image = *atlas.image;
    const int rows = image.h / atlas.cellH;
    std::vector<bool> inked(count);
    int problems = 0;
    for (int y = 0; y < image.h; ++y) {
        for (int x = 0; x < image.w; ++x) {
            const int col = x / atlas.cellW, row = y / atlas.cellH;
            const int cell = col < atlas.PerRow() && row < rows ? row * atlas.PerRow() + col : -1;
            const uint32_t texel = image.At(x, y);
            if (texel == 0) continue;
            if (cell >= 0 && cell < count && (texel & 0xFFFFFF) == 0xFFFFFF) {
                inked[cell] = true;
            } else if (++problems <= 5) {
                std::printf("(%d,%d) in cell %d is %08X, expected %s\n", x, y, cell, texel,
                            cell >= 0 && cell < count ? "white coverage" : "empty");
            }
        }
    }
    for (int cell = 0; cell < count; ++cell) {
        if (!inked[cell] && ++problems <= 5)
            std::printf("cell %d is empty, expected a glyph\n", cell);
    }
    if (problems > 0) std::printf("%d problems in the atlas\n", problems);
    return problems > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "atlas") == 0) {
        const Image image = ReadBmp(argv[2]);
        const std::vector<int> cell = Numbers(argv[3], 2);
        return CheckAtlas({&image, cell[0], cell[1]}, std::atoi(argv[4]));
    }
    if (argc < 5 || std::strcmp(argv[1], "frame") != 0)
        Usage("usage: frame_compare frame|atlas ...");
    const Image shot = ReadPng(argv[2]);
    const Image ref = ReadPng(argv[3]);
    const std::vector<int> cell = Numbers(argv[4], 2);
    if (ref.w != kFrameW || ref.h != kFrameH) Usage("the reference must be 640 x 480");
    FrameCheck check(shot, ref, cell[0], cell[1]);
    Image atlasImage;
    Atlas atlas;
    bool scaled = false;
    for (int i = 5; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--atlas") == 0) {
            atlasImage = ReadBmp(argv[i + 1]);
            atlas = {&atlasImage, cell[0], cell[1]};
            check.UseAtlas(atlas);
        } else if (std::strcmp(argv[i], "--scaled") == 0) {
            const std::vector<int> r = Numbers(argv[i + 1], 4);
            const char* rule = std::strrchr(argv[i + 1], ',') + 1;
            check.Scale(r[0], r[1], r[2], r[3], std::strcmp(rule, "surface") == 0);
            scaled = true;
        } else if (std::strcmp(argv[i], "--slack") == 0) {
            const std::vector<int> d = Numbers(argv[i + 1], 3);
            check.Slack(d[0], d[1], d[2]);
        } else {
            Usage((std::string("unknown option ") + argv[i]).c_str());
        }
    }
    if (!scaled && (shot.w != kFrameW || shot.h != kFrameH)) {
        std::printf("the picture is %dx%d, expected 640x480\n", shot.w, shot.h);
        return 1;
    }
    return check.Run();
}
