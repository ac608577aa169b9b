// Which font file stands for a Windows face name: fontconfig's choice, after the
// substitutions Windows itself would make for faces that Linux does not carry.
#pragma once

#include <string>

namespace platform::gdi {

struct ResolvedFace {
    std::string file;  // empty when no font at all could be found
    int index = 0;     // face within the file
    // The face stands in for one whose character cell is its em square, so the
    // cell is derived from the em rather than from the substitute's own metrics.
    bool cellIsEm = false;
};

ResolvedFace ResolveFace(const std::wstring& faceName, int weight, bool italic);

}  // namespace platform::gdi
