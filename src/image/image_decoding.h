// What the image decoders share: the record the probes fill, the format chosen by
// a file's name, the check of a texture's level against the image, reading a
// stream safely, and the copy of stored BMP/TGA rows into a texture.
#pragma once

#include <cstddef>
#include <cstdio>

#include <windows.h>
#include <d3d9.h>

// What the staging and final textures of one image are created from.
struct ImageInfo {
    UINT width;
    UINT height;
    INT bitsPerPixel;  // of the source image; creation does not use it
    INT levels;
    D3DFORMAT format;
};

enum ImageFormat {
    ImageFormatNone,
    ImageFormatBmp,
    ImageFormatPng,
    ImageFormatTga,
};

// The format named by the first of ".bmp", ".png", ".tga" found anywhere in the
// name, lower case only, so that probe and decoder always agree.
ImageFormat ImageFormatOfFileName(LPCWSTR fileName);

// Whether level 0 of the texture is a 4-byte-per-pixel level of exactly the
// image's size. Decoders ask before writing: the texture was sized from a
// separate read of the file, which may have changed since or fallen back to
// defaults.
BOOL LevelMatchesImage(IDirect3DTexture9* texture, UINT width, UINT height);

// Whether at least byteCount bytes follow the stream's position; the position is
// kept.
BOOL StreamHoldsBytes(FILE* file, size_t byteCount);

// Reads the next byteCount bytes into a malloc block the caller frees. Returns
// null, allocating nothing, when the stream holds fewer: a header's claim is
// checked against the file before anything is sized from it.
BYTE* ReadPixelBlock(FILE* file, size_t byteCount);

// Closes a decoder's stream on a rejection path; returns the decoder's failure, 0.
int CloseStreamAndFail(FILE* file);

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
