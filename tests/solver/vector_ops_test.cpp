// The vector loops of the iteration against plain scalar statements of the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "solver/layout.h"
#include "solver/vector_ops.h"

namespace qv {
namespace {

struct Shape {
    int actions;
    int n;
};

const Shape kShapes[] = {{1, 5}, {2, 8}, {2, 13}, {3, 31}, {5, 40}};

std::vector<float> randomRegrets(std::mt19937& rng, int actions, size_t stride) {
    std::uniform_real_distribution<float> u(0.0f, 10.0f);
    std::vector<float> r(actions * stride, 0.0f);
    for (float& v : r) v = u(rng) < 3.0f ? 0.0f : u(rng);
    return r;
}

// Exact to the bit, in the vector loops as in their scalar tails: the figures of a solve must not
// depend on the processor (approximate reciprocals and square roots differ between makers).
TEST(VectorOps, RegretMatchingIsTheExactScalarRuleIncludingDefaultStrategy) {
    std::mt19937 rng(7);
    for (Shape shape : kShapes) {
        size_t stride = size_t(paddedLength(shape.n));
        std::vector<float> regrets = randomRegrets(rng, shape.actions, stride);
        for (int a = 0; a < shape.actions; ++a) regrets[a * stride + 0] = 0.0f;  // hand 0: all zero
        std::vector<uint16_t> regrets16(regrets.size());
        for (size_t i = 0; i < regrets.size(); ++i) regrets16[i] = uint16_t(std::lrint(regrets[i] * 100));
        std::vector<float> sigma(regrets.size()), sigma16(regrets.size());
        regretMatch(regrets.data(), shape.actions, stride, shape.n, sigma.data());
        regretMatch16(regrets16.data(), shape.actions, stride, shape.n, sigma16.data());
        for (int h = 0; h < shape.n; ++h) {
            float sum = 0, sum16 = 0;
            for (int a = 0; a < shape.actions; ++a) {
                sum += regrets[a * stride + h];
                sum16 += float(regrets16[a * stride + h]);
            }
            for (int a = 0; a < shape.actions; ++a) {
                float fallback = a == 0 ? std::max(1.0f / float(shape.actions), 0.9f)
                                        : (1 - std::max(1.0f / float(shape.actions), 0.9f)) / float(shape.actions - 1);
                float expect = sum > 0 ? std::min(1.0f, regrets[a * stride + h] * (1.0f / sum)) : fallback;
                float expect16 = sum16 > 0 ? std::min(1.0f, float(regrets16[a * stride + h]) * (1.0f / sum16)) : fallback;
                EXPECT_EQ(sigma[a * stride + h], expect) << shape.actions << " actions, hand " << h;
                EXPECT_EQ(sigma16[a * stride + h], expect16);
            }
        }
    }
}

// Locked hands (a random few) keep their regrets and strategy sums.
TEST(VectorOps, RegretUpdateIsExactlyDampedAndFlooredAtZeroAndSkipsLockedHands) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-50.0f, 50.0f);
    for (Shape shape : kShapes) {
        size_t stride = size_t(paddedLength(shape.n));
        std::vector<float> regrets = randomRegrets(rng, shape.actions, stride);
        std::vector<std::vector<float>> children(shape.actions, std::vector<float>(stride));
        std::vector<float> node(stride);
        for (auto& c : children)
            for (float& v : c) v = u(rng);
        for (float& v : node) v = u(rng);
        children[0][1] = node[1];  // a zero difference leaves the regret alone
        std::vector<const float*> pointers;
        for (auto& c : children) pointers.push_back(c.data());
        std::vector<uint8_t> locked(stride);
        for (uint8_t& l : locked) l = rng() % 5 == 0;
        std::vector<float> before = regrets, sums(stride, 2.0f);
        updateRegrets(regrets.data(), shape.actions, stride, shape.n, pointers.data(), node.data(), locked.data());
        accumulate(sums.data(), node.data(), 3.0f, shape.n, locked.data());
        for (int h = 0; h < shape.n; ++h) EXPECT_EQ(sums[h] == 2.0f, locked[h] || node[h] == 0.0f) << h;
        for (int a = 0; a < shape.actions; ++a)
            for (int h = 0; h < shape.n; ++h) {
                float r = locked[h] ? 0.0f : children[a][h] - node[h];
                float root = std::sqrt(std::fabs(r));  // |r|^0.75 = sqrt|r| sqrt(sqrt|r|)
                float expect = before[a * stride + h] + std::copysign(root * std::sqrt(root), r);
                if (expect < 1.1754944e-38f) expect = 0;
                EXPECT_EQ(regrets[a * stride + h], expect) << a << " " << h;
                EXPECT_GE(regrets[a * stride + h], 0.0f);
            }
    }
}

