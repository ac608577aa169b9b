// Registered window classes. Internal to the win32 family.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The class named by `className` (a string or an atom); null if none is registered.
const WNDCLASSEXW* FindWindowClass(LPCWSTR className);

}  // namespace platform::win32
