#include "text_fixture.h"

#include <platform_testing.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "render/release_interface.h"

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    // Memory-backed when the system has it: the 1,000-reset test writes 4 GiB of dumps.
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    std::string pattern = (base / "text-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        directory_ = pattern;
        std::filesystem::current_path(directory_);
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
}

void TextRendererTest::SetUp() {
    ASSERT_NE(testDevice.device(), nullptr);
    platform::testing::SetDebugSink([this](const std::wstring& text) { debugLines.push_back(text); });
}

void TextRendererTest::TearDown() {
    Destroy(renderer);
    platform::testing::ResetAllHooks();
}

void TextRendererTest::Destroy(TextRenderer*& doomed) {
    if (doomed == nullptr) return;
    ReleaseInterface(doomed->atlasTexture);
    delete doomed;
    doomed = nullptr;
}

TextRenderer* TextRendererTest::Make(bool withDevice) {
    CreateTextRenderer(withDevice ? testDevice.device() : nullptr, &renderer);
    return renderer;
}

const BYTE* TextRendererTest::Pixel(const TextRenderer& r, int x, int y) {
    return r.glyphBits + (static_cast<size_t>(r.bitmapHeight - 1 - y) * r.bitmapWidth + x) * 4;
}

std::vector<std::pair<int, int>> TextRendererTest::TexelMismatches(const TextRenderer& r) {
    std::vector<std::pair<int, int>> mismatches;
    D3DLOCKED_RECT locked{};
    if (r.atlasTexture == nullptr || FAILED(r.atlasTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
        mismatches.emplace_back(-1, -1);
        return mismatches;
    }
    for (int y = 0; y < r.bitmapHeight; ++y) {
        const BYTE* texels = static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        if (std::memcmp(texels, Pixel(r, 0, y), static_cast<size_t>(r.bitmapWidth) * 4) == 0) continue;
        for (int x = 0; x < r.bitmapWidth; ++x) {
            if (std::memcmp(texels + x * 4, Pixel(r, x, y), 4) != 0) mismatches.emplace_back(x, y);
        }
    }
    r.atlasTexture->UnlockRect(0);
    return mismatches;
}

bool TextRendererTest::BitmapIsZero(const TextRenderer& r) {
    const size_t bytes = static_cast<size_t>(r.bitmapWidth) * r.bitmapHeight * 4;
    for (size_t i = 0; i < bytes; ++i) {
        if (r.glyphBits[i] != 0) return false;
    }
    return true;
}

std::wstring DistinctCharacters(int count, wchar_t first) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += static_cast<wchar_t>(first + i);
    return text;
}
