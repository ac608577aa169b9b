// The text renderer's glyphs: which characters have cells in the atlas, and
// where (cell k of glyphChars lies in column k mod n, row k div n, with n cells to
// a row), and drawing a string from them.
#include "text/text_renderer.h"

#include <algorithm>

namespace {

// The string as UTF-16 code units, whatever the width of wchar_t.
std::u16string ToCodeUnits(const wchar_t* text) {
    std::u16string units;
    for (; *text != 0; ++text) {
        const unsigned long code = static_cast<unsigned long>(*text);
        if (sizeof(wchar_t) > 2 && code > 0xFFFF && code <= 0x10FFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

}  // namespace

LONG TextRenderer::CellsPerRow() const {
    const LONG w = textMetrics.tmMaxCharWidth;
    // A row never uses a last cell that would end exactly at the right edge.
    if (w <= 0) {
        return 1;
    }
    const LONG fitting = (bitmapWidth + w - 1) / w - 1;
    return fitting < 1 ? 1 : fitting;
}

bool TextRenderer::AtlasFull() const {
    return (atlasRow + 1) * textMetrics.tmHeight >= bitmapHeight;
}

int TextRenderer::AddCharacter(char16_t ch) {
    if (std::find(glyphChars.begin(), glyphChars.end(), ch) != glyphChars.end()) {
        return 0;
    }
    const WCHAR line[2] = {static_cast<WCHAR>(ch), 0};
    OutputDebugStringW(line);
    OutputDebugStringW(L"\n");
    glyphChars.push_back(ch);
    return 1;
}

bool TextRenderer::RasteriseString(const std::u16string& text) {
    const LONG w = textMetrics.tmMaxCharWidth;
    if (text.empty()) {
        return true;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        // A full atlas refuses new characters before they are placed anywhere.
        if (AtlasFull()) {
            if (std::find(glyphChars.begin(), glyphChars.end(), ch) != glyphChars.end()) {
                continue;
            }
            return false;
        }
        if (AddCharacter(ch) == 0) {
            continue;
        }
        DrawGlyph(ch);
        atlasColumn += 1;
        if ((atlasColumn + 1) * w >= bitmapWidth) {
            atlasRow += 1;
            atlasColumn = 0;
        }
        UploadAtlas();
        if (AtlasFull()) {
            return false;
        }
    }
    return true;
}

void TextRenderer::FindGlyph(char16_t ch, SourceRect& rect) const {
    const std::vector<char16_t>::const_iterator found =
        std::find(glyphChars.begin(), glyphChars.end(), ch);
    if (found == glyphChars.end()) {
        return;
    }
    const LONG k = static_cast<LONG>(found - glyphChars.begin());
    const LONG n = CellsPerRow();
    const LONG w = textMetrics.tmMaxCharWidth;
    const LONG h = textMetrics.tmHeight;
    rect.left = (k % n) * w;
    rect.top = (k / n) * h;
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
}

// One line of text from the screen's top-left corner, one cell-wide quad per
// character, every new character rasterised before any quad is queued.
int TextRenderer::DrawString(const wchar_t* text, SpriteBatch* batch) {
    const LONG w = textMetrics.tmMaxCharWidth;
    const LONG h = textMetrics.tmHeight;
    float x = 0.0f;
    const float y = 0.0f;
    SourceRect source = {0, 0, w, h};

    const std::u16string units = ToCodeUnits(text);
    RasteriseString(units);

    for (size_t i = 0; i < units.size(); ++i) {
        // An uncached character keeps the cell the rectangle last held.
        FindGlyph(units[i], source);
        if (batch && batch->device) {
            batch->AddQuad(atlasTexture, source, x, y);
        }
        x += static_cast<float>(w);
    }
    return 1;
}
