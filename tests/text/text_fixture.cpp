#include "text_fixture.h"

#include <platform_testing.h>
#include <unistd.h>

#include <cstring>

#include "render/release_interface.h"

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    // Memory-backed where possible: the 1,000-reset test writes 4 GiB of dumps.
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
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

void TextRendererTest::Make(bool withDevice) { CreateTextRenderer(withDevice ? testDevice.device() : nullptr, &renderer); }

void TextRendererTest::Destroy(TextRenderer*& doomed) {
    if (doomed == nullptr) return;
    ReleaseInterface(doomed->atlasTexture);
    delete doomed;
    doomed = nullptr;
}

BYTE* TextRendererTest::Pixel(int x, int y) const {
    return renderer->glyphBits + (static_cast<size_t>(renderer->bitmapHeight - 1 - y) * renderer->bitmapWidth + x) * 4;
}

std::vector<std::pair<int, int>> TextRendererTest::TexelMismatches() const {
    std::vector<std::pair<int, int>> mismatches;
    D3DLOCKED_RECT locked{};
    if (FAILED(renderer->atlasTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return {{-1, -1}};
    for (int y = 0; y < renderer->bitmapHeight; ++y) {
        const BYTE* texels = static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (int x = 0; x < renderer->bitmapWidth; ++x) {
            if (std::memcmp(texels + x * 4, Pixel(x, y), 4) != 0) mismatches.emplace_back(x, y);
        }
    }
    renderer->atlasTexture->UnlockRect(0);
    return mismatches;
}

std::u16string DistinctCharacters(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += static_cast<char16_t>(0x4E00 + i);
    return text;
}
