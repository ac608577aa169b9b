// Which characters have cells in the atlas, and where: cell k of glyphChars lies
// in column k mod n, row k div n, with n cells to a row.
#include "text/text_renderer.h"

#include <algorithm>

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
    const std::vector<char16_t>::const_iterator found = std::find(glyphChars.begin(), glyphChars.end(), ch);
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
