#include "d3d9/presentation.h"

#include "d3d9/surface_memory.h"
#include "win32/window_bridge.h"

namespace platform::d3d9 {

namespace {

bool IsSupported(const D3DPRESENT_PARAMETERS& params) {
    const bool format = params.BackBufferFormat == D3DFMT_UNKNOWN
                            ? params.Windowed != FALSE
                            : IsColorFormat(params.BackBufferFormat);
    const bool swapEffect = params.SwapEffect == D3DSWAPEFFECT_DISCARD ||
                            params.SwapEffect == D3DSWAPEFFECT_FLIP ||
                            params.SwapEffect == D3DSWAPEFFECT_COPY;
    const bool depth =
        !params.EnableAutoDepthStencil || params.AutoDepthStencilFormat == D3DFMT_D16;
    const bool fullScreenSize =
        params.Windowed || (params.BackBufferWidth != 0 && params.BackBufferHeight != 0);
    const bool sizes =
        params.BackBufferWidth <= kMaxSurfaceSize && params.BackBufferHeight <= kMaxSurfaceSize;
    return format && swapEffect && depth && fullScreenSize && sizes &&
           params.BackBufferCount <= 1 && params.MultiSampleType == D3DMULTISAMPLE_NONE;
}

}  // namespace

HRESULT ResolvePresentation(HWND window, D3DPRESENT_PARAMETERS& params, bool leaveFullScreen) {
    if (!IsSupported(params)) return D3DERR_INVALIDCALL;
    if (params.Windowed) {
        const SIZE client = leaveFullScreen ? platform::win32::WindowedClientSizeOf(window)
                                            : platform::win32::ClientSizeOf(window);
        if (params.BackBufferWidth == 0) params.BackBufferWidth = static_cast<UINT>(client.cx);
        if (params.BackBufferHeight == 0) params.BackBufferHeight = static_cast<UINT>(client.cy);
        if (params.BackBufferFormat == D3DFMT_UNKNOWN) params.BackBufferFormat = D3DFMT_X8R8G8B8;
    }
    if (!IsValidSurfaceSize(params.BackBufferWidth, params.BackBufferHeight)) {
        return D3DERR_INVALIDCALL;
    }
    if (params.BackBufferCount == 0) params.BackBufferCount = 1;
    return D3D_OK;
}

bool SwitchPresentation(HWND window, const D3DPRESENT_PARAMETERS& params, bool leaveFullScreen) {
    if (params.Windowed && !leaveFullScreen) return true;
    return platform::win32::SetFullScreenPresentation(window, !params.Windowed,
                                                      static_cast<int>(params.BackBufferWidth),
                                                      static_cast<int>(params.BackBufferHeight));
}

}  // namespace platform::d3d9