TEST(VectorOps, SixteenBitRegretsRoundAndSaturate) {
    const int n = 12;
    size_t stride = size_t(paddedLength(n));
    std::vector<uint16_t> regrets(stride, 0);
    regrets[0] = 65000;
    regrets[1] = 10;
    regrets[2] = 100;
    std::vector<float> child(stride, 0.0f), node(stride, 0.0f);
    child[0] = 1e6f;   // saturates at the top
    child[1] = -1e6f;  // floors at zero
    child[2] = 16.0f;  // scaled by 0.5 to 8, 8^0.75 = 4.757 -> 105
    const float* children[] = {child.data()};
    uint16_t largest = updateRegrets16(regrets.data(), 1, stride, n, children, node.data(), 0.5f, nullptr);
    EXPECT_EQ(regrets[0], 65535);
    EXPECT_EQ(regrets[1], 0);
    EXPECT_EQ(regrets[2], 105);
    EXPECT_EQ(largest, 65535);
    rescale16(regrets.data(), stride, 0.5f);
    EXPECT_EQ(regrets[0], 32768);
    EXPECT_EQ(regrets[2], 52);  // 52.5 rounds to even
}

TEST(VectorOps, SixteenBitRegretUpdateReportsTheRecordsLargestValue) {
    // The largest value may sit in the vector part or the scalar tail of any action, or in a
    // locked hand that the update leaves alone.
    const int n = 13, actions = 3;
    const size_t stride = size_t(paddedLength(n));
    struct Case {
        int action, hand;
        bool locked;
    };
    for (Case c : {Case{0, 2, false}, Case{2, 5, false}, Case{1, 11, false}, Case{2, 12, true}}) {
        std::vector<uint16_t> regrets(actions * stride, 100);
        regrets[c.action * stride + c.hand] = 40000;
        std::vector<float> child(stride, 1.0f), node(stride, 0.0f);
        std::vector<uint8_t> skip(stride, 0);
        skip[c.hand] = c.locked;
        const float* children[] = {child.data(), child.data(), child.data()};
        uint16_t largest = updateRegrets16(regrets.data(), actions, stride, n, children, node.data(), 1.0f,
                                           c.locked ? skip.data() : nullptr);
        EXPECT_EQ(largest, 40001 - int(c.locked)) << c.action << " " << c.hand;
        EXPECT_EQ(largest, *std::max_element(regrets.begin(), regrets.end()));
    }
}

TEST(VectorOps, FastSixteenBitSumsKeepRatiosAndHalveTheScaleOnOverflow) {
    const int n = 10;
    size_t stride = size_t(paddedLength(n));
    std::vector<uint16_t> sums(2 * stride, 0);
    std::vector<float> add0(stride, 1.0f), add1(stride, 3.0f), temp(2 * stride);
    const float* add[] = {add0.data(), add1.data()};
    float scale = 16.0f;
    accumulate16(sums.data(), 2, stride, n, add, 100.0f, scale, 65535.0f, nullptr, temp.data());
    EXPECT_EQ(scale, 16.0f);
    EXPECT_EQ(sums[0], 1600);
    EXPECT_EQ(sums[stride], 4800);
    accumulate16(sums.data(), 2, stride, n, add, 2000.0f, scale, 65535.0f, nullptr, temp.data());
    EXPECT_EQ(scale, 8.0f);  // 6300 x 16 would pass 65535
    std::vector<float> fallback(2 * stride, 0.5f), sigma(2 * stride);
    normaliseSums16(sums.data(), 2, stride, n, fallback.data(), sigma.data());
    EXPECT_NEAR(sigma[0], 0.25, 1e-4);
    EXPECT_NEAR(sigma[stride], 0.75, 1e-4);
}

TEST(VectorOps, HelpersAgreeWithScalarLoops) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    for (int n : {1, 7, 8, 23, 64}) {
        size_t stride = size_t(paddedLength(n));
        std::vector<float> a(stride, 0.0f), b(stride, 0.0f), out(stride, 0.0f), strategy(2 * stride, 0.0f);
        for (int h = 0; h < n; ++h) {
            a[h] = u(rng);
            b[h] = u(rng);
            strategy[h] = 0.25f;
            strategy[stride + h] = 0.75f;
        }
        double expect = 0;
        for (int h = 0; h < n; ++h) expect += double(a[h]) * b[h];
        EXPECT_NEAR(dotProduct(a.data(), b.data(), n), expect, 1e-5);
        const float* values[] = {a.data(), nullptr};
        weightedSum(out.data(), strategy.data(), 2, stride, values, n);
        for (int h = 0; h < n; ++h) EXPECT_FLOAT_EQ(out[h], 0.25f * a[h]);
        bool positive = multiplyInto(out.data(), a.data(), b.data(), n);
        bool expectPositive = false;
        for (int h = 0; h < n; ++h) expectPositive |= a[h] * b[h] > 0;
        EXPECT_EQ(positive, expectPositive);
        std::vector<uint16_t> index(stride);
        for (int h = 0; h < n; ++h) index[h] = uint16_t(n - 1 - h);
        std::fill(out.begin(), out.end(), 1.0f);
        gatherAddScaled(out.data(), a.data(), index.data(), 2.0f, n);
        for (int h = 0; h < n; ++h) EXPECT_FLOAT_EQ(out[h], 1.0f + 2.0f * a[n - 1 - h]);
    }
}

}  // namespace
}  // namespace qv
