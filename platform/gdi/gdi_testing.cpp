// The GDI family's test hooks: injected failures and live-object counts.
#include <platform_testing.h>

#include <map>

#include "gdi/gdi_failures.h"
#include "gdi/font_resolver.h"
#include "gdi/gdi_objects.h"

namespace platform {

namespace {

// Pending failures per call; a negative count fails until cleared.
std::map<testing::GdiCall, int>& PendingFailures() {
    static std::map<testing::GdiCall, int> pending;
    return pending;
}

}  // namespace

bool gdi::ConsumeFailure(testing::GdiCall call) {
    auto found = PendingFailures().find(call);
    if (found == PendingFailures().end() || found->second == 0) return false;
    if (found->second > 0) --found->second;
    return true;
}

void testing::FailGdiCall(GdiCall call, int count) { PendingFailures()[call] = count; }

void testing::ClearGdiFailures() { PendingFailures().clear(); }

testing::GdiLiveObjects testing::CountGdiLiveObjects() {
    const gdi::LiveCounts counts = gdi::CountLiveObjects();
    return GdiLiveObjects{counts.deviceContexts, counts.fonts, counts.bitmaps, counts.brushes};
}

std::string testing::ResolvedFontFile(const std::wstring& faceName) {
    return gdi::ResolveFace(faceName, FW_NORMAL, false).file;
}

}  // namespace platform
