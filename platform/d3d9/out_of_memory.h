// Direct3D's answers when memory runs out.
#pragma once

#include <d3d9.h>

#include "crt/out_of_memory.h"

namespace platform::d3d9 {

using platform::FailingWhenOutOfMemory;

// What creating a resource in `pool` answers when its memory cannot be had.
inline HRESULT OutOfMemoryFor(D3DPOOL pool) {
    return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
}

}  // namespace platform::d3d9
