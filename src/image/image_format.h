#pragma once

#include <windows.h>

enum ImageFormat {
    ImageFormatNone,
    ImageFormatBmp,
    ImageFormatPng,
    ImageFormatTga,
};

// The format named by the first of ".bmp", ".png", ".tga" found anywhere in the
// name, lower case only, so that probe and decoder always agree.
ImageFormat ImageFormatOfFileName(LPCWSTR fileName);
