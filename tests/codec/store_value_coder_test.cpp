// The store value coders: every array comes back unchanged, takes exactly the bytes its layout
// says, never more than the bound, and cut codings are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "codec/store_value_coder.h"

namespace qv {
namespace {

// Bytes of the layout, worked out value by value.
size_t layoutBytes(const std::vector<uint32_t>& v, bool wide) {
    size_t bytes = 0;
    const size_t n = v.size();
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        ++bytes;
        for (size_t g = i; g < i + 32; g += 8) {
            const uint32_t m = *std::max_element(v.begin() + long(g), v.begin() + long(g + 8));
            if (m == 0) continue;
            if (m < 256) bytes += 8;
            else if (wide) bytes += m < 65536 ? 16 : 32;
            else bytes += m < 4096 ? 12 : 16;
        }
    }
    for (; i < n; i += 8) {
        const size_t count = std::min<size_t>(8, n - i);
        const uint32_t m = *std::max_element(v.begin() + long(i), v.begin() + long(i + count));
        bytes += 1 + count * (m < 256 ? 1 : !wide || m < 65536 ? 2 : 4);
    }
    return bytes;
}

std::vector<uint32_t> sample(int kind, int n, bool wide, std::mt19937& rng) {
    const uint32_t edges[] = {0, 1, 254, 255, 256, 4095, 4096, 65534, 65535, 65536, 0xFFFFFFFFu};
    std::vector<uint32_t> v(size_t(n), 0);
    for (uint32_t& x : v) {
        switch (kind) {
            case 0: x = 0; break;
            case 1: x = rng() % 4 ? 0 : rng() % 256; break;         // sparse bytes
            case 2: x = rng() % (wide ? 0x10000 : 4096); break;
            case 3: x = edges[rng() % std::size(edges)]; break;      // values at the mode limits
            case 4: x = rng(); break;
        }
        if (!wide) x &= 0xFFFF;
    }
    return v;
}

TEST(StoreValueCoder, ArraysRoundTripInExactlyTheirLayoutsBytes) {
    std::mt19937 rng(3);
    for (bool wide : {true, false}) {
        for (int kind = 0; kind < 5; ++kind) {
            for (int n : {0, 1, 7, 8, 9, 31, 32, 33, 40, 64, 100, 1325, 1326}) {
                SCOPED_TRACE(testing::Message() << (wide ? "32" : "16") << "-bit kind " << kind << " n " << n);
                const std::vector<uint32_t> v = sample(kind, n, wide, rng);
                std::vector<uint8_t> coded(storeValueBound(n, wide ? 4 : 2) + 8, 0xEE);
                std::vector<uint32_t> back(size_t(n) + 1, 12345);
                size_t size = 0, used = 0;
                bool ok = false;
                if (wide) {
                    size = encodeStoreValues32(v.data(), n, coded.data());
                    ok = decodeStoreValues32(coded.data(), size, back.data(), n, used);
                } else {
                    std::vector<uint16_t> narrow(v.begin(), v.end()), out(size_t(n) + 1, 12345);
                    size = encodeStoreValues16(narrow.data(), n, coded.data());
                    ok = decodeStoreValues16(coded.data(), size, out.data(), n, used);
                    std::copy(out.begin(), out.end(), back.begin());
                }
                EXPECT_EQ(size, layoutBytes(v, wide));
                EXPECT_LE(size, storeValueBound(n, wide ? 4 : 2));
                EXPECT_EQ(coded[size], 0xEE);
                ASSERT_TRUE(ok);
                EXPECT_EQ(used, size);
                EXPECT_TRUE(std::equal(v.begin(), v.end(), back.begin()));
                EXPECT_EQ(back[size_t(n)], 12345u);  // nothing written past the array
            }
        }
    }
}

TEST(StoreValueCoder, BlockHeaderHoldsTheFourGroupModes) {
    std::vector<uint16_t> v(32, 0);
    v[8] = 200;    // group 1: bytes
    v[16] = 4000;  // group 2: 12 bits
    v[31] = 5000;  // group 3: two bytes
    std::vector<uint8_t> coded(storeValueBound(32, 2));
    EXPECT_EQ(encodeStoreValues16(v.data(), 32, coded.data()), 1u + 8 + 12 + 16);
    EXPECT_EQ(coded[0], 0 | 1 << 2 | 2 << 4 | 3 << 6);
    // 4000 = 0xFA0 in the low 12 bits of the 12-bit group.
    EXPECT_EQ(coded[9], 0xA0);
    EXPECT_EQ(coded[10] & 0x0F, 0x0F);
}

TEST(StoreValueCoder, CutCodingsAreRefused) {
    std::mt19937 rng(9);
    for (bool wide : {true, false}) {
        const std::vector<uint32_t> v = sample(3, 77, wide, rng);
        std::vector<uint8_t> coded(storeValueBound(77, 4));
        std::vector<uint16_t> narrow(v.begin(), v.end());
        const size_t size = wide ? encodeStoreValues32(v.data(), 77, coded.data())
                                 : encodeStoreValues16(narrow.data(), 77, coded.data());
        std::vector<uint32_t> back(77);
        std::vector<uint16_t> back16(77);
        for (size_t cut = 0; cut < size; ++cut) {
            std::vector<uint8_t> shorter(coded.begin(), coded.begin() + long(cut));
            size_t used = 0;
            EXPECT_FALSE(wide ? decodeStoreValues32(shorter.data(), cut, back.data(), 77, used)
                              : decodeStoreValues16(shorter.data(), cut, back16.data(), 77, used));
        }
    }
}

}  // namespace
}  // namespace qv
