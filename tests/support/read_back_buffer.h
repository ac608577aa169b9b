// Reads a device's back buffer the Windows way (GetBackBuffer, then
// GetRenderTargetData into a system-memory surface).
#pragma once

#include <d3d9.h>
#include <platform_testing.h>

// An empty frame when any step fails.
platform::testing::Frame ReadBackBuffer(IDirect3DDevice9* device);
