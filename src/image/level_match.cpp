#include "image/level_match.h"

BOOL LevelMatchesImage(IDirect3DTexture9* texture, UINT width, UINT height)
{
    if (texture == NULL) {
        return FALSE;
    }
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc))) {
        return FALSE;
    }
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
        return FALSE;
    }
    return desc.Width == width && desc.Height == height;
}
