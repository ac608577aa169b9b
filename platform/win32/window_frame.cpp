// No Windows function: the fixed non-client frame of the Windows model.
#include "win32/window_frame.h"

namespace platform::win32 {

namespace {

constexpr LONG kSizingFrame = 8;
constexpr LONG kFixedFrame = 3;
constexpr LONG kThinBorder = 1;
constexpr LONG kCaptionHeight = 23;
constexpr LONG kMenuHeight = 20;

LONG BorderFor(DWORD style) {
    if ((style & WS_THICKFRAME) != 0) {
        return kSizingFrame;
    }
    if ((style & WS_DLGFRAME) != 0) {
        return kFixedFrame;
    }
    return (style & WS_BORDER) != 0 ? kThinBorder : 0;
}

}  // namespace

FrameInsets FrameInsetsFor(DWORD style, bool hasMenu) {
    const LONG border = BorderFor(style);
    LONG top = border;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        top += kCaptionHeight;
    }
    if (hasMenu) {
        top += kMenuHeight;
    }
    return FrameInsets{border, top, border, border};
}

RECT WindowRectFromClient(const RECT& client, DWORD style) {
    const FrameInsets frame = FrameInsetsFor(style, false);
    return RECT{client.left - frame.left, client.top - frame.top, client.right + frame.right,
                client.bottom + frame.bottom};
}

RECT ClientRectFromWindow(const RECT& window, DWORD style) {
    const FrameInsets frame = FrameInsetsFor(style, false);
    RECT client{window.left + frame.left, window.top + frame.top, window.right - frame.right,
                window.bottom - frame.bottom};
    if (client.right < client.left) {
        client.right = client.left;
    }
    if (client.bottom < client.top) {
        client.bottom = client.top;
    }
    return client;
}

LPARAM ClientSizeParam(const RECT& client) {
    return static_cast<LPARAM>((((client.bottom - client.top) & 0xFFFF) << 16) |
                               ((client.right - client.left) & 0xFFFF));
}

}  // namespace platform::win32
