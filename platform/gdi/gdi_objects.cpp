#include "gdi/gdi_objects.h"

#include <unordered_map>

namespace platform::gdi {

namespace {

struct ObjectTable {
    std::unordered_map<const void*, std::unique_ptr<GdiObject>> objects;
    std::unordered_map<const void*, std::unique_ptr<DeviceContext>> contexts;
    GdiObject* stockFont = nullptr;
    GdiObject* stockBitmap = nullptr;
    GdiObject* stockBrush = nullptr;
};

GdiObject* AddStock(ObjectTable& table, std::unique_ptr<GdiObject> object) {
    object->stock = true;
    GdiObject* raw = object.get();
    table.objects.emplace(raw, std::move(object));
    return raw;
}

ObjectTable& Table() {
    static ObjectTable table = [] {
        ObjectTable made;
        // What a fresh context holds before anything is selected: the system font,
        // a one-pixel bitmap and a white brush.
        made.stockFont = AddStock(made, std::make_unique<FontObject>(FontRequest{
                                            16, FW_BOLD, false, DEFAULT_QUALITY, L"System"}));
        made.stockBitmap = AddStock(made, std::make_unique<BitmapObject>(1, 1, true));
        made.stockBrush = AddStock(made, std::make_unique<BrushObject>(RGB(255, 255, 255)));
        return made;
    }();
    return table;
}

}  // namespace

BitmapObject::BitmapObject(int bitmapWidth, int bitmapHeight, bool rowsBottomUp)
    : GdiObject(ObjectKind::Bitmap),
      width(bitmapWidth),
      height(bitmapHeight),
      bottomUp(rowsBottomUp),
      pixels(static_cast<size_t>(bitmapWidth) * static_cast<size_t>(bitmapHeight) * 4, 0) {}

PixelView BitmapObject::View() {
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(width) * 4;
    PixelView view;
    view.width = width;
    view.height = height;
    view.rowStep = bottomUp ? -pitch : pitch;
    view.topRow = bottomUp ? pixels.data() + (height - 1) * pitch : pixels.data();
    return view;
}

PixelView DeviceContext::Target() const {
    if (overSurface) return surface;
    return bitmap != nullptr ? bitmap->View() : PixelView{};
}

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object) {
    GdiObject* raw = object.get();
    Table().objects.emplace(raw, std::move(object));
    return raw;
}

GdiObject* FindObject(HGDIOBJ handle) {
    auto& objects = Table().objects;
    auto found = objects.find(handle);
    return found == objects.end() ? nullptr : found->second.get();
}

void RemoveObject(HGDIOBJ handle) { Table().objects.erase(handle); }

HDC AddDeviceContext(std::unique_ptr<DeviceContext> context) {
    ObjectTable& table = Table();
    context->font = static_cast<FontObject*>(table.stockFont);
    context->bitmap =
        context->overSurface ? nullptr : static_cast<BitmapObject*>(table.stockBitmap);
    context->brush = static_cast<BrushObject*>(table.stockBrush);
    for (GdiObject* held :
         {static_cast<GdiObject*>(context->font), static_cast<GdiObject*>(context->bitmap),
          static_cast<GdiObject*>(context->brush)}) {
        if (held != nullptr) ++held->selections;
    }
    DeviceContext* raw = context.get();
    table.contexts.emplace(raw, std::move(context));
    return reinterpret_cast<HDC>(raw);
}

DeviceContext* FindDeviceContext(HDC handle) {
    auto& contexts = Table().contexts;
    auto found = contexts.find(handle);
    return found == contexts.end() ? nullptr : found->second.get();
}

void RemoveDeviceContext(HDC handle) {
    DeviceContext* context = FindDeviceContext(handle);
    if (context == nullptr) return;
    // The objects it held stay alive, merely unselected.
    for (GdiObject* held :
         {static_cast<GdiObject*>(context->font), static_cast<GdiObject*>(context->bitmap),
          static_cast<GdiObject*>(context->brush)}) {
        if (held != nullptr) --held->selections;
    }
    Table().contexts.erase(handle);
}

LiveCounts CountLiveObjects() {
    const ObjectTable& table = Table();
    LiveCounts counts;
    counts.deviceContexts = static_cast<int>(table.contexts.size());
    for (const auto& [handle, object] : table.objects) {
        if (object->stock) continue;
        switch (object->kind) {
            case ObjectKind::Font:
                ++counts.fonts;
                break;
            case ObjectKind::Bitmap:
                ++counts.bitmaps;
                break;
            case ObjectKind::Brush:
                ++counts.brushes;
                break;
        }
    }
    return counts;
}

}  // namespace platform::gdi
