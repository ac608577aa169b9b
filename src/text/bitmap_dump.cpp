// The glyph bitmap as a 32-bit bottom-up BMP file, written whole on every call.
#include "text/text_renderer.h"

#include <filesystem>
#include <fstream>

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

    const size_t rowBytes = ((static_cast<size_t>(infoHeader.biBitCount) * infoHeader.biWidth + 31) & ~size_t(31)) / 8;
    const size_t pixelBytes = rowBytes * static_cast<size_t>(infoHeader.biHeight);

    std::ofstream file(std::filesystem::path(fileName), std::ios::out | std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&fileHeader), sizeof(fileHeader));
    file.write(reinterpret_cast<const char*>(&infoHeader), sizeof(infoHeader));
    file.write(reinterpret_cast<const char*>(glyphBits), static_cast<std::streamsize>(pixelBytes));
    file.close();
}
