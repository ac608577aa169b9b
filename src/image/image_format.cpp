#include "image/image_format.h"

#include <cwchar>

ImageFormat ImageFormatOfFileName(LPCWSTR fileName)
{
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
