#pragma once
// The few functions of the C math library that the solver needs, computed here so that the
// program never loads that library: it is half a megabyte of resident pages, a tenth of a river
// game's whole footprint. Where a result feeds stored values it is exact or rounded as the
// library rounds it (the tests compare them).

namespace qv {

// 2^x for x in the range of the stores' precision setting (-2 to 2, decimal): exact for whole
// x, within a few units in the last place otherwise.
double powerOfTwo(double x);

// The least whole k with 2^k >= x, for a positive normal x: exactly, where the library's
// ceil(log2(x)) can round to k - 1 just above a power of two.
int ceilLog2(double x);

// t^e for a whole t >= 0 and the averaging exponents of the levels, whole or half (1.5, 4):
// products and one square root. For t up to 50 million the nearest float is that of the
// library's pow(t, e).
double averagingPower(double t, double e);

}  // namespace qv
