#pragma once

#include <cstdio>

#include <windows.h>
#include <png.h>

// The plain resources of one PNG read. No destructor: they are released by hand,
// also after libpng's longjmp.
struct PngReader {
    FILE* file;
    png_structp png;
    png_infop info;
};

// Opens the file, checks the 8-byte signature and creates libpng's read and info
// structures. A file that cannot be opened writes "LoadPng : No File\n" and "\n"
// to the debugger. Returns FALSE with nothing left open on any failure.
BOOL OpenPngReader(LPCWSTR fileName, PngReader* reader);

// Reads everything up to the image data. Call only with the recovery armed.
void ReadPngHeader(const PngReader& reader);

// Width and height from the header read so far (after png_read_update_info, of
// the transformed image). Call only with the recovery armed.
void GetPngSize(const PngReader& reader, png_uint_32* width, png_uint_32* height);

// Frees the libpng structures, then closes the file.
void ClosePngReader(PngReader* reader);
