// Writes the program's three 64 x 64 images into a directory:
//   Velmo_Grid.png   one board cell, opaque, with a dark edge so the grid shows;
//   Kai_Orisa05.png  the piece, a round token whose corners are transparent;
//   TBX_Cursor.png   the cursor, a square frame with a transparent centre.
// Usage: make_assets <output directory>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;

struct Rgba {
    uint8_t r, g, b, a;
};

class Image {
public:
    Image() : pixels_(kSize * kSize, Rgba{0, 0, 0, 0}) {}

    Rgba& At(int x, int y) { return pixels_[static_cast<size_t>(y) * kSize + x]; }

    // Paints colour over pixel (x, y) with the given coverage (0..1), "over" compositing.
    void Blend(int x, int y, Rgba color, double coverage) {
        Rgba& dst = At(x, y);
        const double srcA = color.a / 255.0 * coverage;
        const double dstA = dst.a / 255.0;
        const double outA = srcA + dstA * (1.0 - srcA);
        if (outA <= 0.0) {
            return;
        }
        auto mix = [&](uint8_t s, uint8_t d) {
            return static_cast<uint8_t>(std::lround((s * srcA + d * dstA * (1.0 - srcA)) / outA));
        };
        dst = Rgba{mix(color.r, dst.r), mix(color.g, dst.g), mix(color.b, dst.b),
                   static_cast<uint8_t>(std::lround(outA * 255.0))};
    }

    // Covers every pixel for which inside(px, py) holds, sampled 4 x 4 per pixel so
    // curved edges come out smooth.
    template <typename Inside>
    void Fill(Rgba color, Inside inside) {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        hits += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0) ? 1 : 0;
                    }
                }
                if (hits > 0) {
                    Blend(x, y, color, hits / 16.0);
                }
            }
        }
    }

    bool WritePng(const std::string& path) const {
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = kSize;
        image.height = kSize;
        image.format = PNG_FORMAT_RGBA;
        const bool written = png_image_write_to_file(&image, path.c_str(), 0, pixels_.data(),
                                                     kSize * 4, nullptr) != 0;
        if (!written) {
            std::fprintf(stderr, "make_assets: %s: %s\n", path.c_str(), image.message);
        }
        return written;
    }

private:
    std::vector<Rgba> pixels_;
};

constexpr double kCentre = kSize / 2.0;

auto Disc(double radius) {
    return [radius](double x, double y) { return std::hypot(x - kCentre, y - kCentre) < radius; };
}

auto Square(double left, double top, double right, double bottom) {
    return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

Image MakeCell() {
    Image cell;
    cell.Fill({92, 62, 36, 255}, Square(0, 0, kSize, kSize));             // edge
    cell.Fill({238, 218, 176, 255}, Square(2, 2, kSize - 2, kSize - 2));  // light bevel
    cell.Fill({214, 186, 138, 255}, Square(3, 3, kSize - 2, kSize - 2));  // face
    // A faint diagonal grain keeps the face from looking flat without hiding the piece.
    cell.Fill({200, 170, 122, 255}, [](double x, double y) {
        return x >= 3 && y >= 3 && x < kSize - 2 && y < kSize - 2 && std::fmod(x + y, 12.0) < 1.0;
    });
    return cell;
}

Image MakePiece() {
    Image piece;
    piece.Fill({60, 12, 16, 255}, Disc(27.0));                 // outline
    piece.Fill({176, 38, 44, 255}, Disc(25.0));                // body
    piece.Fill({120, 20, 28, 255}, Disc(17.5));                // groove
    piece.Fill({222, 74, 66, 255}, Disc(16.0));                // crown
    piece.Fill({255, 236, 224, 150}, [](double x, double y) {  // gloss
        const double dx = (x - 24.0) / 7.0;
        const double dy = (y - 22.0) / 4.0;
        return dx * dx + dy * dy < 1.0;
    });
    return piece;
}

Image MakeCursor() {
    Image cursor;
    const auto frame = [](double inset, double width) {
        return [=](double x, double y) {
            const bool outer = x >= inset && y >= inset && x < kSize - inset && y < kSize - inset;
            const double inner = inset + width;
            const bool hole = x >= inner && y >= inner && x < kSize - inner && y < kSize - inner;
            return outer && !hole;
        };
    };
    cursor.Fill({24, 24, 24, 255}, frame(0, 7));   // dark rim on both sides of the band
    cursor.Fill({255, 204, 0, 255}, frame(1, 5));  // the band
    // Corner notches make the frame read as a selection marker, not a border.
    cursor.Fill({255, 240, 150, 255}, [](double x, double y) {
        const bool nearX = x < 12 || x >= kSize - 12;
        const bool nearY = y < 12 || y >= kSize - 12;
        const bool band = (x >= 2 && x < 5) || (y >= 2 && y < 5) ||
                          (x >= kSize - 5 && x < kSize - 2) || (y >= kSize - 5 && y < kSize - 2);
        return nearX && nearY && band && x >= 2 && y >= 2 && x < kSize - 2 && y < kSize - 2;
    });
    return cursor;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets <output directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool written = MakeCell().WritePng(dir + "/Velmo_Grid.png") &&
                         MakePiece().WritePng(dir + "/Kai_Orisa05.png") &&
                         MakeCursor().WritePng(dir + "/TBX_Cursor.png");
    return written ? 0 : 1;
}
