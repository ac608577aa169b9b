// Feeds each input to LoadTexture as a file named with FUZZ_FILE_EXTENSION, into
// the software device, the way the program loads its images.
#include <platform_testing.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "image/texture_loader.h"
#include "test_device.h"

namespace {

TestDevice* device = nullptr;
std::filesystem::path* inputPath = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static TestDevice testDevice;
    device = &testDevice;
    static std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("corvane_fuzz_" + std::to_string(getpid()) + FUZZ_FILE_EXTENSION);
    inputPath = &path;
    // Debug lines and boxes are expected for hostile files; keep them quiet.
    platform::testing::SetDebugSink([](const std::wstring&) {});
    platform::testing::SetMessageBoxHandler(
        [](const platform::testing::MessageBoxCall&) { return IDOK; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(inputPath->c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    IDirect3DTexture9* texture = nullptr;
    LoadTexture(device->device(), inputPath->wstring().c_str(), &texture);
    if (texture != nullptr) {
        texture->Release();
    }
    if (platform::testing::CountD3DLiveObjects().textures != 0) {
        std::abort();  // a staging texture escaped
    }
    return 0;
}
