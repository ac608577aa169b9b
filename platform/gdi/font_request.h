// What a program asked CreateFontW for; the face is realised when the font is used.
#pragma once

#include <string>

namespace platform::gdi {

struct FontRequest {
    int height = 0;  // positive: cell height; negative: em height; 0: default size
    int weight = 0;
    bool italic = false;
    int quality = 0;
    std::wstring faceName;
};

}  // namespace platform::gdi
