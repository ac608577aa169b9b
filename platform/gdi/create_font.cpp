// CreateFontW keeps the request; the face is found when the font is first used.
#include <windows.h>

#include "crt/out_of_memory.h"
#include "gdi/gdi_failures.h"
#include "gdi/gdi_objects.h"

HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCWSTR faceName) {
    // Width scaling, rotation, decoration and matching hints are not offered.
    UNREFERENCED_PARAMETER(width);
    UNREFERENCED_PARAMETER(escapement);
    UNREFERENCED_PARAMETER(orientation);
    UNREFERENCED_PARAMETER(underline);
    UNREFERENCED_PARAMETER(strikeOut);
    UNREFERENCED_PARAMETER(charSet);
    UNREFERENCED_PARAMETER(outPrecision);
    UNREFERENCED_PARAMETER(clipPrecision);
    UNREFERENCED_PARAMETER(pitchAndFamily);
    if (platform::gdi::ConsumeFailure(platform::testing::GdiCall::CreateFontW)) return nullptr;

    return platform::FailingWhenOutOfMemory(HFONT{}, [&] {
        platform::gdi::FontRequest request;
        request.height = height;
        request.weight = weight;
        request.italic = italic != 0;
        request.quality = static_cast<int>(quality);
        request.faceName = faceName != nullptr ? faceName : L"";
        return static_cast<HFONT>(platform::gdi::AddObject(
            std::make_unique<platform::gdi::FontObject>(std::move(request))));
    });
}
