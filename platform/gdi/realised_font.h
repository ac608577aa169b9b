// A font request made concrete: one FreeType face at one pixel size, its GDI text
// metrics, and the glyph rendering that TextOutW draws with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/font_request.h"

typedef struct FT_FaceRec_* FT_Face;

namespace platform::gdi {

// One rendered glyph: per-pixel coverage of the red, green and blue channels
// (identical unless rendered for sub-pixel display), positioned against the pen.
struct GlyphCoverage {
    int left = 0;  // first column, relative to the pen
    int top = 0;   // rows above the baseline
    int width = 0;
    int height = 0;
    int advance = 0;           // pixels the pen moves on
    std::vector<uint8_t> rgb;  // width * height triples, rows from the top

    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

enum class Antialiasing { None, Grey, SubPixel };

class RealisedFont {
public:
    RealisedFont(FT_Face face, const FontRequest& request, bool cellIsEm, std::string file);
    ~RealisedFont();
    RealisedFont(const RealisedFont&) = delete;
    RealisedFont& operator=(const RealisedFont&) = delete;

    const TEXTMETRICW& Metrics() const { return metrics; }
    const std::string& File() const { return fontFile; }
    // Characters the face lacks come out as its missing-glyph box.
    void Render(uint32_t character, GlyphCoverage& out) const;

private:
    FT_Face face;
    Antialiasing antialiasing;
    std::string fontFile;
    TEXTMETRICW metrics{};
};

// The realised font for a request, shared by every font object that asks the same;
// null when no font file can be found at all.
const RealisedFont* RealiseFont(const FontRequest& request);

}  // namespace platform::gdi
