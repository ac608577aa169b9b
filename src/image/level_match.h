#pragma once

#include <windows.h>
#include <d3d9.h>

// Whether level 0 of the texture is a 4-byte-per-pixel level of exactly the
// image's size. Decoders ask before writing: the texture was sized from a
// separate read of the file, which may have changed since or fallen back to
// defaults.
BOOL LevelMatchesImage(IDirect3DTexture9* texture, UINT width, UINT height);
