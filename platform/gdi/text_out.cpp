// Text metrics and TextOutW: glyphs from the selected font, drawn at the cell's
// top-left corner, over an opaque background.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "crt/out_of_memory.h"
#include "gdi/gdi_objects.h"
#include "gdi/realised_font.h"

using namespace platform::gdi;

namespace {

const RealisedFont* SelectedFont(DeviceContext& context) {
    if (context.font->realised == nullptr)
        context.font->realised = RealiseFont(context.font->request);
    return context.font->realised;
}

void FillBackground(const PixelView& target, int left, int top, int right, int bottom,
                    COLORREF color) {
    const uint8_t pixel[4] = {GetBValue(color), GetGValue(color), GetRValue(color), 0};
    for (int y = std::max(top, 0); y < std::min(bottom, target.height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, target.width); ++x) {
            std::copy(pixel, pixel + 4, target.Pixel(x, y));
        }
    }
}

uint8_t Blend(uint8_t coverage, uint8_t ink, uint8_t under) {
    return static_cast<uint8_t>((coverage * ink + (255 - coverage) * under + 127) / 255);
}

// Blends the text colour over the target by coverage; like GDI, every pixel it
// writes is left with a zero fourth byte.
void DrawCoverage(const PixelView& target, const GlyphCoverage& glyph, int penX, int baseline,
                  COLORREF color) {
    const int originX = penX + glyph.left;
    const int originY = baseline - glyph.top;
    for (int gy = std::max(0, -originY); gy < glyph.height && originY + gy < target.height; ++gy) {
        for (int gx = std::max(0, -originX); gx < glyph.width && originX + gx < target.width;
             ++gx) {
            const uint8_t* coverage = glyph.At(gx, gy);
            if ((coverage[0] | coverage[1] | coverage[2]) == 0) continue;
            uint8_t* pixel = target.Pixel(originX + gx, originY + gy);
            pixel[0] = Blend(coverage[2], GetBValue(color), pixel[0]);
            pixel[1] = Blend(coverage[1], GetGValue(color), pixel[1]);
            pixel[2] = Blend(coverage[0], GetRValue(color), pixel[2]);
            pixel[3] = 0;
        }
    }
}

}  // namespace

BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    DeviceContext* context = FindDeviceContext(dc);
    if (context == nullptr || metrics == nullptr) return FALSE;
    return platform::FailingWhenOutOfMemory(BOOL{FALSE}, [&] {
        const RealisedFont* font = SelectedFont(*context);
        if (font == nullptr) return FALSE;
        *metrics = font->Metrics();
        return TRUE;
    });
}

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    DeviceContext* context = FindDeviceContext(dc);
    if (context == nullptr || count < 0 || (text == nullptr && count > 0)) return FALSE;
    return platform::FailingWhenOutOfMemory(BOOL{FALSE}, [&] {
        const RealisedFont* font = SelectedFont(*context);
        if (font == nullptr) return FALSE;

        std::vector<GlyphCoverage> glyphs(static_cast<size_t>(count));
        int width = 0;
        for (int i = 0; i < count; ++i) {
            font->Render(static_cast<uint32_t>(text[i]), glyphs[i]);
            width += glyphs[i].advance;
        }
        const PixelView target = context->Target();
        if (target.Empty()) return TRUE;

        FillBackground(target, x, y, x + width, y + font->Metrics().tmHeight,
                       context->backgroundColor);
        const int baseline = y + font->Metrics().tmAscent;
        int penX = x;
        for (const GlyphCoverage& glyph : glyphs) {
            DrawCoverage(target, glyph, penX, baseline, context->textColor);
            penX += glyph.advance;
        }
        return TRUE;
    });
}
