// The text renderer's life: the GDI font and DIB section the glyphs are drawn
// into, the atlas texture they are copied to, rasterising one glyph, and the dump
// of the glyph bitmap ("text.bmp") that every destruction writes. The glyph cache
// and string drawing are in text_renderer_glyphs.cpp.
#include "text/text_renderer.h"

#include <filesystem>
#include <fstream>

#include "app/debug_trace.h"
#include "text/coverage_pixel.h"

namespace {

const wchar_t kFaceName[] = L"MS Gothic";
const LONG kAtlasSize = 1024;

}  // namespace

TextRenderer::TextRenderer()
    : d3dDevice(NULL),
      atlasTexture(NULL),
      fontHeight(40),
      fontWidth(0),
      fontWeight(FW_NORMAL),
      fontItalic(0),
      fontCharSet(DEFAULT_CHARSET),
      fontOutPrecision(OUT_DEFAULT_PRECIS),
      fontQuality(CLEARTYPE_QUALITY),
      fontPitchAndFamily(DEFAULT_PITCH | FF_DONTCARE),
      fontFaceName(kFaceName),
      atlasColumn(0),
      atlasRow(0),
      bitmapWidth(kAtlasSize),
      bitmapHeight(kAtlasSize),
      memoryDc(NULL),
      gdiFont(NULL),
      previousFont(NULL),
      glyphBitmap(NULL),
      previousBitmap(NULL),
      glyphBits(NULL),
      textMetrics() {}

TextRenderer::~TextRenderer() {
    SaveBitmap(L"text.bmp");

    // Renderers are rebuilt after every device reset: give every GDI object back.
    if (memoryDc) {
        if (previousBitmap) {
            SelectObject(memoryDc, previousBitmap);
            previousBitmap = NULL;
        }
        if (previousFont) {
            SelectObject(memoryDc, previousFont);
            previousFont = NULL;
        }
    }
    if (glyphBitmap) {
        DeleteObject(glyphBitmap);
        glyphBitmap = NULL;
        glyphBits = NULL;
    }
    if (gdiFont) {
        DeleteObject(gdiFont);
        gdiFont = NULL;
    }
    if (memoryDc) {
        DeleteDC(memoryDc);
        memoryDc = NULL;
    }
    std::vector<char16_t>().swap(glyphChars);
}

int CreateTextRenderer(IDirect3DDevice9* device, TextRenderer** slot) {
    if (*slot) {
        delete *slot;
        *slot = NULL;
    }
    *slot = new TextRenderer();
    (*slot)->SetUpGdi();
    (*slot)->CreateDeviceObjects(device);
    return 0;
}

int TextRenderer::SetUpGdi() {
    glyphChars.clear();

    memoryDc = CreateCompatibleDC(NULL);

    gdiFont = CreateFontW(fontHeight, fontWidth, 0, 0, fontWeight, fontItalic, 0, 0, fontCharSet,
                          fontOutPrecision, CLIP_DEFAULT_PRECIS, fontQuality, fontPitchAndFamily,
                          fontFaceName);
    if (!gdiFont) {
        DebugTrace(L"CreateFont Failed\n");
    }
    previousFont = SelectObject(memoryDc, gdiFont);

    SetTextColor(memoryDc, RGB(255, 255, 255));
    SetMapMode(memoryDc, MM_TEXT);
    GetTextMetricsW(memoryDc, &textMetrics);

    bitmapWidth = kAtlasSize;
    bitmapHeight = kAtlasSize;
    CreateBitmap();
    previousBitmap = SelectObject(memoryDc, glyphBitmap);

    // The one fill that clears the bitmap; the brush is not needed afterwards.
    LOGBRUSH black = {BS_SOLID, RGB(0, 0, 0), 0};
    HBRUSH brush = CreateBrushIndirect(&black);
    RECT whole;
    SetRect(&whole, 0, 0, bitmapWidth, bitmapHeight);
    FillRect(memoryDc, &whole, brush);
    if (brush) {
        DeleteObject(brush);
        brush = NULL;
    }

    SetBkColor(memoryDc, RGB(0, 0, 0));

    atlasColumn = 0;
    atlasRow = 0;
    return 0;
}

