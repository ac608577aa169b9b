#include "image/bmp_decoder.h"

#include <cstdint>
#include <cstdlib>

#include "image/image_decoding.h"

static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header is 14 bytes on disk");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BMP info header is 40 bytes on disk");

namespace {

const WORD BmpType = 0x4D42;  // "BM"
const WORD BmpBitCount = 24;

struct BmpLayout {
    UINT width;
    UINT height;
    BOOL bottomRowFirst;
    size_t stride;
};

// Reads both headers from the start of the stream and accepts only what the
// decoder can read safely: 24-bit, uncompressed, positive sides, and a file that
// holds every pixel row, so nothing is sized beyond the file. Whether the device
// takes the size is the device's to say. A negative height means the rows are
// stored top row first. On success the stream stands at the first stored row.
BOOL ReadBmpLayout(FILE* file, BmpLayout* layout) {
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER infoHeader;
    if (fseek(file, 0, SEEK_SET) != 0 || fread(&fileHeader, sizeof(fileHeader), 1, file) != 1) {
        return FALSE;
    }
    if (fileHeader.bfType != BmpType) {
        return FALSE;
    }
    if (fread(&infoHeader, sizeof(infoHeader), 1, file) != 1) {
        return FALSE;
    }
    if (infoHeader.biCompression != BI_RGB || infoHeader.biBitCount != BmpBitCount) {
        return FALSE;
    }
    int64_t width = infoHeader.biWidth;
    int64_t height = infoHeader.biHeight;
    BOOL bottomRowFirst = height > 0;
    if (height < 0) {
        height = -height;
    }
    if (width <= 0 || height == 0) {
        return FALSE;
    }
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (fseek(file, static_cast<long>(fileHeader.bfOffBits), SEEK_SET) != 0 ||
        !StreamHoldsBytes(file, stride * static_cast<size_t>(height))) {
        return FALSE;
    }
    layout->width = static_cast<UINT>(width);
    layout->height = static_cast<UINT>(height);
    layout->bottomRowFirst = bottomRowFirst;
    layout->stride = stride;
    return TRUE;
}

}  // namespace

int ProbeBmp(LPCWSTR fileName, ImageInfo* info) {
    FILE* file = _wfopen(fileName, L"rb");
    if (file == NULL) {
        return 0;
    }
    BmpLayout layout;
    if (!ReadBmpLayout(file, &layout)) {
        return CloseStreamAndFail(file);
    }
    fclose(file);

    info->width = layout.width;
    info->height = layout.height;
    info->bitsPerPixel = BmpBitCount;
    info->levels = 1;
    info->format = D3DFMT_X8R8G8B8;
    return 1;
}

int LoadBmp(FILE* file, IDirect3DTexture9** texture) {
    BmpLayout layout;
    if (!ReadBmpLayout(file, &layout) ||
        !LevelMatchesImage(*texture, layout.width, layout.height)) {
        return CloseStreamAndFail(file);
    }
    BYTE* pixels = ReadPixelBlock(file, layout.stride * layout.height);
    if (pixels == NULL) {
        return CloseStreamAndFail(file);
    }
    fclose(file);

    StoredRows rows = {pixels,       layout.stride, 3,
                       layout.width, layout.height, layout.bottomRowFirst};
    BOOL written = WriteStoredRowsToTexture(*texture, rows);
    free(pixels);
    return written ? 1 : 0;
}
