#include "image/texture_loader.h"

#include <cstdio>

#include "image/bmp_decoder.h"
#include "image/image_decoding.h"
#include "image/png_decoder.h"
#include "image/tga_decoder.h"

int ProbeImageInfo(LPCWSTR fileName, ImageInfo* info) {
    switch (ImageFormatOfFileName(fileName)) {
        case ImageFormatBmp:
            return ProbeBmp(fileName, info);
        case ImageFormatPng:
            // A PNG record is always usable: the probe keeps its defaults on failure.
            ProbePng(fileName, info);
            return 1;
        case ImageFormatTga:
            return ProbeTga(fileName, info);
        case ImageFormatNone:
            break;
    }
    return 0;
}

static void DecodeInto(LPCWSTR fileName, IDirect3DTexture9** staging) {
    switch (ImageFormatOfFileName(fileName)) {
        case ImageFormatBmp: {
            FILE* file = _wfopen(fileName, L"rb");
            if (file != NULL) {
                LoadBmp(file, staging);
            }
            break;
        }
        case ImageFormatPng:
            LoadPng(fileName, staging);
            break;
        case ImageFormatTga:
            LoadTga(fileName, staging);
            break;
        case ImageFormatNone:
            break;
    }
}

static HRESULT CreateImageTexture(IDirect3DDevice9* device, const ImageInfo& info, D3DPOOL pool,
                                  IDirect3DTexture9** texture) {
    return device->CreateTexture(info.width, info.height, info.levels, 0, info.format, pool,
                                 texture, NULL);
}

void LoadTexture(IDirect3DDevice9* device, LPCWSTR fileName, IDirect3DTexture9** outTexture) {
    *outTexture = NULL;

    ImageInfo info = {};
    if (!ProbeImageInfo(fileName, &info)) {
        return;
    }

    IDirect3DTexture9* staging = NULL;
    if (FAILED(CreateImageTexture(device, info, D3DPOOL_SYSTEMMEM, &staging))) {
        MessageBoxW(NULL, L"Failed", L"MB", MB_OK);
        return;
    }
    if (FAILED(CreateImageTexture(device, info, D3DPOOL_DEFAULT, outTexture))) {
        *outTexture = NULL;
        MessageBoxW(NULL, L"Failed", L"MB", MB_OK);
        if (staging != NULL) {
            staging->Release();
            staging = NULL;
        }
        return;
    }

    DecodeInto(fileName, &staging);

    // Copied even when decoding failed: the texture then shows the staging
    // texture's fresh contents.
    device->UpdateTexture(staging, *outTexture);

    if (staging != NULL) {
        staging->Release();
        staging = NULL;
    }
}
