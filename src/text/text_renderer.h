// Text through GDI: "MS Gothic" glyphs rasterised into a 1024 x 1024 DIB section,
// turned into white-with-coverage cells, mirrored into an atlas texture and drawn
// with the sprite batch.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>
#include <vector>

#include "render/sprite_batch.h"

class TextRenderer {
public:
    TextRenderer();
    // Writes "text.bmp", then gives the GDI objects back. The owner releases
    // atlasTexture before destroying the renderer.
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    int SetUpGdi();
    bool CreateBitmap();
    int CreateDeviceObjects(IDirect3DDevice9* device);
    void UploadAtlas();
    void DrawGlyph(char16_t ch);

    bool RasteriseString(const std::u16string& text);
    int AddCharacter(char16_t ch);
    void FindGlyph(char16_t ch, SourceRect& rect) const;

    int DrawString(const wchar_t* text, SpriteBatch* batch);

    void SaveBitmap(const wchar_t* fileName) const;

    IDirect3DDevice9* d3dDevice;      // not owned
    IDirect3DTexture9* atlasTexture;  // made here, released by the owner

    LONG fontHeight;
    LONG fontWidth;
    LONG fontWeight;
    LONG fontItalic;
    LONG fontCharSet;
    LONG fontOutPrecision;
    LONG fontQuality;
    LONG fontPitchAndFamily;
    const wchar_t* fontFaceName;

    LONG atlasColumn;
    LONG atlasRow;
    LONG bitmapWidth;
    LONG bitmapHeight;

    HDC memoryDc;
    HFONT gdiFont;
    HGDIOBJ previousFont;
    HBITMAP glyphBitmap;
    HGDIOBJ previousBitmap;
    BYTE* glyphBits;  // owned by the DIB section
    TEXTMETRICW textMetrics;

    // UTF-16 code units in order of placement; the k-th lies in cell k of the atlas.
    std::vector<char16_t> glyphChars;

private:
    LONG CellsPerRow() const;
    bool AtlasFull() const;
};

// Destroys the renderer the slot holds, then puts a new one there, set up on the device.
int CreateTextRenderer(IDirect3DDevice9* device, TextRenderer** slot);