bool TextRenderer::CreateBitmap() {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmapWidth;
    info.bmiHeader.biHeight = bitmapHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = NULL;
    glyphBitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!glyphBitmap) {
        glyphBits = NULL;
        DebugTrace(L"Bitmap Failed\n");
        return false;
    }
    glyphBits = static_cast<BYTE*>(bits);
    return true;
}

int TextRenderer::CreateDeviceObjects(IDirect3DDevice9* device) {
    if (!device) {
        return 0;
    }
    d3dDevice = device;
    d3dDevice->CreateTexture(kAtlasSize, kAtlasSize, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8,
                             D3DPOOL_DEFAULT, &atlasTexture, NULL);
    UploadAtlas();
    return 0;
}

void TextRenderer::UploadAtlas() {
    // Without pixels or a texture there is nothing to copy from or to.
    if (!atlasTexture || !glyphBits) {
        return;
    }
    IDirect3DSurface9* surface = NULL;
    atlasTexture->GetSurfaceLevel(0, &surface);
    if (!surface) {
        return;
    }
    HDC surfaceDc = NULL;
    surface->GetDC(&surfaceDc);
    if (surfaceDc) {
        BitBlt(surfaceDc, 0, 0, bitmapWidth, bitmapHeight, memoryDc, 0, 0, SRCCOPY);
        surface->ReleaseDC(surfaceDc);
        surfaceDc = NULL;
    }
    surface->Release();
    surface = NULL;
}

void TextRenderer::DrawGlyph(char16_t ch) {
    if (!glyphBits) {
        return;
    }
    const LONG w = textMetrics.tmMaxCharWidth;
    const LONG h = textMetrics.tmHeight;
    const LONG left = atlasColumn * w;
    const LONG top = atlasRow * h;

    const WCHAR text = static_cast<WCHAR>(ch);
    TextOutW(memoryDc, left, top, &text, 1);

    // Only the cell's own pixels, and never past the bitmap's edges.
    const LONG right = left + w < bitmapWidth ? left + w : bitmapWidth;
    const LONG bottom = top + h < bitmapHeight ? top + h : bitmapHeight;
    const size_t rowBytes = static_cast<size_t>(bitmapWidth) * 4;
    for (LONG y = top; y < bottom; ++y) {
        BYTE* row = glyphBits + static_cast<size_t>(bitmapHeight - 1 - y) * rowBytes;
        for (LONG x = left; x < right; ++x) {
            ConvertToCoverage(row + static_cast<size_t>(x) * 4);
        }
    }
}

// The glyph bitmap as a 32-bit bottom-up BMP file, written whole on every call.
void TextRenderer::SaveBitmap(const wchar_t* fileName) const {
    // Without a DIB section there are no pixels to write: no file at all.
    if (!glyphBits) {
        return;
    }
    BITMAPFILEHEADER fileHeader;
    ZeroMemory(&fileHeader, sizeof(fileHeader));
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);

    BITMAPINFOHEADER infoHeader;
    ZeroMemory(&infoHeader, sizeof(infoHeader));
    infoHeader.biSize = sizeof(BITMAPINFOHEADER);
    infoHeader.biWidth = bitmapWidth;
    infoHeader.biHeight = bitmapHeight;
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = 32;
    infoHeader.biCompression = BI_RGB;

    const size_t rowBytes =
        ((static_cast<size_t>(infoHeader.biBitCount) * infoHeader.biWidth + 31) & ~size_t(31)) / 8;
    const size_t pixelBytes = rowBytes * static_cast<size_t>(infoHeader.biHeight);

    std::ofstream file(std::filesystem::path(fileName),
                       std::ios::out | std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&fileHeader), sizeof(fileHeader));
    file.write(reinterpret_cast<const char*>(&infoHeader), sizeof(infoHeader));
    file.write(reinterpret_cast<const char*>(glyphBits), static_cast<std::streamsize>(pixelBytes));
    file.close();
}
