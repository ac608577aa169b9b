#include "image/bgra_rows.h"

#include <cstring>

static void CopyBgrRow(const BYTE* source, UINT width, BYTE* destination)
{
    for (UINT x = 0; x < width; ++x) {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        destination[3] = 255;
        source += 3;
        destination += 4;
    }
}

void CopyStoredRowsToBgra(const StoredRows& rows, BYTE* destination, INT pitch)
{
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

BOOL WriteStoredRowsToTexture(IDirect3DTexture9* texture, const StoredRows& rows)
{
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, NULL, 0))) {
        return FALSE;
    }
    CopyStoredRowsToBgra(rows, static_cast<BYTE*>(locked.pBits), locked.Pitch);
    texture->UnlockRect(0);
    return TRUE;
}
