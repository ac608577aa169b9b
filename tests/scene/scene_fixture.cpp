#include "scene_fixture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

namespace {

const char* const kImages[] = {"Kai_Orisa05.png", "Velmo_Grid.png", "TBX_Cursor.png"};

}  // namespace

AssetImage ReadAsset(const std::string& name) {
    AssetImage image;
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    const std::string path = std::string(CORVANE_ASSETS_DIR) + "/" + name;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path;
        return image;
    }
    png.format = PNG_FORMAT_BGRA;  // little-endian BGRA bytes are 0xAARRGGBB words
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path;
    }
    return image;
}

bool SceneFixture::EnterScratchWithHooks() {
    previousDirectory = std::filesystem::current_path();
    char pattern[] = "/tmp/corvane-scene-XXXXXX";
    scratch = mkdtemp(pattern);
    for (const char* name : kImages) {
        std::filesystem::copy_file(std::filesystem::path(CORVANE_ASSETS_DIR) / name,
                                   scratch / name);
    }
    std::filesystem::current_path(scratch);
    platform::testing::SetClock([this] { return clockMs; });
    platform::testing::SetDebugSink([this](const std::wstring& text) {
        debugLines.push_back(text);
    });
    return true;
}

SceneFixture::SceneFixture() {
    // A full-screen device keeps only a focused window.
    platform::testing::SetWindowFocus(gpu.window, true);
}

SceneFixture::~SceneFixture() {
    scene.ReleaseResources();
    platform::testing::ResetAllHooks();
    std::filesystem::current_path(previousDirectory);
    std::filesystem::remove_all(scratch);
}

platform::testing::Frame SceneFixture::RenderFrame() {
    gpu.device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, TestDevice::kClearColour,
                      1.0f, 0);
    gpu.device->BeginScene();
    scene.Draw();
    gpu.device->EndScene();
    gpu.device->Present(NULL, NULL, NULL, NULL);
    return platform::testing::LastPresentedFrame();
}

void SceneFixture::ResetRound() {
    scene.ReleaseResources();
    ASSERT_EQ(gpu.device->Reset(&gpu.presentParams), D3D_OK);
    scene.LoadResources(gpu.device);
}

int SceneFixture::CountDebugLines(const std::wstring& line) const {
    std::wstring text = L"\n";
    for (const std::wstring& piece : debugLines) {
        text += piece;
    }
    const std::wstring needle = L"\n" + line;
    int count = 0;
    for (size_t at = text.find(needle); at != std::wstring::npos;
         at = text.find(needle, at + 1)) {
        ++count;
    }
    return count;
}
