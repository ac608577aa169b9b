#include "image/decoder_stream.h"

#include <cstdlib>

BOOL StreamHoldsBytes(FILE* file, size_t byteCount)
{
    long start = ftell(file);
    if (start < 0 || fseek(file, 0, SEEK_END) != 0) {
        return FALSE;
    }
    long end = ftell(file);
    if (fseek(file, start, SEEK_SET) != 0) {
        return FALSE;
    }
    return end >= start && static_cast<size_t>(end - start) >= byteCount;
}

BYTE* ReadPixelBlock(FILE* file, size_t byteCount)
{
    if (!StreamHoldsBytes(file, byteCount)) {
        return NULL;
    }
    BYTE* block = static_cast<BYTE*>(malloc(byteCount));
    if (block == NULL) {
        return NULL;
    }
    if (fread(block, 1, byteCount, file) != byteCount) {
        free(block);
        return NULL;
    }
    return block;
}

int CloseStreamAndFail(FILE* file)
{
    fclose(file);
    return 0;
}
