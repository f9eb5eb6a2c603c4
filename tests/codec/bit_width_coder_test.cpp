// The bit width coder: every array comes back unchanged in exactly the bytes its group widths
// say, and cut codings are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

#include "codec/bit_width_coder.h"

namespace qv {
namespace {

// Bytes of the layout worked out group by group.
size_t layoutBytes(const std::vector<uint16_t>& v) {
    size_t groups = 0, bytes = 0;
    for (size_t i = 0; i < v.size(); i += 8, ++groups) {
        int w = std::bit_width(*std::max_element(v.begin() + long(i), v.begin() + long(std::min(v.size(), i + 8))));
        bytes += size_t(w == 15 ? 16 : w);
    }
    return bytes + (groups + 1) / 2;
}

TEST(BitWidthCoder, ArraysRoundTripInExactlyTheirGroupWidths) {
    std::mt19937 rng(17);
    for (int largest : {0, 1, 2, 63, 255, 256, 4095, 16383, 16384, 32767, 32768, 65535}) {
        for (int n : {0, 1, 7, 8, 9, 16, 17, 100, 1326}) {
            SCOPED_TRACE(::testing::Message() << "largest " << largest << " n " << n);
            std::vector<uint16_t> v(static_cast<size_t>(n));
            for (uint16_t& x : v) x = rng() % 3 ? uint16_t(rng() % (largest + 1)) : 0;
            if (n) v[rng() % n] = uint16_t(largest);
            std::vector<uint8_t> coded(bitWidthBound(n) + 1, 0xEE);
            const size_t size = encodeBitWidths(v.data(), n, coded.data());
            EXPECT_EQ(size, layoutBytes(v));
            EXPECT_EQ(coded[bitWidthBound(n)], 0xEE);
            std::vector<uint16_t> back(size_t(n) + 1, 777);
            size_t used = 0;
            ASSERT_TRUE(decodeBitWidths(coded.data(), size, back.data(), n, used));
            EXPECT_EQ(used, size);
            EXPECT_TRUE(std::equal(v.begin(), v.end(), back.begin()));
            EXPECT_EQ(back[size_t(n)], 777);
            for (size_t cut = 0; cut < size; ++cut) {
                std::vector<uint8_t> shorter(coded.begin(), coded.begin() + long(cut));
                EXPECT_FALSE(decodeBitWidths(shorter.data(), cut, back.data(), n, used)) << cut;
            }
        }
    }
}

}  // namespace
}  // namespace qv
