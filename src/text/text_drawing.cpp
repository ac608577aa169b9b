// One line of text from the screen's top-left corner, one cell-wide quad per
// character, every new character rasterised before any quad is queued.
#include "text/text_renderer.h"

#include "text/code_units.h"

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
