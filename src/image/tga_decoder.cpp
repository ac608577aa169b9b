#include "image/tga_decoder.h"

#include <cstdlib>
#include <cstring>

#include "image/image_decoding.h"

const BYTE TgaTrueColorHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

namespace {

// Bytes 12 to 17 of the file.
struct TgaImageSpec {
    UINT width;
    UINT height;
    UINT depth;
};

BOOL ReadTgaImageSpec(FILE* file, TgaImageSpec* spec) {
    BYTE bytes[6];
    if (fread(bytes, sizeof(bytes), 1, file) != 1) {
        return FALSE;
    }
    spec->width = bytes[0] | (bytes[1] << 8);
    spec->height = bytes[2] | (bytes[3] << 8);
    spec->depth = bytes[4];
    return TRUE;
}

BOOL IsTrueColorDepth(UINT depth) { return depth == 24 || depth == 32; }

}  // namespace

int ProbeTga(LPCWSTR fileName, ImageInfo* info) {
    FILE* file = _wfopen(fileName, L"rb");
    if (file == NULL) {
        return 0;
    }
    BYTE header[sizeof(TgaTrueColorHeader)];
    TgaImageSpec spec;
    if (fread(header, sizeof(header), 1, file) != 1 || !ReadTgaImageSpec(file, &spec)) {
        return CloseStreamAndFail(file);
    }
    fclose(file);

    info->width = spec.width;
    info->height = spec.height;
    info->bitsPerPixel = static_cast<INT>(spec.depth);
    info->levels = 1;
    if (!IsTrueColorDepth(spec.depth)) {
        return 0;
    }
    info->format = spec.depth == 24 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
    return 1;
}

int LoadTga(LPCWSTR fileName, IDirect3DTexture9** texture) {
    FILE* file = _wfopen(fileName, L"rb");
    if (file == NULL) {
        return 0;
    }
    BYTE header[sizeof(TgaTrueColorHeader)];
    if (fread(header, sizeof(header), 1, file) != 1 ||
        memcmp(header, TgaTrueColorHeader, sizeof(header)) != 0) {
        return CloseStreamAndFail(file);
    }
    return ReadTgaPixels(file, texture);
}

int ReadTgaPixels(FILE* file, IDirect3DTexture9** texture) {
    TgaImageSpec spec;
    if (!ReadTgaImageSpec(file, &spec)) {
        return CloseStreamAndFail(file);
    }
    if (spec.width == 0 || spec.height == 0 || !IsTrueColorDepth(spec.depth) ||
        !LevelMatchesImage(*texture, spec.width, spec.height)) {
        return CloseStreamAndFail(file);
    }
    UINT bytesPerPixel = spec.depth / 8;
    size_t stride = static_cast<size_t>(spec.width) * bytesPerPixel;
    BYTE* pixels = ReadPixelBlock(file, stride * spec.height);
    if (pixels == NULL) {
        return CloseStreamAndFail(file);
    }
    fclose(file);

    StoredRows rows = {pixels, stride, bytesPerPixel, spec.width, spec.height, TRUE};
    BOOL written = WriteStoredRowsToTexture(*texture, rows);
    free(pixels);
    return written ? 1 : 0;
}
