#include "image/bgra_rows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image_files.h"

namespace {

using image_test::PatternPixel;

const uint8_t Sentinel = 0xCD;

// Stored rows of the pattern with junk in the padding, the way files keep them.
std::vector<uint8_t> StoredPattern(UINT width, UINT height, UINT bytesPerPixel, size_t stride,
                                   bool bottomRowFirst)
{
    std::vector<uint8_t> bytes(stride * height, 0xAB);
    for (UINT stored = 0; stored < height; ++stored) {
        UINT y = bottomRowFirst ? height - 1 - stored : stored;
        for (UINT x = 0; x < width; ++x) {
            uint32_t argb = PatternPixel(static_cast<int>(x), static_cast<int>(y));
            uint8_t* pixel = &bytes[stored * stride + x * bytesPerPixel];
            for (UINT channel = 0; channel < bytesPerPixel; ++channel) {
                pixel[channel] = static_cast<uint8_t>(argb >> (8 * channel));
            }
        }
    }
    return bytes;
}

uint32_t ArgbAt(const std::vector<uint8_t>& rows, INT pitch, UINT x, UINT y)
{
    const uint8_t* p = &rows[y * pitch + x * 4];
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

TEST(CopyStoredRowsToBgra, EveryWidthDepthAndRowOrderLandsUnskewedWithinThePitch)
{
    for (UINT bytesPerPixel : {3u, 4u}) {
        for (bool bottomRowFirst : {true, false}) {
            for (UINT width = 1; width <= 5; ++width) {
                const UINT height = 3;
                size_t stride = (width * bytesPerPixel + 3) & ~size_t{3};
                std::vector<uint8_t> stored =
                    StoredPattern(width, height, bytesPerPixel, stride, bottomRowFirst);
                const INT pitch = static_cast<INT>(width * 4 + 8);
                std::vector<uint8_t> destination(pitch * height, Sentinel);

                StoredRows rows = {stored.data(), stride, bytesPerPixel, width, height,
                                   bottomRowFirst ? TRUE : FALSE};
                CopyStoredRowsToBgra(rows, destination.data(), pitch);

                SCOPED_TRACE(testing::Message() << bytesPerPixel << " bytes, width " << width
                                                << (bottomRowFirst ? ", bottom first" : ", top first"));
                for (UINT y = 0; y < height; ++y) {
                    for (UINT x = 0; x < width; ++x) {
                        uint32_t expected = PatternPixel(static_cast<int>(x), static_cast<int>(y));
                        if (bytesPerPixel == 3) {
                            expected |= 0xFF000000u;
                        }
                        ASSERT_EQ(ArgbAt(destination, pitch, x, y), expected) << "at " << x << "," << y;
                    }
                    for (INT byte = static_cast<INT>(width * 4); byte < pitch; ++byte) {
                        ASSERT_EQ(destination[y * pitch + byte], Sentinel) << "wrote past row " << y;
                    }
                }
            }
        }
    }
}

}  // namespace
