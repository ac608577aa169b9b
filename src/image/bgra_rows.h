#pragma once

#include <cstddef>

#include <windows.h>
#include <d3d9.h>

// Stored pixel rows of blue, green, red (3 bytes per pixel) or blue, green, red,
// alpha (4), as BMP and TGA files keep them.
struct StoredRows {
    const BYTE* bytes;
    size_t stride;  // bytes from one stored row to the next
    UINT bytesPerPixel;
    UINT width;
    UINT height;
    BOOL bottomRowFirst;
};

// Writes the rows top first as blue, green, red, alpha into rows `pitch` bytes
// apart; 3-byte pixels get alpha 255, 4-byte pixels keep theirs.
void CopyStoredRowsToBgra(const StoredRows& rows, BYTE* destination, INT pitch);

// Locks level 0 of the texture, copies the rows into it and unlocks it. Writes
// nothing and returns FALSE when the lock fails.
BOOL WriteStoredRowsToTexture(IDirect3DTexture9* texture, const StoredRows& rows);
