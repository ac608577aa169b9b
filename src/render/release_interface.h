// Releases one reference if the owner holds one, and forgets the pointer.
#pragma once

#include <windows.h>

template <typename Interface>
void ReleaseInterface(Interface*& object) {
    if (object) {
        object->Release();
        object = NULL;
    }
}
