#include "image/image_decoding.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

ImageFormat ImageFormatOfFileName(LPCWSTR fileName) {
    if (wcsstr(fileName, L".bmp") != NULL) {
        return ImageFormatBmp;
    }
    if (wcsstr(fileName, L".png") != NULL) {
        return ImageFormatPng;
    }
    if (wcsstr(fileName, L".tga") != NULL) {
        return ImageFormatTga;
    }
    return ImageFormatNone;
}

BOOL LevelMatchesImage(IDirect3DTexture9* texture, UINT width, UINT height) {
    if (texture == NULL) {
        return FALSE;
    }
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc))) {
        return FALSE;
    }
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
        return FALSE;
    }
    return desc.Width == width && desc.Height == height;
}

BOOL StreamHoldsBytes(FILE* file, size_t byteCount) {
    long start = ftell(file);
    if (start < 0 || fseek(file, 0, SEEK_END) != 0) {
        return FALSE;
    }
    long end = ftell(file);
    if (fseek(file, start, SEEK_SET) != 0) {
        return FALSE;
    }
    return end >= start && static_cast<size_t>(end - start) >= byteCount;
}

BYTE* ReadPixelBlock(FILE* file, size_t byteCount) {
    if (!StreamHoldsBytes(file, byteCount)) {
        return NULL;
    }
    BYTE* block = static_cast<BYTE*>(malloc(byteCount));
    if (block == NULL) {
        return NULL;
    }
    if (fread(block, 1, byteCount, file) != byteCount) {
        free(block);
        return NULL;
    }
    return block;
}

int CloseStreamAndFail(FILE* file) {
    fclose(file);
    return 0;
}

static void CopyBgrRow(const BYTE* source, UINT width, BYTE* destination) {
    for (UINT x = 0; x < width; ++x) {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        destination[3] = 255;
        source += 3;
        destination += 4;
    }
}

void CopyStoredRowsToBgra(const StoredRows& rows, BYTE* destination, INT pitch) {
    for (UINT row = 0; row < rows.height; ++row) {
        UINT storedRow = rows.bottomRowFirst ? rows.height - 1 - row : row;
        const BYTE* source = rows.bytes + storedRow * rows.stride;
        BYTE* target = destination + static_cast<ptrdiff_t>(row) * pitch;
        if (rows.bytesPerPixel == 4) {
            memcpy(target, source, static_cast<size_t>(rows.width) * 4);
        } else {
            CopyBgrRow(source, rows.width, target);
        }
    }
}

BOOL WriteStoredRowsToTexture(IDirect3DTexture9* texture, const StoredRows& rows) {
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, NULL, 0))) {
        return FALSE;
    }
    CopyStoredRowsToBgra(rows, static_cast<BYTE*>(locked.pBits), locked.Pitch);
    texture->UnlockRect(0);
    return TRUE;
}
