// RegisterClassExW and UnregisterClassW.
#include <windows.h>

#include "win32/window_class.h"

#include <cwctype>
#include <string>
#include <list>

namespace platform::win32 {

namespace {

struct RegisteredClass {
    ATOM atom;
    std::wstring name;
    WNDCLASSEXW record;  // lpszClassName points into `name`, so entries never move
};

std::list<RegisteredClass>& Classes() {
    static std::list<RegisteredClass> classes;
    return classes;
}

bool IsAtom(LPCWSTR className) { return (reinterpret_cast<ULONG_PTR>(className) >> 16) == 0; }

// Class names compare without regard to case.
bool SameName(const std::wstring& a, LPCWSTR b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == L'\0';
}

std::list<RegisteredClass>::iterator FindClass(LPCWSTR className) {
    auto& classes = Classes();
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        const bool matches =
            IsAtom(className)
                ? it->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className))
                : SameName(it->name, className);
        if (matches) {
            return it;
        }
    }
    return classes.end();
}

ATOM NextAtom() {
    static ATOM next = 0xC000;  // where USER32's string atoms begin
    return next++;
}

}  // namespace

const WNDCLASSEXW* FindWindowClass(LPCWSTR className) {
    if (className == nullptr) {
        return nullptr;
    }
    const auto found = FindClass(className);
    return found == Classes().end() ? nullptr : &found->record;
}

}  // namespace platform::win32

using platform::win32::FindWindowClass;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc) {
    if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXW) || wc->lpfnWndProc == nullptr ||
        wc->lpszClassName == nullptr ||
        (reinterpret_cast<ULONG_PTR>(wc->lpszClassName) >> 16) == 0 ||
        wc->lpszClassName[0] == L'\0' || FindWindowClass(wc->lpszClassName) != nullptr) {
        return 0;
    }
    auto& classes = platform::win32::Classes();
    classes.push_back({platform::win32::NextAtom(), wc->lpszClassName, *wc});
    classes.back().record.lpszClassName = classes.back().name.c_str();
    return classes.back().atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE /*instance*/) {
    if (className == nullptr) {
        return FALSE;
    }
    auto& classes = platform::win32::Classes();
    const auto found = platform::win32::FindClass(className);
    if (found == classes.end()) {
        return FALSE;
    }
    classes.erase(found);
    return TRUE;
}
