// GetWindowLongW, SetWindowLongW, GetWindowLongPtrW and SetWindowLongPtrW.
#include <windows.h>

#include "win32/window_registry.h"

using platform::win32::FindWindowRecord;
using platform::win32::WindowRecord;

namespace {

// The slot a window long index names, as a pointer-sized value; false for an index
// the window does not have.
bool ReadLong(const WindowRecord& record, int index, LONG_PTR* value) {
    switch (index) {
        case GWLP_USERDATA:
            *value = record.userData;
            return true;
        case GWL_STYLE:
            *value = static_cast<LONG>(record.style);
            return true;
        case GWL_EXSTYLE:
            *value = static_cast<LONG>(record.exStyle);
            return true;
        case GWLP_WNDPROC:
            *value = reinterpret_cast<LONG_PTR>(record.proc);
            return true;
        default:
            return false;
    }
}

// Style changes take effect on the screen at the next SetWindowPos, as on Windows.
bool WriteLong(WindowRecord& record, int index, LONG_PTR value) {
    switch (index) {
        case GWLP_USERDATA:
            record.userData = value;
            return true;
        case GWL_STYLE:
            record.style = static_cast<DWORD>(value);
            return true;
        case GWL_EXSTYLE:
            record.exStyle = static_cast<DWORD>(value);
            return true;
        case GWLP_WNDPROC:
            if (value == 0) {
                return false;
            }
            record.proc = reinterpret_cast<WNDPROC>(value);
            return true;
        default:
            return false;
    }
}

LONG_PTR ExchangeLong(HWND hwnd, int index, LONG_PTR value) {
    WindowRecord* record = FindWindowRecord(hwnd);
    LONG_PTR previous = 0;
    if (record == nullptr || !ReadLong(*record, index, &previous) ||
        !WriteLong(*record, index, value)) {
        return 0;
    }
    return previous;
}

}  // namespace

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    LONG_PTR value = 0;
    return record != nullptr && ReadLong(*record, index, &value) ? value : 0;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    return ExchangeLong(hwnd, index, value);
}

// The 32-bit window long keeps only the low half of a pointer-sized slot, exactly as
// on 64-bit Windows.
LONG WINAPI GetWindowLongW(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value) {
    if (index == GWLP_WNDPROC) {
        return 0;  // a procedure address does not fit
    }
    return static_cast<LONG>(ExchangeLong(hwnd, index, value));
}
