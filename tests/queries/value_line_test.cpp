// The line printer of the per-combo queries: separators, texts for non-numbers, and the length cap.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "interpreter/errors.h"
#include "queries/value_line.h"

namespace qv {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(ValueLine, OneBlankBetweenValuesAndATextForEachNonNumber) {
    const std::vector<double> values{0.5, kNan, 1.0 / 3, -2, kNan};
    EXPECT_EQ(valueLine(values, "%.9g", "0"), "0.5 0 0.333333333 -2 0\n");
    EXPECT_EQ(valueLine(values, "%.2f", [](size_t i) { return i == 1 ? "nan" : "inf"; }), "0.50 nan 0.33 -2.00 inf\n");
    EXPECT_EQ(valueLine({}, "%g", "0"), "\n");
}

TEST(ValueLine, LinesLongerThanTheBufferFail) {
    // Each value takes 10 characters and a blank: the last one that fits ends at 65535 with the newline.
    const size_t fits = (kValueLineLimit - 10) / 11 + 1;
    std::vector<double> values(fits, 1.23456789);
    EXPECT_LE(valueLine(values, "%.9g", "0").size(), kValueLineLimit);
    values.resize(fits + 1, 1.23456789);
    try {
        valueLine(values, "%.9g", "0");
        FAIL() << "a line of " << values.size() << " values fitted";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "buffer too small");
    }
}

}  // namespace
}  // namespace qv
