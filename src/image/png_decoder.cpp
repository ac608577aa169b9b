#include "image/png_decoder.h"

#include <csetjmp>
#include <cstdlib>

#include "image/image_decoding.h"
#include "image/png_reader.h"

namespace {

const UINT BgraBytesPerPixel = 4;

// Every kind of PNG is widened to 8-bit blue, green, red, alpha: palette entries
// and grey samples become colour, 16-bit samples keep their high byte, a
// transparency chunk becomes alpha, and kinds without alpha get 0xFF.
void RequestBgraTransforms(png_structp png, png_infop info) {
    int bitDepth = png_get_bit_depth(png, info);
    int colorType = png_get_color_type(png, info);
    BOOL hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    // Also for palette and grey files: libpng swaps after widening them to colour.
    png_set_bgr(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (hasTransparency) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    } else if (bitDepth < 8) {
        png_set_packing(png);
    }
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTransparency) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    // Asked for before the info update, so png_read_image assembles interlaced
    // passes without warning.
    png_set_interlace_handling(png);
}

// The one way out of LoadPng on failure, from the recovery and from the checks
// alike, so that nothing stays open, allocated or locked.
int AbandonPngLoad(PngReader* reader, IDirect3DTexture9* texture, png_bytep* rowPointers,
                   BOOL locked) {
    ClosePngReader(reader);
    if (locked) {
        texture->UnlockRect(0);
    }
    if (rowPointers != NULL) {
        free(rowPointers);
    }
    return 0;
}

}  // namespace

int ProbePng(LPCWSTR fileName, ImageInfo* info) {
    info->width = 256;
    info->height = 256;
    info->bitsPerPixel = 32;
    info->levels = 1;
    info->format = D3DFMT_A8R8G8B8;

    PngReader reader;
    if (!OpenPngReader(fileName, &reader)) {
        return 0;
    }
    if (setjmp(png_jmpbuf(reader.png))) {
        ClosePngReader(&reader);
        return 0;
    }
    ReadPngHeader(reader);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    GetPngSize(reader, &width, &height);
    info->width = width;
    info->height = height;
    info->levels = 1;
    ClosePngReader(&reader);
    return 1;
}

int LoadPng(LPCWSTR fileName, IDirect3DTexture9** texture) {
    PngReader reader;
    if (!OpenPngReader(fileName, &reader)) {
        return 0;
    }
    // Changed after the recovery is armed and read by it.
    png_bytep* volatile rowPointers = NULL;
    volatile BOOL locked = FALSE;
    if (setjmp(png_jmpbuf(reader.png))) {
        return AbandonPngLoad(&reader, *texture, rowPointers, locked);
    }

    OutputDebugStringW(L"OK\n");
    ReadPngHeader(reader);
    RequestBgraTransforms(reader.png, reader.info);
    OutputDebugStringW(L"OK2\n");

    png_read_update_info(reader.png, reader.info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    GetPngSize(reader, &width, &height);
    if (png_get_rowbytes(reader.png, reader.info) !=
            static_cast<size_t>(width) * BgraBytesPerPixel ||
        !LevelMatchesImage(*texture, width, height)) {
        return AbandonPngLoad(&reader, *texture, rowPointers, locked);
    }

    rowPointers = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * height));
    if (rowPointers == NULL) {
        return AbandonPngLoad(&reader, *texture, rowPointers, locked);
    }
    D3DLOCKED_RECT lockedRect;
    if (FAILED((*texture)->LockRect(0, &lockedRect, NULL, 0))) {
        MessageBoxW(NULL, L"FAIL", L"", MB_OK);
        return AbandonPngLoad(&reader, *texture, rowPointers, locked);
    }
    locked = TRUE;
    BYTE* bits = static_cast<BYTE*>(lockedRect.pBits);
    for (png_uint_32 row = 0; row < height; ++row) {
        rowPointers[row] = bits + static_cast<ptrdiff_t>(row) * lockedRect.Pitch;
    }

    OutputDebugStringW(L"OK3\n");
    png_read_image(reader.png, rowPointers);
    OutputDebugStringW(L"OK4\n");

    (*texture)->UnlockRect(0);
    locked = FALSE;
    png_read_end(reader.png, NULL);

    ClosePngReader(&reader);
    free(rowPointers);
    rowPointers = NULL;
    OutputDebugStringW(L"OK4\n");
    return 1;
}
