#include "solver/math_functions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv {
namespace {

TEST(MathFunctions, PowerOfTwoIsExactForWholeAndCloseForDecimalExponents) {
    for (int k = -10; k <= 10; ++k) EXPECT_EQ(powerOfTwo(k), std::ldexp(1.0, k)) << k;
    for (double x = -2.0; x <= 2.0; x += 0.0007) {
        const double expected = std::exp2(x);
        EXPECT_LE(std::fabs(powerOfTwo(x) - expected), 4 * (std::nextafter(expected, 8.0) - expected)) << x;
    }
}

TEST(MathFunctions, CeilLog2IsTheLeastCoveringPower) {
    for (int k = -30; k <= 30; ++k) {
        const double p = std::ldexp(1.0, k);
        EXPECT_EQ(ceilLog2(p), k);
        EXPECT_EQ(ceilLog2(std::nextafter(p, 0.0)), k);
        EXPECT_EQ(ceilLog2(std::nextafter(p, 1e300)), k + 1);
    }
    // The ratios the 16-bit records scale by: a whole floor over a 16-bit largest value.
    for (double floor : {1024.0, 16384.0, 1000.0})
        for (int largest = 1; largest < 65536; largest += 7)
            EXPECT_EQ(ceilLog2(floor / largest), int(std::ceil(std::log2(floor / largest)))) << floor << " " << largest;
}

TEST(MathFunctions, AveragingPowersRoundToTheFloatsOfPow) {
    for (int t = 0; t <= 300000; ++t) {
        ASSERT_EQ(float(averagingPower(t, 1.5)), float(std::pow(double(t), 1.5))) << t;
        ASSERT_EQ(float(averagingPower(t, 4.0)), float(std::pow(double(t), 4.0))) << t;
    }
}

}  // namespace
}  // namespace qv
