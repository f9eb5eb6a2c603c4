#include "solver/math_functions.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace qv {

namespace {

constexpr uint64_t kMantissaBits = (uint64_t(1) << 52) - 1;

// 2^k for a whole k of the normal range, from its bits.
double wholePowerOfTwo(int k) { return std::bit_cast<double>(uint64_t(k + 1023) << 52); }

}  // namespace

double powerOfTwo(double x) {
    const double whole = std::floor(x);
    // Whole powers are the common case (record scales, the default precision), asked for per
    // record: their bits, not the series, which gives the same.
    if (whole == x) return wholePowerOfTwo(int(whole));
    const double exponent = (x - whole) * std::numbers::ln2;  // in [0, ln 2)
    // e^exponent by its Taylor series in Horner form: 18 terms leave less than 2^-60.
    double sum = 1.0;
    for (int k = 18; k >= 1; --k) sum = 1.0 + sum * exponent / k;
    return sum * wholePowerOfTwo(int(whole));
}

int ceilLog2(double x) {
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    const int exponent = int(bits >> 52) - 1023;
    return (bits & kMantissaBits) ? exponent + 1 : exponent;
}

double averagingPower(double t, double e) {
    const int twice = int(e * 2);
    double power = 1.0, square = t;
    for (int n = twice % 2 ? twice : twice / 2; n; n >>= 1, square *= square)
        if (n & 1) power *= square;
    return twice % 2 ? std::sqrt(power) : power;
}

}  // namespace qv
