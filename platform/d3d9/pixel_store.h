// The pixels of one surface: 32-bit texels in a block that surfaces can share.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace platform::d3d9 {

// When a store's block is made. Memory the program can lock, and render targets,
// exist from creation, as on Windows; a default-pool texture is usually filled by UpdateTexture,
// which shares a block, so it makes its own only when something reads or draws first.
enum class Allocation { Now, OnFirstUse };

// Pixel storage that starts zeroed. Surfaces can share a block until either
// writes: UpdateTexture hands a staging texture's pixels over instead of copying
// them, and the staging texture is usually gone before anyone writes again.
class PixelStore {
public:
    PixelStore(size_t count, Allocation allocation) : count_(count) {
        if (allocation == Allocation::Now) block_ = Allocate(Contents::Zeroed);
    }

    size_t size() const { return count_; }
    const uint32_t* Read() const {
        if (!block_) block_ = Allocate(Contents::Zeroed);
        return block_.get();
    }
    // The only way to change the pixels: a shared block is copied first.
    uint32_t* Write() {
        if (!block_) {
            block_ = Allocate(Contents::Zeroed);
        } else if (block_.use_count() > 1) {
            std::shared_ptr<uint32_t[]> own = Allocate(Contents::Undefined);
            std::memcpy(own.get(), block_.get(), count_ * sizeof(uint32_t));
            block_ = std::move(own);
        }
        return block_.get();
    }
    // Takes the pixels of a store of the same size without copying them.
    void Share(const PixelStore& source) {
        assert(source.count_ == count_);
        block_ = source.block_ ? source.block_ : (source.block_ = Allocate(Contents::Zeroed));
    }

private:
    enum class Contents { Zeroed, Undefined };

    // calloc hands large blocks over as fresh zero pages, so a new block is not
    // cleared a second time by hand.
    std::shared_ptr<uint32_t[]> Allocate(Contents contents) const {
        void* memory = contents == Contents::Zeroed ? std::calloc(count_, sizeof(uint32_t))
                                                    : std::malloc(count_ * sizeof(uint32_t));
        if (!memory) throw std::bad_alloc();
        return std::shared_ptr<uint32_t[]>(static_cast<uint32_t*>(memory),
                                           [](uint32_t* block) { std::free(block); });
    }

    size_t count_;
    mutable std::shared_ptr<uint32_t[]> block_;
};

}  // namespace platform::d3d9
