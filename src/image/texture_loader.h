#pragma once

#include <windows.h>
#include <d3d9.h>

#include "image/image_decoding.h"

// Fills info from the file's header, choosing the probe by the name's extension.
// Returns 1 when the record is wholly filled and textures may be made from it.
int ProbeImageInfo(LPCWSTR fileName, ImageInfo* info);

// Makes a default-pool texture of the image's exact size and fills it through a
// system-memory staging texture. *outTexture receives one reference owned by the
// caller, or null when no texture could be made.
void LoadTexture(IDirect3DDevice9* device, LPCWSTR fileName, IDirect3DTexture9** outTexture);
