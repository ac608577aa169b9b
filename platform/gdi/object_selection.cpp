// Selecting objects into device contexts and deleting them.
#include <windows.h>

#include "gdi/gdi_objects.h"

using namespace platform::gdi;

namespace {

// Puts `object` into `slot` and returns what it displaced.
template <class T>
HGDIOBJ Swap(T*& slot, T* object) {
    T* previous = slot;
    slot = object;
    ++object->selections;
    if (previous != nullptr) --previous->selections;
    return previous;
}

}  // namespace

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = FindDeviceContext(dc);
    GdiObject* selected = FindObject(object);
    if (context == nullptr || selected == nullptr) return nullptr;
    switch (selected->kind) {
        case ObjectKind::Font:
            return Swap(context->font, static_cast<FontObject*>(selected));
        case ObjectKind::Brush:
            return Swap(context->brush, static_cast<BrushObject*>(selected));
        case ObjectKind::Bitmap:
            // A surface's context draws into the surface; a bitmap lives in one context at a time.
            if (context->overSurface) return nullptr;
            if (context->bitmap == selected) return selected;
            if (!selected->stock && selected->selections > 0) return nullptr;
            return Swap(context->bitmap, static_cast<BitmapObject*>(selected));
    }
    return nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    const GdiObject* found = FindObject(object);
    if (found == nullptr) return FALSE;
    if (found->stock) return TRUE;
    // Deleting what a context still holds would leave the context dangling.
    if (found->selections > 0) return FALSE;
    RemoveObject(object);
    return TRUE;
}
