#pragma once

#include <windows.h>
#include <d3d9.h>

#include "image/image_decoding.h"

// Fills info from the PNG header: its size, 32 bits, 1 level, D3DFMT_A8R8G8B8 for
// every kind of PNG. The record starts at 256 x 256 and keeps that when the header
// cannot be read. Returns 1 when the header was read.
int ProbePng(LPCWSTR fileName, ImageInfo* info);

// Decodes a PNG of any colour type, bit depth and interlacing straight into the
// locked level 0 of *texture as blue, green, red, alpha. Returns 1 on success.
int LoadPng(LPCWSTR fileName, IDirect3DTexture9** texture);
