// Where a full-screen picture goes on the display. Internal to the win32 family.
#pragma once

#include <SDL.h>

namespace platform::win32 {

// The largest rectangle of the picture's aspect ratio that fits the display, centred;
// the same scale on both axes, so square pixels stay square. Sides are rounded
// down, so a bar may be one pixel wider than the one opposite.
inline SDL_Rect FitPicture(int pictureWidth, int pictureHeight, int displayWidth,
                           int displayHeight) {
    SDL_Rect fit{0, 0, displayWidth, displayHeight};
    const long long widthLimited = 1LL * displayWidth * pictureHeight;
    const long long heightLimited = 1LL * displayHeight * pictureWidth;
    if (widthLimited < heightLimited) {
        fit.h = static_cast<int>(widthLimited / pictureWidth);
    } else if (heightLimited < widthLimited) {
        fit.w = static_cast<int>(heightLimited / pictureHeight);
    }
    fit.x = (displayWidth - fit.w) / 2;
    fit.y = (displayHeight - fit.h) / 2;
    return fit;
}

}  // namespace platform::win32
