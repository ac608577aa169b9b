#pragma once

#include <cstdio>

#include <windows.h>
#include <d3d9.h>

#include "image/image_decoding.h"

// Fills info from a 24-bit uncompressed BMP header: its size, 1 level,
// D3DFMT_X8R8G8B8. Returns 1 when the file is one LoadBmp accepts, else 0 and the
// record is untouched.
int ProbeBmp(LPCWSTR fileName, ImageInfo* info);

// Decodes a 24-bit uncompressed BMP from an open stream, which it closes on every
// path, into level 0 of *texture as blue, green, red, 255. Returns 1 on success.
int LoadBmp(FILE* file, IDirect3DTexture9** texture);
