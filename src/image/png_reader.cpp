#include "image/png_reader.h"

namespace {

const size_t PngSignatureBytes = 8;

// Chunks that libpng allocates and clears at the length the file states before it
// reads them (a too-large length is only a warning); none changes the pixels. A
// 100-byte file could otherwise claim gigabytes.
const png_byte SkippedChunks[] = "iCCP\0iTXt\0tEXt\0zTXt\0pCAL\0sCAL\0sPLT\0eXIf";
const int SkippedChunkCount = sizeof(SkippedChunks) / 5;

}  // namespace

BOOL OpenPngReader(LPCWSTR fileName, PngReader* reader) {
    reader->file = NULL;
    reader->png = NULL;
    reader->info = NULL;

    FILE* file = _wfopen(fileName, L"rb");
    if (file == NULL) {
        OutputDebugStringW(L"LoadPng : No File\n");
        OutputDebugStringW(L"\n");
        return FALSE;
    }
    png_byte signature[PngSignatureBytes];
    if (fread(signature, PngSignatureBytes, 1, file) != 1 ||
        png_sig_cmp(signature, 0, PngSignatureBytes) != 0) {
        fclose(file);
        return FALSE;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    if (png == NULL) {
        fclose(file);
        return FALSE;
    }
    png_infop info = png_create_info_struct(png);
    if (info == NULL) {
        png_destroy_read_struct(&png, NULL, NULL);
        fclose(file);
        return FALSE;
    }
    reader->file = file;
    reader->png = png;
    reader->info = info;
    return TRUE;
}

void ReadPngHeader(const PngReader& reader) {
    png_init_io(reader.png, reader.file);
    png_set_sig_bytes(reader.png, static_cast<int>(PngSignatureBytes));
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, SkippedChunks,
                                SkippedChunkCount);
    png_read_info(reader.png, reader.info);
}

void GetPngSize(const PngReader& reader, png_uint_32* width, png_uint_32* height) {
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(reader.png, reader.info, width, height, &bitDepth, &colorType, NULL, NULL, NULL);
}

void ClosePngReader(PngReader* reader) {
    if (reader->png != NULL) {
        png_destroy_read_struct(&reader->png, reader->info != NULL ? &reader->info : NULL, NULL);
        reader->png = NULL;
        reader->info = NULL;
    }
    if (reader->file != NULL) {
        fclose(reader->file);
        reader->file = NULL;
    }
}
