#pragma once

#include <cstdio>

#include <windows.h>
#include <d3d9.h>

#include "image/image_decoding.h"

// The first 12 bytes of every TGA file the decoder reads: no image ID, no colour
// map, uncompressed true colour, origin 0, 0.
extern const BYTE TgaTrueColorHeader[12];

// Fills info from the header's size and depth: 24 bits give D3DFMT_X8R8G8B8, 32
// bits D3DFMT_A8R8G8B8. Returns 1 when the record is wholly filled.
int ProbeTga(LPCWSTR fileName, ImageInfo* info);

// Decodes an uncompressed 24- or 32-bit true-colour TGA into level 0 of *texture.
// Returns 1 on success.
int LoadTga(LPCWSTR fileName, IDirect3DTexture9** texture);

// Reads size, depth and pixels from a stream positioned after the first 12
// bytes, closes the stream on every path, and fills level 0 of *texture.
int ReadTgaPixels(FILE* file, IDirect3DTexture9** texture);
