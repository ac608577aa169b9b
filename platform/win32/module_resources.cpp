// GetModuleHandleW, LoadIconW and LoadCursorW: the module and its stock resources.
#include <windows.h>

namespace {

// The program is one module with no resources of its own; the system's stock
// icons and cursors are identified by their resource numbers.
const HMODULE kProgramModule = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x400000));
constexpr ULONG_PTR kStockResourceBase = 0x10000;

bool IsResourceNumber(LPCWSTR name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

ULONG_PTR StockHandle(HINSTANCE instance, LPCWSTR name, ULONG_PTR kind) {
    if (instance != nullptr || name == nullptr || !IsResourceNumber(name)) {
        return 0;
    }
    return kStockResourceBase + kind + reinterpret_cast<ULONG_PTR>(name);
}

}  // namespace

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    return moduleName == nullptr ? kProgramModule : nullptr;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return reinterpret_cast<HICON>(StockHandle(instance, name, 0));
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return reinterpret_cast<HCURSOR>(StockHandle(instance, name, 0x10000));
}
