// 32-bit DIB sections: zero-filled pixels the program writes to directly.
#include <windows.h>

#include "crt/out_of_memory.h"
#include "gdi/gdi_failures.h"
#include "gdi/gdi_objects.h"

using namespace platform::gdi;

namespace {

// Keeps a single section's pixels addressable with 32-bit row arithmetic.
constexpr long long kMaxSectionBytes = 1LL << 30;

bool IsSupported(const BITMAPINFOHEADER& header) {
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1) return false;
    if (header.biBitCount != 32 || header.biCompression != BI_RGB) return false;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return false;
    const long long rows =
        header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    return static_cast<long long>(header.biWidth) * rows * 4 <= kMaxSectionBytes;
}

}  // namespace

HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD offset) {
    UNREFERENCED_PARAMETER(offset);
    if (bits != nullptr) *bits = nullptr;
    if (dc != nullptr && FindDeviceContext(dc) == nullptr) return nullptr;
    // File-mapped sections are not offered.
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr ||
        !IsSupported(info->bmiHeader)) {
        return nullptr;
    }
    if (ConsumeFailure(platform::testing::GdiCall::CreateDIBSection)) return nullptr;

    const BITMAPINFOHEADER& header = info->bmiHeader;
    const bool bottomUp = header.biHeight > 0;
    return platform::FailingWhenOutOfMemory(HBITMAP{}, [&] {
        auto bitmap = std::make_unique<BitmapObject>(
            header.biWidth, bottomUp ? header.biHeight : -header.biHeight, bottomUp);
        void* pixels = bitmap->pixels.data();
        const HBITMAP handle = static_cast<HBITMAP>(AddObject(std::move(bitmap)));
        if (bits != nullptr) *bits = pixels;
        return handle;
    });
}
