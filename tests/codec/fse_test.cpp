// The entropy coder on its own: blocks of every shape come back unchanged, and coded blocks that
// were cut short or damaged are refused without reading outside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "codec/fse.h"

namespace qv {
namespace {

enum class Shape { Uniform, Skewed, TwoSymbols, OneSymbol };

std::vector<uint8_t> block(Shape shape, size_t n, std::mt19937& rng) {
    std::vector<uint8_t> b(n);
    std::geometric_distribution<int> geometric(0.3);
    for (uint8_t& byte : b) {
        switch (shape) {
            case Shape::Uniform: byte = uint8_t(rng()); break;
            case Shape::Skewed: byte = uint8_t(std::min(geometric(rng), 255)); break;
            case Shape::TwoSymbols: byte = rng() % 10 ? 'a' : 'z'; break;
            case Shape::OneSymbol: byte = 7; break;
        }
    }
    return b;
}

// Bits per byte a perfect order-0 coder needs.
double entropy(const std::vector<uint8_t>& b) {
    std::vector<double> counts(256, 0);
    for (uint8_t byte : b) ++counts[byte];
    double bits = 0;
    for (double c : counts)
        if (c > 0) bits -= c * std::log2(c / double(b.size()));
    return bits / double(b.size());
}

TEST(Fse, BlocksOfEveryShapeAndSizeRoundTrip) {
    std::mt19937 rng(12);
    for (Shape shape : {Shape::Uniform, Shape::Skewed, Shape::TwoSymbols, Shape::OneSymbol}) {
        for (size_t n : {size_t(1), size_t(2), size_t(17), size_t(300), size_t(4096), size_t(50000), kFseMaxBlock}) {
            SCOPED_TRACE(testing::Message() << "shape " << int(shape) << " n " << n);
            const std::vector<uint8_t> in = block(shape, n, rng);
            std::vector<uint8_t> coded(fseBound(n));
            const size_t size = fseCompress(in.data(), n, coded.data(), coded.size());
            if (std::count(in.begin(), in.end(), in[0]) == long(n)) {
                EXPECT_EQ(size, 1u);
                continue;
            }
            if (shape == Shape::Uniform && n >= 300) {
                EXPECT_EQ(size, 0u);  // nothing to gain
            }
            if (size == 0) continue;
            ASSERT_GT(size, 1u);
            EXPECT_LT(size, n);
            // Within a small table's cost of the order-0 entropy.
            if (n >= 4096) {
                EXPECT_LT(double(size) * 8 / double(n), entropy(in) * 1.02 + 0.1);
            }
            std::vector<uint8_t> out(n);
            ASSERT_TRUE(fseDecompress(coded.data(), size, out.data(), n));
            EXPECT_EQ(out, in);
        }
    }
}

TEST(Fse, CutOrDamagedBlocksAreRefused) {
    std::mt19937 rng(5);
    const size_t n = 3000;
    const std::vector<uint8_t> in = block(Shape::Skewed, n, rng);
    std::vector<uint8_t> coded(fseBound(n));
    const size_t size = fseCompress(in.data(), n, coded.data(), coded.size());
    ASSERT_GT(size, 1u);
    std::vector<uint8_t> out(n);
    for (size_t cut = 0; cut < size; ++cut) {
        // Exactly the bytes that remain, so a sanitizer sees any read past them.
        std::vector<uint8_t> shorter(coded.begin(), coded.begin() + long(cut));
        EXPECT_FALSE(fseDecompress(shorter.data(), cut, out.data(), n)) << cut;
    }
    int refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<uint8_t> damaged(coded.begin(), coded.begin() + long(size));
        damaged[rng() % size] ^= uint8_t(1 << (rng() % 8));
        refused += !fseDecompress(damaged.data(), size, out.data(), n);
    }
    // A flipped bit is found by the final state check unless it falls in padding or happens to
    // leave a valid block; either way nothing is read outside the block.
    EXPECT_GT(refused, 360);
    EXPECT_FALSE(fseDecompress(coded.data(), size, out.data(), n - 1));  // wrong length
}

}  // namespace
}  // namespace qv
