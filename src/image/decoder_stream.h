#pragma once

#include <cstddef>
#include <cstdio>

#include <windows.h>

// Whether at least byteCount bytes follow the stream's position; the position is
// kept.
BOOL StreamHoldsBytes(FILE* file, size_t byteCount);

// Reads the next byteCount bytes into a malloc block the caller frees. Returns
// null, allocating nothing, when the stream holds fewer: a header's claim is
// checked against the file before anything is sized from it.
BYTE* ReadPixelBlock(FILE* file, size_t byteCount);

// Closes a decoder's stream on a rejection path; returns the decoder's failure, 0.
int CloseStreamAndFail(FILE* file);
