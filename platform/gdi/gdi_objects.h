// The GDI object model of the layer: fonts, bitmaps, brushes and device contexts,
// each handle being the address of its object in one process-wide table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/font_request.h"
#include "gdi/pixel_view.h"

namespace platform::gdi {

class RealisedFont;

enum class ObjectKind { Font, Bitmap, Brush };

struct GdiObject {
    explicit GdiObject(ObjectKind objectKind) : kind(objectKind) {}
    virtual ~GdiObject() = default;

    const ObjectKind kind;
    bool stock = false;  // owned by the layer: never deleted, never counted
    int selections = 0;  // device contexts that hold it selected
};

struct BrushObject : GdiObject {
    explicit BrushObject(COLORREF brushColor) : GdiObject(ObjectKind::Brush), color(brushColor) {}
    COLORREF color;
};

struct BitmapObject : GdiObject {
    BitmapObject(int bitmapWidth, int bitmapHeight, bool rowsBottomUp);
    PixelView View();

    int width;
    int height;
    bool bottomUp;
    std::vector<uint8_t> pixels;  // zero-filled, 4 bytes a pixel, rows packed
};

struct FontObject : GdiObject {
    explicit FontObject(FontRequest fontRequest)
        : GdiObject(ObjectKind::Font), request(std::move(fontRequest)) {}
    FontRequest request;
    const RealisedFont* realised = nullptr;  // filled on first use
};

struct DeviceContext {
    // Set for a context over memory that another family owns (a Direct3D surface).
    PixelView surface;
    bool overSurface = false;

    FontObject* font = nullptr;
    BitmapObject* bitmap = nullptr;
    BrushObject* brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    int mapMode = MM_TEXT;

    PixelView Target() const;
};

// The process-wide table behind the handles.
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
GdiObject* FindObject(HGDIOBJ handle);
template <class T>
T* FindObjectOf(HGDIOBJ handle, ObjectKind kind) {
    GdiObject* object = FindObject(handle);
    return object != nullptr && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
void RemoveObject(HGDIOBJ handle);

// A new context with the stock font, bitmap and brush selected.
HDC AddDeviceContext(std::unique_ptr<DeviceContext> context);
DeviceContext* FindDeviceContext(HDC handle);
void RemoveDeviceContext(HDC handle);

struct LiveCounts {
    int deviceContexts = 0;
    int fonts = 0;
    int bitmaps = 0;
    int brushes = 0;
};
LiveCounts CountLiveObjects();

}  // namespace platform::gdi
